#include "reports/lap_list.h"

#include <algorithm>

#include "laps/code_tables.h"
#include "laps/swim_splits.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

void printAt(Printer& printer, int x, std::u16string_view text) {
    printer.setCurrentX(x);
    printer.print(text);
}

void lineAt(Printer& printer, int x, std::u16string_view text) {
    printAt(printer, x, text);
    printer.endLine();
}

// Splits a to b (from 1): the times, then the laps in parentheses under them;
// under the first split of a swim stand blanks.
void printSplitBlock(Printer& printer, const std::array<std::u16string, 60>& splits, int a, int b) {
    printer.setCurrentX(3250);
    for (int k = a; k <= b; ++k) {
        // A split the lane's records do not reach keeps its column.
        const std::u16string& split = splits[static_cast<size_t>(k - 1)];
        printer.print(u" " + (split.empty() ? std::u16string(8, u' ') : split) + u" ");
    }
    printer.endLine();
    printer.setCurrentX(3250);
    for (int k = a; k <= b; ++k) {
        if (k == 1) {
            printer.print(u"          ");
        } else {
            printer.print(
                u"(" +
                splitLap(splits[static_cast<size_t>(k - 1)], splits[static_cast<size_t>(k - 2)]) +
                u")");
        }
    }
    printer.endLine();
}

}  // namespace

std::u16string numberItem(std::int16_t value) {
    return (value < 0 ? u"-" : u" ") + decimalText(value < 0 ? -std::int32_t{value} : value) + u" ";
}

void printRule(Printer& printer) {
    lineAt(printer, 250, std::u16string(110, u'-'));
}

void printLapListHeader(Printer& printer, const LapListHeader& h) {
    printer.setCurrentY(500);
    lineAt(printer, 8000, h.date + u"  " + h.time);
    lineAt(printer, 3000, u"個  人  記  録（ラップ）  一  覧");
    lineAt(printer, 8000, u"大会名 " + h.meetName);
    lineAt(printer, 8000, u"場  所 " + h.venue);
    lineAt(printer, 8000, u"期  日 " + h.firstDay);
    lineAt(printer, 8000, u"       " + h.lastDay);  // the last day under the first
    lineAt(printer, 8000, u"絞  込 " + h.filter);
    printer.endLine();
    printRule(printer);
    printer.setCurrentX(3200);
    for (const auto& caption : h.distanceCaptions)
        printer.print(rightChars(u"         " + caption, 10));
    printer.endLine();
}

void printCompetitorLine(Printer& printer, const CompetitorRecord& c) {
    printAt(printer, 250, c.competitorName);
    printAt(printer, 1750, numberItem(c.reportNumber) + u" " + chGaku(c.gradeCode));
    printAt(printer, 2750, c.reportText);
    printAt(printer, 3950, std::u16string(20, u' '));
    lineAt(printer, 9750, c.numberText);
}

void printSwim(Printer& printer, std::u16string_view rowText,
               const std::array<std::u16string, 60>& splitTimes, int splitCount) {
    printAt(printer, 750, rowText);
    int count = std::min(splitCount, 60);
    if (count <= 1) {
        printer.endLine();
    } else {
        // The first block goes on the line of the row text, to its right.
        for (int a = 1; a <= count; a += 8)
            printSplitBlock(printer, splitTimes, a, std::min(a + 7, count));
    }
    printer.endLine();
}

}  // namespace quendro
