#include "store/server_addresses.h"

#include "platform/text_rules.h"
#include "store/meet_code.h"

namespace quendro {

std::u16string urlPathSegment(std::u16string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const bool dots = text == u"." || text == u"..";
    std::u16string segment;
    for (unsigned char byte : toUtf8(text)) {
        bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                     (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '~' ||
                     (byte == '.' && !dots);
        if (plain) {
            segment.push_back(byte);
        } else {
            segment += {u'%', static_cast<char16_t>(kHex[byte >> 4]),
                        static_cast<char16_t>(kHex[byte & 15])};
        }
    }
    return segment;
}

std::u16string baseAddress(std::u16string_view typed) {
    std::u16string base(typed);
    if (base.empty()) return base;
    if (base.find(u"://") == std::u16string::npos) base.insert(0, u"http://");
    if (base.back() != u'/') base.push_back(u'/');
    return base;
}

std::u16string seasonFolderUrl(std::u16string_view base, std::u16string_view season) {
    return baseAddress(base) + urlPathSegment(season) + u"/";
}

std::u16string meetListUrl(std::u16string_view base, std::u16string_view season) {
    return seasonFolderUrl(base, season) + u"list.txt";
}

std::u16string meetListUploadUrl(std::u16string_view base, std::u16string_view season) {
    return seasonFolderUrl(base, season) + u"list.dat";
}

std::u16string meetFolderUrl(std::u16string_view base, std::u16string_view season,
                             std::u16string_view meetCode) {
    return seasonFolderUrl(base, season) + urlPathSegment(meetCode) + u"/";
}

std::u16string lapFileUrl(std::u16string_view base, std::u16string_view season,
                          std::u16string_view meetCode, std::u16string_view heatNumber) {
    if (!isMeetCodeName(meetCode)) return {};
    return meetFolderUrl(base, season, meetCode) + u"lap/r" + urlPathSegment(heatNumber) + u".txt";
}

}  // namespace quendro
