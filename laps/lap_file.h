#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quendro {

// A heat's lap file holds the split records of all its lanes: lane number (from
// 1), cumulative time ("31.25", "1:05.32") and a marker, "G" at the finish. In
// the older layout six more fields follow each record. Records of different
// lanes may be interleaved.

// The lap file of a heat in a local meet folder: "lap\r" and the heat number.
std::u16string localLapFilePath(std::u16string_view dataDir, std::u16string_view heat);

struct LaneSplits {
    // Cumulative times of the lane, each right-aligned in eight characters.
    std::vector<std::u16string> splits;
    // False when the file ended inside a record.
    bool whole = true;
    // The last split read carried "G": it is the lane's finish.
    bool goal = false;
};

// True when the lap file's first record has the nine fields of the older
// layout (the window's own check box says so for a local meet; a program
// without one looks at the file).
bool isOlderLapLayout(std::u16string_view text);

// The splits of one lane, up to its "G" record (records of other lanes, their
// "G" too, are passed over), at most 60.
LaneSplits readLaneSplits(std::u16string text, int lane, bool olderLayout);

}  // namespace quendro
