#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace quendro {

// A competitor has at most 51 swims listed, a swim at most 60 splits
// (1500 m in 25 m steps).
inline constexpr int kMaxSwims = 51;
inline constexpr int kMaxSplits = 60;

// The competitor ordinal as the swim index writes it: four digits, zero-filled.
std::u16string competitorKey(std::int16_t ordinal);

// One row of the swim list, read from a swim index line.
struct SwimRow {
    std::u16string text;       // event, stage and final time: " 100m自由形 予選  1:05.32"
    std::u16string finalTime;  // the final time text, or the result word
    std::u16string heat;       // the four-digit heat number, which names the lap file
    std::int16_t lane = 0;     // lane slot 0 to 9
    std::int16_t eventDistance = 0;  // metres of the event, a relay's whole; 0 when unknown
};
SwimRow swimRowOf(std::u16string_view indexLine);

// True when a final time text holds a time or a result word; a swim whose heat
// was swum after the import has none yet (all blanks or empty).
bool hasFinalTime(std::u16string_view finalTime);

// The swims of a competitor: the lines 1 to count of the swim index whose first
// four characters are the key, in index order, at most 51.
std::vector<SwimRow> swimsOfCompetitor(const std::vector<std::u16string>& swimTable, int count,
                                       std::u16string_view key);

// The swim index looked up by competitor: for each key (the first four
// characters of a line), the positions of its lines in index order. Built
// once per import, so that choosing a competitor reads only that competitor's
// lines instead of the whole index.
class SwimIndex {
  public:
    // Indexes the lines 1 to count.
    void build(const std::vector<std::u16string>& swimTable, int count);
    // True when built for this very swim index with this count; the window's
    // swim index may be replaced without an import.
    bool builtFor(const std::vector<std::u16string>& swimTable, int count) const;
    // What swimsOfCompetitor gives for the key.
    std::vector<SwimRow> swimsOf(const std::vector<std::u16string>& swimTable,
                                 std::u16string_view key) const;
    // The swim index lines of those swims, in the same order.
    std::vector<std::u16string_view> linesOfKey(const std::vector<std::u16string>& swimTable,
                                                std::u16string_view key) const;
    // The heats of those swims, in the same order.
    std::vector<std::u16string> heatsOf(const std::vector<std::u16string>& swimTable,
                                        std::u16string_view key) const;

  private:
    // The positions of the key's lines, in index order; at most 51.
    std::span<const std::int32_t> linesOf(std::u16string_view key) const;

    // Keys of four digits, as the import writes them, are looked up by their
    // number: the lines of key k are digitLines_[digitStart_[k] .. digitStart_[k + 1]).
    std::vector<std::int32_t> digitStart_;
    std::vector<std::int32_t> digitLines_;
    std::unordered_map<std::u16string, std::vector<std::int32_t>> otherLines_;  // any other key
    const std::u16string* data_ = nullptr;
    size_t size_ = 0;
    int count_ = -1;
};

}  // namespace quendro
