#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace quendro {

// The season meet list "list.txt" on the server: one entry per field, the first
// seven characters of an entry the meet code.

// A season holds a few dozen meets: a list past either bound is no season's
// list, and is neither listed nor sent back.
inline constexpr std::size_t kSeasonListMaxBytes = std::size_t{1} << 20;  // 1 MB
inline constexpr std::size_t kSeasonListMaxEntries = 10000;

enum class SeasonListShape {
    Whole,     // empty, or its last line ends with a line end
    CutShort,  // bytes after the last line end: the body did not come whole
    TooLarge,  // more bytes or more entries than the bounds above
};
// What a list's bytes are, read without decoding them (a Shift-JIS second byte
// is never a comma, a quote or a line end).
SeasonListShape seasonListShape(std::string_view listBytes);

enum class SeasonListContent {
    Meets,     // at least one entry that is not empty
    NoMeets,   // no entry but empty ones (no bytes at all, too): no meet listed yet
    NotAList,  // no season list: a page ("<" before any entry), or bytes that no
               // text holds (a control byte but a tab, a line end or the old
               // end-of-file mark 1A)
};
// What a list's bytes hold.
SeasonListContent seasonListContent(std::string_view listBytes);

// The meet code of an entry: its first seven characters (the whole entry when
// shorter). The window opens the meet of this code.
std::u16string seasonEntryCode(std::u16string_view entry);

// True when an entry of the list (Shift-JIS bytes) names the meet: the entry's
// code is the meet code, whole. A code that cannot be listed
// (isListedMeetCode) is named by no entry.
bool seasonListHasMeet(std::string_view listBytes, std::u16string_view meetCode);

// The entries of before (not the empty ones) that after lacks, in before's
// order, each once: what a list read back after an upload has lost.
std::vector<std::u16string> seasonListLacks(std::string_view before, std::string_view after);

// The list with the entries added at its end, one line each as "Web Up" writes
// its own (a comma, the entry in double quotes, CR LF; an entry that holds a
// double quote goes without them).
std::string seasonListWithEntries(std::string_view listBytes,
                                  const std::vector<std::u16string>& entries);

// The list with the meet's entry added at its end, the line that "Web Up"
// appends; its other bytes stay as they are. A list whose last line has no line
// end gets one first, so that the entry stands on a line of its own. A list that
// already names the meet, or a code that cannot be listed, gives the list
// unchanged.
std::string seasonListWithMeet(std::string_view listBytes, std::u16string_view meetCode,
                               std::u16string_view abbreviation);

// The swimming season runs from April to March: from January to March the
// season is the previous calendar year. Four digits.
std::u16string seasonYearOf(const LocalDateTime& today);
// A season that names a season folder: four digits ("2026").
bool isSeasonName(std::u16string_view season);

}  // namespace quendro
