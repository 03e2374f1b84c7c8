#include "laps/swim_selection.h"

#include "laps/code_tables.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

std::int64_t numberIn(std::u16string_view line, size_t start, size_t length) {
    return roundHalfEven(numericValue(midChars(line, start, length))).value_or(0);
}

}  // namespace

std::u16string competitorKey(std::int16_t ordinal) {
    return zeroFilled(ordinal, 4);
}

SwimRow swimRowOf(std::u16string_view line) {
    SwimRow row;
    row.finalTime = chKiro(static_cast<std::int32_t>(numberIn(line, 8, 6)));
    row.text = chShu(static_cast<std::int16_t>(numberIn(line, 5, 2))) + u" " +
               chMt(midChars(line, 7, 1)) + u" " + rightAligned(row.finalTime, 8);
    row.heat = midChars(line, 14, 4);
    row.lane = static_cast<std::int16_t>(numberIn(line, 18, 2));
    return row;
}

std::vector<SwimRow> swimsOfCompetitor(const std::vector<std::u16string>& swimTable, int count,
                                       std::u16string_view key) {
    std::vector<SwimRow> rows;
    for (int i = 1; i <= count && i < static_cast<int>(swimTable.size()); ++i) {
        const std::u16string& line = swimTable[static_cast<size_t>(i)];
        if (leftChars(line, 4) != key) continue;
        if (static_cast<int>(rows.size()) == kMaxSwims) break;
        rows.push_back(swimRowOf(line));
    }
    return rows;
}

bool hasFinalTime(std::u16string_view finalTime) {
    return finalTime.find_first_not_of(u' ') != std::u16string_view::npos;
}

void SwimIndex::build(const std::vector<std::u16string>& swimTable, int count) {
    lines_.clear();
    for (int i = 1; i <= count && i < static_cast<int>(swimTable.size()); ++i)
        lines_[leftChars(swimTable[static_cast<size_t>(i)], 4)].push_back(i);
    data_ = swimTable.data();
    size_ = swimTable.size();
    count_ = count;
}

bool SwimIndex::builtFor(const std::vector<std::u16string>& swimTable, int count) const {
    return data_ == swimTable.data() && size_ == swimTable.size() && count_ == count;
}

std::vector<SwimRow> SwimIndex::swimsOf(const std::vector<std::u16string>& swimTable,
                                        std::u16string_view key) const {
    std::vector<SwimRow> rows;
    auto found = lines_.find(std::u16string(key));
    if (found == lines_.end()) return rows;
    for (std::int32_t i : found->second) {
        if (static_cast<int>(rows.size()) == kMaxSwims) break;
        rows.push_back(swimRowOf(swimTable[static_cast<size_t>(i)]));
    }
    return rows;
}

}  // namespace quendro
