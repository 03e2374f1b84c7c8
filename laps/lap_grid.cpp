#include "laps/lap_grid.h"

#include "laps/code_tables.h"
#include "platform/text_rules.h"

namespace quendro {

std::optional<std::int16_t> splitDistanceFor(std::int16_t poolIndex, std::int16_t touchpadIndex) {
    static constexpr std::int16_t kDistances[3][2] = {{25, 50}, {50, 100}, {100, 200}};
    if (poolIndex < 0 || poolIndex > 2 || touchpadIndex < 0 || touchpadIndex > 1)
        return std::nullopt;
    return kDistances[poolIndex][touchpadIndex];
}

std::array<bool, 5> lapOptionsEnabled(std::int16_t splitDistance) {
    switch (splitDistance) {
        case 50: return {true, false, true, true, true};
        case 100: return {true, false, false, true, true};
        case 200: return {true, false, false, false, true};
        default: return {true, true, true, true, true};
    }
}

SplitTexts distanceCaptions(std::int16_t splitDistance) {
    SplitTexts captions;
    for (int j = 0; j < 60; ++j) {
        int d = (j + 1) * splitDistance;
        if (d <= 1500) captions[static_cast<size_t>(j)] = u" " + decimalText(d) + u"m";
    }
    return captions;
}

SplitTexts lapCells(std::int16_t lapIndex, std::int16_t splitDistance,
                    const SplitTexts& splitTimes) {
    SplitTexts cells;
    if (lapIndex == 0) return splitTimes;
    // The chosen lap as a number of splits.
    int b = lapIndex;
    if (splitDistance == 50) b -= 1;
    if (splitDistance == 100) b -= 2;
    if (splitDistance == 200) b -= 3;
    static constexpr int kSteps[5] = {0, 1, 2, 4, 8};
    if (b < 1 || b > 4) return cells;  // a lap shorter than the split distance
    const int step = kSteps[b];
    const int first = step - 1;
    cells[static_cast<size_t>(first)] = splitTimes[static_cast<size_t>(first)];
    for (int k = first; k + step <= 59; k += step) {
        cells[static_cast<size_t>(k + step)] =
            chSa(splitTimes[static_cast<size_t>(k + step)], splitTimes[static_cast<size_t>(k)]);
    }
    return cells;
}

}  // namespace quendro
