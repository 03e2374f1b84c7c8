#pragma once

#include <string>
#include <vector>

namespace quendro {

// The season meet list "list.txt": every field is one entry of the meet list
// box, in file order, empty fields too. The first seven characters of an entry
// are the meet code; the rest is for the user.
std::vector<std::u16string> meetListEntries(std::u16string text);
std::u16string meetCodeOf(std::u16string_view entry);

// How many times the season meet list is fetched before the build gives up.
inline constexpr int kMeetListAttempts = 2;

}  // namespace quendro
