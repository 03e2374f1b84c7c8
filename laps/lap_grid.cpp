#include "laps/lap_grid.h"

#include "laps/swim_splits.h"
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
    putLapCells(lapIndex, splitDistance, splitTimes,
                [&cells](size_t cell, std::u16string_view text) { cells[cell] = text; });
    return cells;
}

void putLapCells(std::int16_t lapIndex, std::int16_t splitDistance, const SplitTexts& splitTimes,
                 const std::function<void(size_t, std::u16string_view)>& put) {
    if (lapIndex == 0) {
        for (size_t i = 0; i < 60; ++i) put(i, splitTimes[i]);
        return;
    }
    // The chosen lap as a number of splits.
    int b = lapIndex;
    if (splitDistance == 50) b -= 1;
    if (splitDistance == 100) b -= 2;
    if (splitDistance == 200) b -= 3;
    static constexpr int kSteps[5] = {0, 1, 2, 4, 8};
    const int step = (b < 1 || b > 4) ? 0 : kSteps[b];  // 0: a lap shorter than the split distance
    size_t next = 0;  // the first cell not handed over yet
    auto blankUpTo = [&](size_t cell) {
        for (; next < cell; ++next) put(next, {});
    };
    if (step > 0) {
        const int first = step - 1;
        blankUpTo(static_cast<size_t>(first));
        put(next++, splitTimes[static_cast<size_t>(first)]);
        for (int k = first; k + step <= 59; k += step) {
            blankUpTo(static_cast<size_t>(k + step));
            // A lap that would start at an empty split is empty.
            put(next++, splitLap(splitTimes[static_cast<size_t>(k + step)],
                                 splitTimes[static_cast<size_t>(k)]));
        }
    }
    blankUpTo(60);
}

}  // namespace quendro
