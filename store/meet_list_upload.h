#pragma once

#include <string>
#include <string_view>

namespace quendro {

// The entry that the upload appends to the season meet list: a comma, the meet
// code and the abbreviation in double quotes, CR LF. Read back, the line gives
// an empty entry and then "code abbreviation".
std::u16string meetListEntryLine(std::u16string_view meetCode, std::u16string_view abbreviation);

// The operation that sends the new meet list, from the file beside the working
// copy that takes the copy's place once the server has it.
inline constexpr std::u16string_view kUploadOperation = u"PUT c:\\quendro\\temp\\list.up";

}  // namespace quendro
