// The real window at the largest meet (QT_QPA_PLATFORM=offscreen when there is
// no display): start-up to a usable window, and a keystroke in the number box
// with the competitor list painted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "app/view/window_probe.h"
#include "bench/bench_meet.h"

namespace quendro::bench {
namespace {

using Clock = std::chrono::steady_clock;

void Window_StartUp(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    view::WindowProbe::ensureApplication();
    for (auto _ : state) {
        MainWindow window(meets.machine().machine());
        window.txtTaikai.setText(meets.machine().serverBase());
        window.Form_Load();
        view::WindowProbe probe(window, meets.machine().files());
        benchmark::DoNotOptimize(probe.competitorRows());
    }
}
BENCHMARK(Window_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

void Window_Keystroke(benchmark::State& state) {
    auto& meets = BenchMeets::get();
    view::WindowProbe::ensureApplication();
    auto window = meets.localWindow(u"D:\\big");
    view::WindowProbe probe(*window, meets.machine().files());
    const std::u16string filters[] = {u"1", u"12", u"123", u"1234", u"12345", u"2", u"", u"9"};
    Samples samples;
    size_t i = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        probe.typeNumber(filters[i++ % std::size(filters)]);
        auto took = Clock::now() - start;
        samples.add(took);
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    state.counters["median_ms"] = samples.median();
    state.counters["max_ms"] = samples.max();
}
BENCHMARK(Window_Keystroke)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
}  // namespace quendro::bench

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
