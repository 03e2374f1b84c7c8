#include "store/meet_list_upload.h"

namespace quendro {

std::u16string meetListEntryLine(std::u16string_view meetCode, std::u16string_view abbreviation) {
    return u",\"" + std::u16string(meetCode) + u" " + std::u16string(abbreviation) + u"\"\r\n";
}

}  // namespace quendro
