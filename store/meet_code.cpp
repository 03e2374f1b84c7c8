#include "store/meet_code.h"

#include "platform/text_rules.h"

namespace quendro {

bool isMeetCodeName(std::u16string_view code) {
    if (code.empty() || code.size() > 7) return false;
    for (char16_t c : code) {
        bool letterOrDigit = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ||
                             (c >= u'a' && c <= u'z');
        if (!letterOrDigit) return false;
    }
    return true;
}

std::u16string meetCodeRefusal(std::u16string_view code) {
    return u"大会コード「" + visibleText(code) + u"」は使えません（英数字 1〜7 文字）";
}

bool isListedMeetCode(std::u16string_view code) {
    return code.size() == kListedMeetCodeLength && isMeetCodeName(code);
}

std::u16string listedMeetCodeRefusal(std::u16string_view code) {
    return u"大会コード「" + visibleText(code) + u"」は大会一覧に載せられません（英数字 7 文字）";
}

}  // namespace quendro
