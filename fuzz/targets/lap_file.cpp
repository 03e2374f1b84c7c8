// A heat's lap file of any bytes, read for any lane in both layouts: at most
// 60 splits, each right-aligned in eight characters.
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "laps/lap_file.h"
#include "laps/swim_selection.h"
#include "platform/shift_jis.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int lane = data[0] % 12;  // lanes 1 to 10, and two that no heat has
    const bool olderLayout = (data[0] & 0x80) != 0;
    std::u16string text = decodeShiftJis(fuzz::bytesOf(data + 1, size - 1));

    LaneSplits lap = readLaneSplits(text, lane, olderLayout);
    FUZZ_CHECK(lap.splits.size() <= static_cast<size_t>(kMaxSplits));
    for (const auto& split : lap.splits) FUZZ_CHECK(split.size() == 8);
    // The same file read the other way ends as well.
    LaneSplits other = readLaneSplits(text, lane, !olderLayout);
    FUZZ_CHECK(other.splits.size() <= static_cast<size_t>(kMaxSplits));
    return 0;
}
