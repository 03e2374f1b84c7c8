#pragma once

#include <string>
#include <string_view>

#include "laps/lap_grid.h"

namespace quendro {

// The cumulative split texts of one swim as the grid shows them: the lane's
// splits read from the heat's lap file (at most 60), the last one replaced by
// the official final time or result word when there is one. Named apart from
// the analysis's SwimSplits (laps/pace.h): two classes of one name in one
// program are one class to the linker, which then mixes their members.
struct GridSplits {
    SplitTexts times;
    int count = 0;
};

GridSplits swimSplitsOf(std::u16string lapFileText, int lane, bool olderLayout,
                        std::u16string_view finalTime);

}  // namespace quendro
