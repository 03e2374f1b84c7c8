#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quendro {

using SplitTexts = std::array<std::u16string, 60>;

// Metres between two recorded splits: the pool length where the touchpads are
// at both ends, twice that where they are at one end. Pool 0 is 25 m, 1 is 50 m,
// 2 is 100 m; touchpads 0 both ends, 1 one end. Empty for anything else.
std::optional<std::int16_t> splitDistanceFor(std::int16_t poolIndex, std::int16_t touchpadIndex);

// Which entries of the lap option (cumulative, 25, 50, 100, 200 m) the split
// distance allows: a lap shorter than the split distance cannot be shown.
std::array<bool, 5> lapOptionsEnabled(std::int16_t splitDistance);

// The distance above each time cell: cell j stands for (j + 1) x split distance,
// written " 50m"; empty beyond 1500 m.
SplitTexts distanceCaptions(std::int16_t splitDistance);

// The texts of the 60 time cells: the cumulative splits (lap option 0) or the
// laps over 25, 50, 100 or 200 m, each under the distance where the lap ends.
SplitTexts lapCells(std::int16_t lapIndex, std::int16_t splitDistance,
                    const SplitTexts& splitTimes);

// The same 60 cells as lapCells, each handed to put(cell, text) in turn from
// cell 0 to 59, so that a grid can take them without a copy of the whole set.
void putLapCells(std::int16_t lapIndex, std::int16_t splitDistance, const SplitTexts& splitTimes,
                 const std::function<void(size_t, std::u16string_view)>& put);

}  // namespace quendro
