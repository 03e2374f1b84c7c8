#pragma once

#include <string>
#include <vector>

#include "laps/pace.h"
#include "laps/swim_compare.h"

namespace quendro {

// The figures of a swim as a table of texts, one row per split: distance,
// cumulative time, the lap where a lap of the interval ends and its difference
// from the mean lap; with a second swim also its time and lap and the
// differences at every split and every lap. The analysis window shows it and
// copies it to the clipboard as tab-separated text.
struct PaceTable {
    std::vector<std::u16string> heading;
    std::vector<std::vector<std::u16string>> rows;
    int startRow = -1;    // the row where the first lap, the start's, ends
    int fastestRow = -1;  // the row where the fastest lap after it ends
    int slowestRow = -1;  // the row where the slowest lap after it ends
};

// other may be null. With asciiMinus differences are written "-0.15", which a
// spreadsheet reads as a number; otherwise "−0.15".
PaceTable paceTable(const SwimSplits& swim, const SwimSplits* other, int lapIndex,
                    bool asciiMinus = false);

// Tab-separated lines, the heading first, each line ended by a line feed.
std::u16string tabSeparated(const PaceTable& table);

// The figures of the whole swim in a few lines: mean lap, halves, the first
// lap with what the start gave it, the fastest and slowest lap after it, then
// one line per check.
std::vector<std::u16string> paceSummary(const PaceFigures& figures);

// One line on how the halves are judged, for the analysis window.
std::u16string paceRuleText();

}  // namespace quendro
