#include "store/season_list.h"

#include "platform/field_reader.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "store/meet_list_upload.h"

namespace quendro {

bool seasonListHasMeet(std::string_view listBytes, std::u16string_view meetCode) {
    if (meetCode.empty()) return false;
    FieldReader reader(decodeShiftJis(listBytes));
    while (auto entry = reader.next()) {
        if (leftChars(*entry, 7) == meetCode) return true;
    }
    return false;
}

std::string seasonListWithMeet(std::string_view listBytes, std::u16string_view meetCode,
                               std::u16string_view abbreviation) {
    std::string list(listBytes);
    if (seasonListHasMeet(listBytes, meetCode)) return list;
    if (!list.empty() && list.back() != '\n' && list.back() != '\r') list += "\r\n";
    list += encodeShiftJis(meetListEntryLine(meetCode, abbreviation));
    return list;
}

}  // namespace quendro
