#include "laps/swim_selection.h"

#include <algorithm>

#include "laps/code_tables.h"
#include "laps/pace.h"
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
    row.eventDistance =
        static_cast<std::int16_t>(eventDistanceOf(static_cast<std::int16_t>(numberIn(line, 5, 2))));
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

namespace {

constexpr int kDigitKeys = 10000;

// The number of a key of four digits; -1 for any other key.
int digitKey(std::u16string_view key) {
    if (key.size() != 4) return -1;
    int value = 0;
    for (char16_t c : key) {
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

}  // namespace

void SwimIndex::build(const std::vector<std::u16string>& swimTable, int count) {
    otherLines_.clear();
    digitStart_.assign(kDigitKeys + 1, 0);
    digitLines_.clear();
    const int last = std::min(count, static_cast<int>(swimTable.size()) - 1);
    // Lines counted per key, then placed after the lines of the keys before.
    std::vector<int> keys(static_cast<size_t>(std::max(last + 1, 0)), -1);
    for (int i = 1; i <= last; ++i) {
        const std::u16string_view line = swimTable[static_cast<size_t>(i)];
        int k = digitKey(line.substr(0, std::min<size_t>(line.size(), 4)));
        keys[static_cast<size_t>(i)] = k;
        if (k < 0) {
            otherLines_[leftChars(line, 4)].push_back(i);
        } else {
            ++digitStart_[static_cast<size_t>(k) + 1];
        }
    }
    for (size_t k = 1; k < digitStart_.size(); ++k) digitStart_[k] += digitStart_[k - 1];
    digitLines_.resize(static_cast<size_t>(digitStart_.back()));
    std::vector<std::int32_t> next(digitStart_.begin(), digitStart_.end() - 1);
    for (int i = 1; i <= last; ++i) {
        int k = keys[static_cast<size_t>(i)];
        if (k >= 0) digitLines_[static_cast<size_t>(next[static_cast<size_t>(k)]++)] = i;
    }
    data_ = swimTable.data();
    size_ = swimTable.size();
    count_ = count;
}

bool SwimIndex::builtFor(const std::vector<std::u16string>& swimTable, int count) const {
    return data_ == swimTable.data() && size_ == swimTable.size() && count_ == count;
}

std::span<const std::int32_t> SwimIndex::linesOf(std::u16string_view key) const {
    std::span<const std::int32_t> lines;
    if (int k = digitKey(key); k >= 0) {
        if (digitStart_.empty()) return {};
        auto from = static_cast<size_t>(digitStart_[static_cast<size_t>(k)]);
        auto to = static_cast<size_t>(digitStart_[static_cast<size_t>(k) + 1]);
        lines = std::span<const std::int32_t>(digitLines_).subspan(from, to - from);
    } else {
        auto found = otherLines_.find(std::u16string(key));
        if (found == otherLines_.end()) return {};
        lines = found->second;
    }
    return lines.first(std::min(lines.size(), static_cast<size_t>(kMaxSwims)));
}

std::vector<SwimRow> SwimIndex::swimsOf(const std::vector<std::u16string>& swimTable,
                                        std::u16string_view key) const {
    std::vector<SwimRow> rows;
    for (std::int32_t i : linesOf(key)) rows.push_back(swimRowOf(swimTable[static_cast<size_t>(i)]));
    return rows;
}

std::vector<std::u16string_view> SwimIndex::linesOfKey(
    const std::vector<std::u16string>& swimTable, std::u16string_view key) const {
    std::vector<std::u16string_view> lines;
    for (std::int32_t i : linesOf(key)) lines.push_back(swimTable[static_cast<size_t>(i)]);
    return lines;
}

std::vector<std::u16string> SwimIndex::heatsOf(const std::vector<std::u16string>& swimTable,
                                               std::u16string_view key) const {
    std::vector<std::u16string> heats;
    for (std::int32_t i : linesOf(key)) heats.push_back(midChars(swimTable[static_cast<size_t>(i)], 14, 4));
    return heats;
}

}  // namespace quendro
