#pragma once

#include <string>
#include <string_view>

#include "platform/files.h"

namespace quendro {

// Internet mode before the first confirm: the header of the meet imported in an
// earlier run is shown, but its heat table and competitors are not there.
inline constexpr std::u16string_view kConfirmHint = u"確定 で大会を読み込みます";

// The status line's word for a working folder that cannot be written: the
// folder is named, and whether writing was refused or failed (a full disk).
std::u16string workingFolderWord(FileStatus status);

// A season list past the bounds of a season (a megabyte, ten thousand entries).
std::u16string seasonListTooLargeWord(std::u16string_view url);

// A report's status line: what was done, and how many swims went without
// their splits because their lap file could not be read.
std::u16string reportWord(std::u16string_view done, int unreadSwims);

}  // namespace quendro
