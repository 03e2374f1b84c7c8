#pragma once

#include <string>
#include <vector>

#include "laps/meet_swim.h"
#include "store/record_files.h"

namespace quendro {

// The listed competitors' swims for spreadsheets and scripts: one entry per
// swim with the competitor's particulars, the event, the final time and every
// split and lap at the meet's split distance. The lap list's own page and
// printout are not touched by these.

struct ExportMeet {
    std::u16string code;
    std::u16string name;
    std::u16string abbreviation;
    std::u16string venue;
    std::u16string firstDay;
    std::u16string lastDay;
    int splitDistance = 0;
};

struct ExportSwim {
    CompetitorRecord competitor;
    MeetSwim swim;
    // The cumulative splits as the window shows them: the last one is the final
    // time or the result word.
    std::vector<std::u16string> splits;
};

// The laps of the splits at split distance: the first split, then each split
// minus the one before it, as the lap grid forms them (empty where the split
// it starts at is empty); without padding.
std::vector<std::u16string> exportLaps(const std::vector<std::u16string>& splits);

// CSV: UTF-8 with a byte order mark (spreadsheets then read the Japanese),
// lines ended by CR LF, a heading row, then one row per swim: number, name,
// team, grade, event, stage, final time, the splits, the laps. Fields holding a
// comma, a quote or a line end are quoted; a text that a spreadsheet would take
// for a formula (=, +, -, @ in front) gets an apostrophe in front.
std::string exportCsv(const ExportMeet& meet, const std::vector<ExportSwim>& swims);

// JSON (UTF-8): the meet and a list of the swims, as documented in docs/export.md.
std::string exportJson(const ExportMeet& meet, const std::vector<ExportSwim>& swims);

// The same piece by piece, for a list written as its swims come: the CSV's
// heading (columns: the most splits of any swim) and each row; the JSON's
// start, each swim (the first without a comma before it) and its end.
std::string exportCsvHeading(const ExportMeet& meet, size_t columns);
std::string exportCsvRow(const ExportSwim& swim, size_t columns);
std::string exportJsonStart(const ExportMeet& meet);
std::string exportJsonSwim(const ExportMeet& meet, const ExportSwim& swim, bool first);
std::string exportJsonEnd(bool anySwim);

}  // namespace quendro
