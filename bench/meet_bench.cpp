// What the user waits for at the largest meet the record files allow, each
// figure beside its floor measured in the same run: reading the same bytes once.
// Run long and niced on a shared machine:
//   nice build/bench/quendro_bench --benchmark_filter=Meet
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>

#include "store/server_addresses.h"
#include "bench/bench_meet.h"
#include "laps/lap_file.h"
#include "platform/text_rules.h"

namespace quendro::bench {
namespace {

using Clock = std::chrono::steady_clock;

const std::u16string kLargest = u"D:\\big";
const std::u16string kHalf = u"D:\\half";

std::string readHostFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- Floors -----------------------------------------------------------------

void Meet_Floor_ReadResultsFile(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    std::string bytes;
    for (auto _ : state) {
        meets.machine().files().readBytes(kLargest + u"\\kekka\\KEKKA.DAT", bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(Meet_Floor_ReadResultsFile)->Unit(benchmark::kMillisecond);

// Every lap file of the half meet read once and a page of the same size written.
void halfMeetFloorOnce(BenchMeets& meets, const std::string& page) {
    FileSystem& files = meets.machine().files();
    std::string bytes;
    size_t total = 0;
    for (int k = 1; k <= meets.halfHeats(); ++k) {
        files.readBytes(localLapFilePath(kHalf + u"\\", zeroFilled(k, 4)), bytes);
        total += bytes.size();
    }
    files.writeBytes(kHalf + u"\\floor.html", page);
    benchmark::DoNotOptimize(total);
}

void Meet_Floor_HalfMeetLapFilesAndPage(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto window = meets.localWindow(kHalf);
    window->cmdHtml.click();
    std::string page = readHostFile(meets.half() / "県選9.html");
    for (auto _ : state) halfMeetFloorOnce(meets, page);
    state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
}
BENCHMARK(Meet_Floor_HalfMeetLapFilesAndPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// One lap file over a kept connection from a server that waits 20 ms before
// each answer: the whole meet's lap files one after another take this many
// times the meet's heats.
void Meet_Floor_OneRequestAt20ms(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    meets.setLatency(std::chrono::milliseconds(20));
    std::u16string url = lapFileUrl(meets.machine().serverBase(), u"2026", u"2026001", u"0001");
    for (auto _ : state) benchmark::DoNotOptimize(meets.machine().machine().inet.openUrl(url));
    meets.setLatency(std::chrono::milliseconds(0));
    state.counters["heats"] = meets.heats();
}
BENCHMARK(Meet_Floor_OneRequestAt20ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// ---- User actions -----------------------------------------------------------

void Meet_ImportLocal(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto window = meets.localWindow(kLargest);
    for (auto _ : state) {
        window->Dir1.setPath(u"D:\\");
        window->Dir1.setPath(kLargest);
        window->cmdKakutei.click();
    }
    state.counters["competitors"] = window->hitCount;
}
BENCHMARK(Meet_ImportLocal)->Unit(benchmark::kMillisecond)->UseRealTime();

void Meet_ImportLoopback(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto window = meets.internetWindow();
    for (auto _ : state) window->cmdKakutei.click();
    state.counters["swims"] = window->swimTableCount;
}
BENCHMARK(Meet_ImportLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

// A keystroke in the number box: the search runs and the list is rebuilt.
// The filters go round: a digit more, a digit less, none, one nobody matches.
void Meet_Keystroke(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto window = meets.localWindow(kLargest);
    const std::u16string filters[] = {u"1", u"12", u"123", u"1234", u"12345", u"2", u"", u"9"};
    Samples samples;
    size_t i = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        window->txtBango.setText(filters[i++ % std::size(filters)]);
        auto took = Clock::now() - start;
        samples.add(took);
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    state.counters["median_ms"] = samples.median();
    state.counters["max_ms"] = samples.max();
}
BENCHMARK(Meet_Keystroke)->Unit(benchmark::kMillisecond)->UseManualTime();

void Meet_CompetitorChoice(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto window = meets.localWindow(kLargest);
    int p = 0;
    for (auto _ : state) {
        window->lstNamae.setListIndex(p);
        p = (p + 7919) % window->hitCount;
    }
}
BENCHMARK(Meet_CompetitorChoice)->Unit(benchmark::kMicrosecond);

void swimChoices(benchmark::State& state, MainWindow& window) {
    window.lstNamae.setListIndex(0);
    for (auto _ : state) {
        window.lstShumoku.setListIndex(-1);
        window.lstShumoku.setListIndex(0);
    }
    state.counters["splits"] = window.splitCount;
}

void Meet_SwimChoiceLocal(benchmark::State& state) {
    auto window = BenchMeets::get().localWindow(kLargest);
    swimChoices(state, *window);
}
BENCHMARK(Meet_SwimChoiceLocal)->Unit(benchmark::kMicrosecond);

void Meet_Floor_ReadOneLapFile(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    std::string bytes;
    for (auto _ : state) meets.machine().files().readBytes(kLargest + u"\\lap\\r0001", bytes);
}
BENCHMARK(Meet_Floor_ReadOneLapFile)->Unit(benchmark::kMicrosecond);

void Meet_SwimChoiceLoopback(benchmark::State& state) {
    auto window = BenchMeets::get().internetWindow();
    swimChoices(state, *window);
}
BENCHMARK(Meet_SwimChoiceLoopback)->Unit(benchmark::kMicrosecond)->UseRealTime();

void Meet_Floor_OneRequestLoopback(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    std::u16string url = lapFileUrl(meets.machine().serverBase(), u"2026", u"2026001", u"0001");
    for (auto _ : state) benchmark::DoNotOptimize(meets.machine().machine().inet.openUrl(url));
}
BENCHMARK(Meet_Floor_OneRequestLoopback)->Unit(benchmark::kMicrosecond)->UseRealTime();

// ---- Reports ------------------------------------------------------------------

// The page and its floor taken in turns, so that both meet the same state of
// the machine (its other work, the disk's write-back); the ratio is of the
// medians.
void Meet_HtmlHalfMeetLocal(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto window = meets.localWindow(kHalf);
    window->cmdHtml.click();
    const std::string page = readHostFile(meets.half() / "県選9.html");
    Samples pages, floors;
    for (auto _ : state) {
        auto start = Clock::now();
        halfMeetFloorOnce(meets, page);
        auto floorEnd = Clock::now();
        window->cmdHtml.click();
        auto took = Clock::now() - floorEnd;
        floors.add(floorEnd - start);
        pages.add(took);
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    state.counters["competitors"] = window->hitCount;
    state.counters["page_median_ms"] = pages.median();
    state.counters["floor_median_ms"] = floors.median();
    state.counters["ratio"] = pages.median() / floors.median();
}
BENCHMARK(Meet_HtmlHalfMeetLocal)->Unit(benchmark::kMillisecond)->UseManualTime();

// The whole largest meet from a server that waits 20 ms before every answer.
void Meet_HtmlWholeMeetInternet20ms(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto window = meets.internetWindow();
    meets.setLatency(std::chrono::milliseconds(20));
    size_t before = meets.machine().server().requests().size();
    for (auto _ : state) window->cmdHtml.click();
    meets.setLatency(std::chrono::milliseconds(0));
    state.counters["requests"] = static_cast<double>(meets.machine().server().requests().size() - before) /
                                 static_cast<double>(state.iterations());
}
BENCHMARK(Meet_HtmlWholeMeetInternet20ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Import, a search and the whole HTML page of the half meet: the most memory
// the process held beyond what it held before, in MB. Meaningful in a process
// of its own (--benchmark_filter=Meet_PeakMemory), which starts with nothing
// in its heap.
void Meet_PeakMemory(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    double peak = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
        double start = residentMegabytes();
        auto window = meets.localWindow(kHalf);
        window->txtBango.setText(u"1");
        window->txtBango.setText(u"");
        window->cmdHtml.click();
        peak = peakMegabytesSince(start);
    }
    state.counters["peak_MB"] = peak;
}
BENCHMARK(Meet_PeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace quendro::bench
