#pragma once

#include <array>
#include <string>
#include <vector>

#include "laps/lap_file.h"

namespace quendro {

// A heat's lap file read once for all its lanes: what readLaneSplits gives for
// each lane, without reading the file again for the next swimmer of the heat.
class HeatLaps {
  public:
    HeatLaps() = default;  // a file without records
    HeatLaps(std::u16string text, bool olderLayout);

    // The splits of lane (from 1), exactly as readLaneSplits reads them.
    LaneSplits lane(int lane) const;
    // The same splits written into the window's split texts from the first on,
    // reusing their storage; the others are left alone. The number of splits.
    int copyLane(int lane, std::array<std::u16string, 60>& splits) const;
    // True when the last split of the lane carried "G": it is the finish.
    bool endsAtGoal(int lane) const;

  private:
    struct Lane {
        int number = 0;
        std::u16string cells;  // the splits, eight characters each
        bool finished = false;  // its "G" or its 60th split was met
        bool goal = false;      // its last split read carried "G"
    };
    std::vector<Lane> lanes_;  // in the order their first records stand
    bool whole_ = true;         // false when the file ends inside a record
};

}  // namespace quendro
