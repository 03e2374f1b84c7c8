#include "store/season_list.h"

#include "platform/field_reader.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "store/meet_list_upload.h"

namespace quendro {

SeasonListShape seasonListShape(std::string_view listBytes) {
    if (listBytes.size() > kSeasonListMaxBytes) return SeasonListShape::TooLarge;
    // Entries are the fields: every comma outside quotes and every line end
    // (CR LF counted once) ends one.
    std::size_t entries = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < listBytes.size(); ++i) {
        char c = listBytes[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\n' || (c == '\r' && (i + 1 == listBytes.size() || listBytes[i + 1] != '\n'))) {
            ++entries;
            quoted = false;
        } else if (c == ',' && !quoted) {
            ++entries;
        }
    }
    if (!listBytes.empty() && listBytes.back() != '\n' && listBytes.back() != '\r') ++entries;
    if (entries > kSeasonListMaxEntries) return SeasonListShape::TooLarge;
    if (!listBytes.empty() && listBytes.back() != '\n' && listBytes.back() != '\r')
        return SeasonListShape::CutShort;
    return SeasonListShape::Whole;
}

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

std::u16string seasonYearOf(const LocalDateTime& today) {
    // The month of the date written as yyyy/mm/dd, compared as text with "04".
    std::u16string month = midChars(shortDateText(today), 6, 2);
    int year = month < u"04" ? today.year - 1 : today.year;
    return zeroFilled(year, 4);
}

}  // namespace quendro
