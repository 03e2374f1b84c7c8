// Time texts and the lap grid over any values: packed times and result codes,
// lap times between two split texts of any content, grade and stage codes, and
// the 60 cells of every lap option for every split distance.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "laps/code_tables.h"
#include "laps/lap_grid.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    std::int32_t packed;
    std::memcpy(&packed, data, sizeof packed);
    std::int16_t code;
    std::memcpy(&code, data + 4, sizeof code);
    const int lapIndex = data[6] % 5;
    const int pool = data[7] % 3;
    const int touchpads = (data[7] / 3) % 2;

    std::u16string kiro = chKiro(packed);
    FUZZ_CHECK(kiro.size() <= 8);
    FUZZ_CHECK(chShu(code).size() == (code >= 1 && code <= 29 ? 8u : 0u));

    // The rest: split texts, one a line, as a lap file would give them.
    auto parts = fuzz::sections(data + 8, size - 8, 61);
    SplitTexts splits;
    for (size_t i = 0; i < parts.size() && i < splits.size(); ++i)
        splits[i] = rightAligned(decodeShiftJis(parts[i]), 8);
    if (parts.size() >= 2) {
        std::u16string lap = chSa(splits[1], splits[0]);
        FUZZ_CHECK(lap.size() <= 8);
    }
    std::u16string first = decodeShiftJis(parts[0]);
    FUZZ_CHECK(chGaku(first).size() <= 2);
    FUZZ_CHECK(chMt(first).size() <= 2);

    auto distance = splitDistanceFor(static_cast<std::int16_t>(pool),
                                     static_cast<std::int16_t>(touchpads));
    FUZZ_CHECK(distance.has_value());
    SplitTexts captions = distanceCaptions(*distance);
    SplitTexts cells = lapCells(static_cast<std::int16_t>(lapIndex), *distance, splits);
    for (size_t i = 0; i < cells.size(); ++i) {
        FUZZ_CHECK(cells[i].size() <= 8);
        FUZZ_CHECK(captions[i].size() <= 8);
    }
    return 0;
}
