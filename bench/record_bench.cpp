// The competitor search reads every competitor record of the meet on each
// keystroke: decoding records and Shift-JIS text must stay far below a keystroke.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "laps/code_tables.h"
#include "platform/host_files.h"
#include "platform/shift_jis.h"
#include "store/competitor_search.h"
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

namespace {

// One keystroke in the number box: the whole results file of a large meet is
// read and filtered. It must stay well below the time between two keystrokes.
void SearchOnAKeystroke(benchmark::State& state) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("quendro-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "drives");
    {
        std::string file(384, ' ');
        const std::int32_t count = 3000;
        std::memcpy(file.data(), &count, sizeof count);  // little-endian on this machine
        file += std::string(9 * 384, '\0');
        for (int k = 1; k <= count; ++k) file += competitorRecord(k);
        std::ofstream(folder / "KEKKA.DAT", std::ios::binary) << file;
    }
    quendro::HostFileSystem files(quendro::DriveMap(folder / "drives", folder));
    for (auto _ : state) {
        quendro::CompetitorTable table(files, u"KEKKA.DAT", quendro::CompetitorSource::Results);
        benchmark::DoNotOptimize(quendro::searchCompetitors(table, u"12"));
    }
    fs::remove_all(folder);
}
BENCHMARK(SearchOnAKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace
