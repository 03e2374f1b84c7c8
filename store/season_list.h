#pragma once

#include <string>
#include <string_view>

namespace quendro {

// The season meet list "list.txt" on the server: one entry per field, the first
// seven characters of an entry the meet code.

// True when an entry of the list (Shift-JIS bytes) names the meet.
bool seasonListHasMeet(std::string_view listBytes, std::u16string_view meetCode);

// The list with the meet's entry added at its end, the line that "Web Up"
// appends; its other bytes stay as they are. A list whose last line has no line
// end gets one first, so that the entry stands on a line of its own. A list that
// already names the meet comes back unchanged.
std::string seasonListWithMeet(std::string_view listBytes, std::u16string_view meetCode,
                               std::u16string_view abbreviation);

}  // namespace quendro
