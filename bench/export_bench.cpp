// quendro-export of the whole largest meet as CSV from the loopback server,
// every answer 20 ms late, run as a user runs it: a process of its own, its
// peak memory read from the kernel as it exits. Beside it, in the same run,
// the window's whole-meet HTML page over the same server; the targets are
// checked here and told in the label ("met" or what was missed):
//   nice build/bench/quendro_bench --benchmark_filter=Export_
#include <benchmark/benchmark.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_meet.h"
#include "platform/text_rules.h"

namespace quendro::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kRequestsPerHeat = 1.05;
constexpr double kMeetFiles = 3;  // taikai.txt, ind2.txt, kijun.txt
constexpr double kTimesThePage = 1.5;
constexpr double kPeakMegabytes = 128;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A program run to its end: its exit status, its wall-clock seconds and the
// most memory it held resident (VmHWM as it exits, so that nothing of this
// process's own memory counts, as it would in a forked child's ru_maxrss).
struct ProgramRun {
    int status = -1;
    double seconds = 0;
    double peakMegabytes = 0;
};

double highWaterMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0;
}

// Runs the program with its standard output and error into files; the child
// is traced only to stop it at its exit, where its memory is read.
ProgramRun runProgram(std::vector<std::string> args, const fs::path& out, const fs::path& err) {
    ProgramRun run;
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    auto start = Clock::now();
    pid_t pid = fork();
    if (pid < 0) return run;
    if (pid == 0) {
        int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(126);
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    bool started = false;
    while (waitpid(pid, &status, 0) == pid) {
        if (WIFEXITED(status) || WIFSIGNALED(status)) break;
        int pass = 0;  // the signal handed on to the program
        if (!started) {  // stopped at its exec
            started = true;
            ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL);
        } else if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            run.peakMegabytes = highWaterMegabytes(pid);
        } else {
            pass = WSTOPSIG(status);
        }
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(pass)));
    }
    run.seconds = seconds(Clock::now() - start);
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

// The whole largest meet, every competitor, as CSV: the requests it makes
// (one per heat, besides the meet folder's three files), its time beside the
// page's, and its peak memory. The export goes first: the test server gives
// each kept connection a thread of its eight until the connection closes or
// has been idle 5 s, and the window's connections, kept after its page, would
// hold the export back by those 5 s; the export's close as it exits.
void Export_WholeMeetCsvInternet20ms(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    auto& server = meets.machine().server();
    const fs::path root = meets.machine().root();
    const std::string address = toUtf8(meets.machine().serverBase()) + "2026/2026001/";
    double page = 0;
    size_t requests = 0;
    ProgramRun run;
    for (auto _ : state) {
        meets.setLatency(std::chrono::milliseconds(20));
        const size_t before = server.requests().size();
        run = runProgram({QUENDRO_EXPORT_PROGRAM, "--format", "csv", "--output",
                          (root / "export.csv").string(), address},
                         root / "export.out", root / "export.err");
        requests = server.requests().size() - before;
        state.SetIterationTime(run.seconds);
        if (run.status != 0) {
            std::ifstream err(root / "export.err");
            std::string said(std::istreambuf_iterator<char>(err), {});
            state.SkipWithError(("exit " + std::to_string(run.status) + ": " + said).c_str());
        }
        // The page as Meet_HtmlWholeMeetInternet20ms takes it: imported at once, then timed.
        meets.setLatency(std::chrono::milliseconds(0));
        auto window = meets.internetWindow();
        meets.setLatency(std::chrono::milliseconds(20));
        auto start = Clock::now();
        window->cmdHtml.click();
        page = seconds(Clock::now() - start);
    }
    meets.setLatency(std::chrono::milliseconds(0));
    const double heats = meets.heats();
    const double ratio = run.seconds / page;
    std::string missed;
    if (static_cast<double>(requests) > heats * kRequestsPerHeat + kMeetFiles) missed += " requests";
    if (ratio > kTimesThePage) missed += " time";
    if (run.peakMegabytes <= 0 || run.peakMegabytes > kPeakMegabytes) missed += " memory";
    state.counters["heats"] = heats;
    state.counters["requests"] = static_cast<double>(requests);
    state.counters["requests_limit"] = heats * kRequestsPerHeat + kMeetFiles;
    state.counters["export_s"] = run.seconds;
    state.counters["page_s"] = page;
    state.counters["ratio"] = ratio;
    state.counters["peak_MB"] = run.peakMegabytes;
    state.counters["ok"] = missed.empty() ? 1 : 0;
    state.SetLabel(missed.empty() ? "met" : "missed:" + missed);
}
BENCHMARK(Export_WholeMeetCsvInternet20ms)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace
}  // namespace quendro::bench
