#include "store/meet_header.h"

#include "platform/field_reader.h"
#include "platform/text_rules.h"

namespace quendro {

MeetHeader parseMeetHeader(std::u16string text) {
    MeetHeader header;
    FieldReader reader(std::move(text));
    std::u16string* destination[kMeetHeaderFields + 1] = {};
    destination[1] = &header.resultFolder;
    destination[2] = &header.resultFile;
    destination[3] = &header.meetCode;
    destination[4] = &header.meetName;
    destination[5] = &header.abbreviation;
    destination[6] = &header.firstDay;
    destination[7] = &header.lastDay;
    destination[8] = &header.venue;
    destination[9] = &header.poolCode;
    destination[72] = &header.touchpads;
    for (int n = 1; n <= kMeetHeaderFields; ++n) {
        auto field = reader.next();
        if (!field) break;
        if (destination[n]) *destination[n] = std::move(*field);
        header.fieldCount = n;
    }
    return header;
}

std::u16string resultDirFor(std::u16string resultFolder, std::u16string_view dataDir) {
    if (!resultFolder.empty() && !dataDir.empty()) resultFolder[0] = dataDir[0];
    return resultFolder;
}

std::u16string headerDate(std::u16string_view field) {
    return leftChars(field, 4) + u"/" + midChars(field, 5, 2) + u"/" + rightChars(field, 2);
}

std::optional<std::int16_t> poolIndexForCode(std::u16string_view code) {
    if (code == u"0") return 1;
    if (code == u"1") return 0;
    return std::nullopt;
}

std::optional<std::int16_t> touchpadIndexFor(std::u16string_view field) {
    auto v = roundHalfEven(numericValue(field));
    if (!v || *v < 0 || *v > 1) return std::nullopt;
    return static_cast<std::int16_t>(*v);
}

}  // namespace quendro
