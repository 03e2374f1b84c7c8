// The publisher over a real link: the project's nginx over https (HTTP/2,
// gzip) or plain http, reached through a relay that adds 80 ms of round trip
// and, where it says so, holds the link to 20 Mbit/s. Each figure comes with
// its floor from the same run: the compressed bytes at the link's bandwidth
// plus the round trips no client can avoid.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "bench/bench_meet.h"
#include "platform/curl_transfer.h"
#include "platform/text_rules.h"
#include "tests/support/latency_relay.h"
#include "tests/support/nginx_publisher.h"
#include "tools/meet_generator.h"

namespace quendro::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kRoundTrip = std::chrono::milliseconds(80);
constexpr double kBitsPerSecond = 20e6;
// nginx's gzip_comp_level in scripts/publisher/nginx.conf.in.
constexpr int kGzipLevel = 5;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
double roundTrips(double s) { return s / std::chrono::duration<double>(kRoundTrip).count(); }

// The bytes of a file as nginx sends it compressed.
size_t gzipSize(const std::string& bytes) {
    z_stream z{};
    if (deflateInit2(&z, kGzipLevel, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK) return bytes.size();
    std::string out(deflateBound(&z, bytes.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    size_t size = z.total_out;
    deflateEnd(&z);
    return size;
}

size_t gzipSizeOfFolder(const fs::path& folder) {
    size_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) total += gzipSize(test::readFile(entry.path()));
    }
    return total;
}

// What a server keeps of a published meet, as compressed as it goes: files
// kept compressed (NAME.gz) by their size, the others by their gzip size.
size_t compressedSizeOfFolder(const fs::path& folder) {
    size_t total = 0;
    if (!fs::exists(folder)) return 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        total += entry.path().extension() == ".gz" ? entry.file_size()
                                                   : gzipSize(test::readFile(entry.path()));
    }
    return total;
}

double transferSeconds(size_t bytes) { return static_cast<double>(bytes) * 8 / kBitsPerSecond; }

// One publisher, https or plain, holding the largest meet (2026001) and an
// eighth of it (2026008) in its tree.
class LinkServer {
  public:
    explicit LinkServer(bool tls) : tls_(tls) {
        test::NginxPublisher::Options options;
        options.startNow = false;
        options.tls = tls;
        nginx_ = std::make_unique<test::NginxPublisher>(home_.path(), options);
        auto& meets = BenchMeets::get();
        fs::create_directories(nginx_->tree() / "2026");
        fs::copy(meets.served(), nginx_->tree() / "2026" / "2026001", fs::copy_options::recursive);
        fs::copy(eighthServed(), nginx_->tree() / "2026" / "2026008", fs::copy_options::recursive);
        if (!nginx_->start()) std::abort();
    }
    test::NginxPublisher& nginx() { return *nginx_; }
    std::string base(const test::LatencyRelay& relay) const {
        return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" +
               std::to_string(relay.port()) + "/swim/";
    }
    CurlTransfer::Limits limits() const {
        CurlTransfer::Limits limits;
        if (tls_) limits.caFile = nginx_->caFile().string();
        return limits;
    }

    // The eighth of the largest meet, local and as served, made once.
    static fs::path eighthLocal() { return BenchMeets::get().machine().driveD() / "eighth"; }
    static fs::path eighthServed() {
        static fs::path served = [] {
            auto& meets = BenchMeets::get();
            tools::MeetShape shape;
            shape.heats = std::max(2, meets.heats() / 8);
            shape.competitors = std::min(32757, shape.heats * 10);
            shape.meetCode = u"2026008";
            shape.resultFolder = u"D:\\eighth\\kekka\\";
            tools::writeLocalMeet(eighthLocal(), shape);
            fs::path folder = meets.machine().root() / "served8";
            tools::writeServerMeet(folder, shape);
            return folder;
        }();
        return served;
    }

  private:
    bool tls_;
    test::TempFolder home_;
    std::unique_ptr<test::NginxPublisher> nginx_;
};

