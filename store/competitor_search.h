#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/record_files.h"

namespace quendro {

// Where competitor records come from: in internet mode the competitor table
// of the working folder, in local mode the timing system's results file.
struct CompetitorFile {
    std::u16string path;
    CompetitorSource source;
};
CompetitorFile competitorFileFor(std::int16_t webMode, std::u16string_view resultDir,
                                 std::u16string_view resultFile);

// A competitor matches the number filter when the filter reads as no number
// (empty, blanks, 0, a name) or when the competitor's number starts with the
// filter exactly, blanks and case included.
bool matchesNumberFilter(std::u16string_view numberText, std::u16string_view filter);

// The line of the competitor list: number (14), two blanks, name (16).
std::u16string competitorListLine(const CompetitorRecord& competitor);

// The competitors that match, in file order: their list lines and ordinals.
struct SearchResult {
    std::vector<std::u16string> lines;
    std::vector<std::int16_t> ordinals;
};
SearchResult searchCompetitors(const CompetitorTable& table, std::u16string_view filter);

}  // namespace quendro
