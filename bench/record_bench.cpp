// The competitor search reads every competitor record of the meet on each
// keystroke: decoding records and Shift-JIS text must stay far below a keystroke.
#include <benchmark/benchmark.h>

#include <string>

#include "laps/code_tables.h"
#include "platform/shift_jis.h"
#include "store/record_files.h"

namespace {

std::string competitorRecord(int k) {
    std::string record(384, ' ');
    std::string number = std::to_string(1000 + k);
    record.replace(11, number.size(), number);
    record.replace(25, 8, "\x8E\x52\x93\x63\x91\xBE\x98\x59");  // 山田太郎
    return record;
}

void DecodeCompetitors(benchmark::State& state) {
    std::string record = competitorRecord(7);
    for (auto _ : state) {
        for (int k = 0; k < 3000; ++k)
            benchmark::DoNotOptimize(quendro::decodeCompetitorRecord(record));
    }
    state.SetItemsProcessed(state.iterations() * 3000);
}
BENCHMARK(DecodeCompetitors);

void DecodeShiftJisText(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "\x8C\xA7\x91\x49\x8E\xE8\x8C\xA0 1:05.32,";
    for (auto _ : state) benchmark::DoNotOptimize(quendro::decodeShiftJis(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(DecodeShiftJisText);

void TimeTexts(benchmark::State& state) {
    for (auto _ : state) {
        for (int v = 0; v < 1000; ++v) benchmark::DoNotOptimize(quendro::chKiro(v * 97));
    }
}
BENCHMARK(TimeTexts);

}  // namespace
