#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/printer.h"
#include "store/record_files.h"

namespace quendro {

// The printed lap list: a header, then per competitor a dashed rule, a line of
// particulars and each swim with all its splits, eight to a line, and the laps
// in parentheses under them. Ten half-width characters make a 1000-twip column.

inline constexpr std::u16string_view kLapListFont = u"ＭＳ 明朝";
inline constexpr double kLapListPoints = 10;

struct LapListHeader {
    std::u16string date;  // the day of printing, yyyy/mm/dd
    std::u16string time;  // the time of printing
    std::u16string meetName;
    std::u16string venue;
    std::u16string firstDay;
    std::u16string lastDay;
    std::u16string filter;                           // the number filter the list was made with
    std::array<std::u16string, 8> distanceCaptions;  // of the first eight splits
};

// A whole number as a printed item: a blank (or a minus sign), the digits, a blank.
std::u16string numberItem(std::int16_t value);

void printLapListHeader(Printer& printer, const LapListHeader& header);
// 110 dashes from X = 250, a line of their own.
void printRule(Printer& printer);
void printCompetitorLine(Printer& printer, const CompetitorRecord& competitor);
// The swim's row text, its splits and laps in blocks of eight, and a blank line.
void printSwim(Printer& printer, std::u16string_view rowText,
               const std::array<std::u16string, 60>& splitTimes, int splitCount);

}  // namespace quendro