LinkServer& server(bool tls) {
    static LinkServer https(true);
    static LinkServer plain(false);
    return tls ? https : plain;
}

// A window of its own (its own connections) that imported the largest meet
// from base.
struct LinkWindow {
    LinkWindow(const std::string& base, const CurlTransfer::Limits& limits)
        : inet(BenchMeets::get().machine().files(), limits),
          window(BenchMeets::get().machine().machine(inet)) {
        window.txtTaikai.setText(fromUtf8(base));
        window.webMode = 1;
        window.seasonYear = u"2026";
        window.meetCode = u"2026001";
        window.Dir1.setPath(u"D:\\out");
    }
    CurlTransfer inet;
    MainWindow window;
};

// The run's protocol, and the connections the relay accepted an iteration.
void tell(benchmark::State& state, bool tls, const test::LatencyRelay& relay) {
    state.SetLabel(tls ? "https" : "http");
    state.counters["connections"] =
        static_cast<double>(relay.connections()) / static_cast<double>(state.iterations());
}

// ---- The window ------------------------------------------------------------

// An import with no connection open yet: the three files of the meet folder.
void Link_Import(benchmark::State& state) {
    bool tls = state.range(0) != 0;
    LinkServer& link = server(tls);
    test::LatencyRelay relay(link.nginx().port(), kRoundTrip, kBitsPerSecond);
    fs::path served = BenchMeets::get().served();
    size_t bytes = gzipSize(test::readFile(served / "taikai.txt")) +
                   gzipSize(test::readFile(served / "ind2.txt")) +
                   gzipSize(test::readFile(served / "kijun.txt"));
    double took = 0;
    for (auto _ : state) {
        LinkWindow w(link.base(relay), link.limits());
        auto start = Clock::now();
        w.window.cmdKakutei.click();
        took = seconds(Clock::now() - start);
        if (w.window.swimTableCount == 0) state.SkipWithError("nothing imported");
    }
    double floor = transferSeconds(bytes);
    tell(state, tls, relay);
    state.counters["bytes_gz"] = static_cast<double>(bytes);
    state.counters["round_trips_beyond_bytes"] = roundTrips(took - floor);
}
BENCHMARK(Link_Import)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The largest meet imported over a link of its own, held to 20 Mbit/s; the
// connections the relay had accepted by then.
struct ImportedOverLink {
    explicit ImportedOverLink(const benchmark::State& state)
        : tls(state.range(0) != 0),
          link(server(tls)),
          relay(link.nginx().port(), kRoundTrip, kBitsPerSecond),
          w(link.base(relay), link.limits()) {
        w.window.cmdKakutei.click();
        connections = relay.connections();
    }
    bool tls;
    LinkServer& link;
    test::LatencyRelay relay;
    LinkWindow w;
    size_t connections = 0;
};

