#include "laps/swim_splits.h"

#include <algorithm>

#include "laps/lap_file.h"
#include "laps/swim_selection.h"

namespace quendro {

GridSplits swimSplitsOf(std::u16string lapFileText, int lane, bool olderLayout,
                        std::u16string_view finalTime) {
    GridSplits swim;
    if (lapFileText.empty()) return swim;
    LaneSplits read = readLaneSplits(std::move(lapFileText), lane, olderLayout);
    for (size_t i = 0; i < read.splits.size() && i < swim.times.size(); ++i)
        swim.times[i] = read.splits[i];
    swim.count = static_cast<int>(std::min(read.splits.size(), swim.times.size()));
    // As a swim choice shows it: a heat swum after the import has no final
    // time yet, and its measured finish stays.
    if (swim.count > 0 && hasFinalTime(finalTime))
        swim.times[static_cast<size_t>(swim.count - 1)] = finalTime;
    return swim;
}

}  // namespace quendro
