#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace quendro {

// The laps of a swim in hundredths, from its cumulative times as
// cumulativeHundredths (laps/pace.h) gives them: the analysis, its chart, the
// comparison of two swims and the heat's table all take their laps here. The
// lap texts of the grid, the printed lists, the pages and the web data are
// splitLap's (laps/swim_splits.h), which reads the time texts as the timing
// system writes them.

// The lap that ends at split end (0-based) and runs step splits: the time there
// less the time step splits before; the first lap runs from the start. Empty
// where either time is missing, where the lap is not above zero (the later
// split is no later than the earlier one), past the last time and for a step of 0.
std::optional<int> lapTime(std::span<const std::optional<int>> cumulative, size_t end,
                           size_t step);

// Every lap of step splits in turn: lap i ends at split (i + 1) * step - 1,
// and the last is the last that ends within the times.
std::vector<std::optional<int>> lapTimes(std::span<const std::optional<int>> cumulative,
                                         size_t step);

// A time over a number of laps, to the nearest hundredth (halves up).
int roundedMean(long long time, int laps);

}  // namespace quendro