// A swim choice after the import: its lap file over the connection left open.
void Link_SwimChoice(benchmark::State& state) {
    ImportedOverLink run(state);
    LinkWindow& w = run.w;
    Samples samples;
    int competitor = 0;
    for (auto _ : state) {
        // Another competitor's swim each time, so that no lap file is at hand.
        w.window.lstNamae.setListIndex(competitor++ % std::max(1, w.window.lstNamae.listCount()));
        w.window.lstShumoku.setListIndex(-1);
        auto start = Clock::now();
        w.window.lstShumoku.setListIndex(0);
        samples.add(Clock::now() - start);
    }
    tell(state, run.tls, run.relay);
    state.counters["median_round_trips"] = samples.median() / kRoundTrip.count();
    state.counters["new_connections"] =
        static_cast<double>(run.relay.connections() - run.connections);
}
BENCHMARK(Link_SwimChoice)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The whole-meet HTML page: every lap file of the largest meet.
void Link_WholeMeetPage(benchmark::State& state) {
    ImportedOverLink run(state);
    LinkWindow& w = run.w;
    double floor = transferSeconds(gzipSizeOfFolder(BenchMeets::get().served() / "lap")) +
                   3 * seconds(kRoundTrip);
    double took = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        w.window.cmdHtml.click();
        took = seconds(Clock::now() - start);
    }
    tell(state, run.tls, run.relay);
    state.counters["floor_s"] = floor;
    state.counters["ratio"] = took / floor;
    state.counters["new_connections"] =
        static_cast<double>(run.relay.connections() - run.connections);
}
BENCHMARK(Link_WholeMeetPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// ---- The programs ----------------------------------------------------------

std::string quoted(const fs::path& path) { return test::shellQuoted(path.string()); }

// quendro-export --format html of the eighth meet, from its folder and from
// the server without a bandwidth cap: the round trips the link costs.
void Link_ExportEighth(benchmark::State& state) {
    bool tls = state.range(0) != 0;
    LinkServer& link = server(tls);
    test::LatencyRelay relay(link.nginx().port(), kRoundTrip);
    fs::path out = BenchMeets::get().machine().root() / "export.html";
    std::string program = quoted(QUENDRO_EXPORT_PROGRAM) + " --format html --output " + quoted(out);
    std::string ca = tls ? " --cacert " + quoted(link.nginx().caFile()) : "";
    std::string local = program + " --results " +
                        quoted(LinkServer::eighthLocal() / "kekka" / "KEKKA.DAT") + " " +
                        quoted(LinkServer::eighthLocal());
    std::string remote = program + ca + " " + link.base(relay) + "2026/2026008/";
    double localSeconds = 0, remoteSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        test::CommandResult a = test::runCommand(local);
        auto middle = Clock::now();
        test::CommandResult b = test::runCommand(remote);
        auto end = Clock::now();
        if (a.status != 0 || b.status != 0) state.SkipWithError((a.output + b.output).c_str());
        localSeconds = seconds(middle - start);
        remoteSeconds = seconds(end - middle);
    }
    tell(state, tls, relay);
    state.counters["local_s"] = localSeconds;
    state.counters["server_s"] = remoteSeconds;
    state.counters["round_trips_more"] = roundTrips(remoteSeconds - localSeconds);
}
BENCHMARK(Link_ExportEighth)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// quendro-publish of the whole largest meet to a server that holds nothing
// of it; the floor is what the server keeps of it, compressed, at the link's
// bandwidth.
void Link_PublishLargest(benchmark::State& state) {
    bool tls = state.range(0) != 0;
    LinkServer& link = server(tls);
    test::LatencyRelay relay(link.nginx().port(), kRoundTrip, kBitsPerSecond);
    auto& meets = BenchMeets::get();
    fs::path season = link.nginx().tree() / "2025";
    test::TempFolder data;
    std::string ca = tls ? " --cacert " + quoted(link.nginx().caFile()) : "";
    std::string command = "XDG_DATA_HOME=" + quoted(data.path()) + " " +
                          quoted(QUENDRO_PUBLISH_PROGRAM) + ca + " --season 2025 --results " +
                          quoted(meets.largest() / "kekka" / "KEKKA.DAT") + " " +
                          quoted(meets.largest()) + " " + link.base(relay);
    double took = 0;
    size_t kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        test::runCommand("rm -rf " + quoted(season));
        state.ResumeTiming();
        auto start = Clock::now();
        test::CommandResult run = test::runCommand(command);
        took = seconds(Clock::now() - start);
        if (run.status != 0) state.SkipWithError(run.output.c_str());
        kept = compressedSizeOfFolder(season);
    }
    double floor = transferSeconds(kept) + 3 * seconds(kRoundTrip);
    tell(state, tls, relay);
    state.counters["bytes_kept"] = static_cast<double>(kept);
    state.counters["floor_s"] = floor;
    state.counters["ratio"] = took / floor;
}
BENCHMARK(Link_PublishLargest)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace quendro::bench
