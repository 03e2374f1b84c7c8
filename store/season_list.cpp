#include "store/season_list.h"

#include <algorithm>

#include "platform/field_reader.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "store/meet_code.h"
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

namespace {

std::vector<std::u16string> entriesOf(std::string_view listBytes) {
    std::vector<std::u16string> entries;
    FieldReader reader(decodeShiftJis(listBytes));
    while (auto entry = reader.next()) {
        if (!entry->empty()) entries.push_back(std::move(*entry));
    }
    return entries;
}

// The list ready for a line of its own at its end.
std::string endedList(std::string_view listBytes) {
    std::string list(listBytes);
    if (!list.empty() && list.back() != '\n' && list.back() != '\r') list += "\r\n";
    return list;
}

}  // namespace

SeasonListContent seasonListContent(std::string_view listBytes) {
    for (char c : listBytes) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\r' && c != '\n' && byte != 0x1A) || byte == 0x7F)
            return SeasonListContent::NotAList;
    }
    std::size_t first = listBytes.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && listBytes[first] == '<')
        return SeasonListContent::NotAList;
    return entriesOf(listBytes).empty() ? SeasonListContent::NoMeets : SeasonListContent::Meets;
}

std::u16string seasonEntryCode(std::u16string_view entry) {
    return leftChars(entry, kListedMeetCodeLength);
}

bool seasonListHasMeet(std::string_view listBytes, std::u16string_view meetCode) {
    if (!isListedMeetCode(meetCode)) return false;
    for (const std::u16string& entry : entriesOf(listBytes)) {
        if (seasonEntryCode(entry) == meetCode) return true;
    }
    return false;
}

std::vector<std::u16string> seasonListLacks(std::string_view before, std::string_view after) {
    std::vector<std::u16string> held = entriesOf(after);
    std::sort(held.begin(), held.end());
    std::vector<std::u16string> lacks;
    for (std::u16string& entry : entriesOf(before)) {
        if (std::binary_search(held.begin(), held.end(), entry)) continue;
        if (std::find(lacks.begin(), lacks.end(), entry) == lacks.end())
            lacks.push_back(std::move(entry));
    }
    return lacks;
}

std::string seasonListWithEntries(std::string_view listBytes,
                                  const std::vector<std::u16string>& entries) {
    if (entries.empty()) return std::string(listBytes);
    std::string list = endedList(listBytes);
    for (const std::u16string& entry : entries) {
        bool quotable = entry.find(u'"') == std::u16string::npos;
        list += encodeShiftJis(quotable ? u",\"" + entry + u"\"\r\n" : u"," + entry + u"\r\n");
    }
    return list;
}

std::string seasonListWithMeet(std::string_view listBytes, std::u16string_view meetCode,
                               std::u16string_view abbreviation) {
    if (!isListedMeetCode(meetCode) || seasonListHasMeet(listBytes, meetCode))
        return std::string(listBytes);
    return endedList(listBytes) + encodeShiftJis(meetListEntryLine(meetCode, abbreviation));
}

std::u16string seasonYearOf(const LocalDateTime& today) {
    // The month of the date written as yyyy/mm/dd, compared as text with "04".
    std::u16string month = midChars(shortDateText(today), 6, 2);
    int year = month < u"04" ? today.year - 1 : today.year;
    return zeroFilled(year, 4);
}

bool isSeasonName(std::u16string_view season) {
    if (season.size() != 4) return false;
    for (char16_t c : season)
        if (c < u'0' || c > u'9') return false;
    return true;
}

}  // namespace quendro
