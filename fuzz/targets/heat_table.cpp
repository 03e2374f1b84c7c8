// A heat table of any bytes, read from a real file: the heat count stays within
// what record numbers address, and every occupied lane becomes one swim index
// line of 19 characters that the swim list reads back.
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_machine.h"
#include "fuzz/fuzz_target.h"
#include "laps/swim_selection.h"
#include "store/meet_import.h"
#include "store/record_files.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzMachine m;
    fuzz::writeHostFile(m.driveD() / "taikai.dat", fuzz::bytesOf(data, size));
    HeatTable heats(m.files(), u"D:\\taikai.dat");
    FUZZ_CHECK(heats.heatCount() >= 0 && heats.heatCount() <= kMaxHeats);
    if (size == 0) FUZZ_CHECK(heats.heatCount() == 0);

    std::vector<std::u16string> index = buildSwimIndex(heats);
    FUZZ_CHECK(!index.empty() && index[0].empty());
    FUZZ_CHECK(index.size() <= static_cast<size_t>(heats.heatCount()) * 10 + 1);
    for (size_t i = 1; i < index.size(); ++i) {
        FUZZ_CHECK(index[i].size() == 19);
        SwimRow row = swimRowOf(index[i]);
        FUZZ_CHECK(row.lane >= 0 && row.lane <= 9);
        FUZZ_CHECK(row.heat.size() == 4);
        FUZZ_CHECK(row.finalTime.size() <= 8);
    }
    // Each record decoded on its own, short ones included.
    for (size_t offset = 0; offset < size; offset += kHeatRecordLength) {
        HeatRecord heat = decodeHeatRecord(fuzz::bytesOf(data, size).substr(offset, kHeatRecordLength));
        FUZZ_CHECK(heat.stageCode.size() == 1);
    }
    return 0;
}
