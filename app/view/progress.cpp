#include "app/view/progress.h"

namespace quendro::view {
namespace {

bool endsWith(std::u16string_view text, std::u16string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::u16string number(int n) {
    std::u16string digits;
    for (const char c : std::to_string(n)) digits.push_back(static_cast<char16_t>(c));
    return digits;
}

}  // namespace

Fetch fetchOf(std::u16string_view url) {
    size_t slash = url.find_last_of(u'/');
    std::u16string_view file = slash == std::u16string_view::npos ? url : url.substr(slash + 1);
    std::u16string_view folder =
        slash == std::u16string_view::npos ? std::u16string_view() : url.substr(0, slash);
    if (file == u"list.txt") return Fetch::MeetList;
    if (file == u"taikai.txt" || file == u"ind2.txt" || file == u"kijun.txt")
        return Fetch::MeetFile;
    if (endsWith(folder, u"/lap") && file.size() > 1 && file[0] == u'r' && endsWith(file, u".txt"))
        return Fetch::LapFile;
    return Fetch::Other;
}

std::u16string progressWords(Fetch fetch, int done, int total) {
    std::u16string what;
    switch (fetch) {
        case Fetch::MeetList: what = u"大会一覧を取得中"; break;
        case Fetch::MeetFile: what = u"大会データを取得中"; break;
        case Fetch::LapFile: what = u"ラップを取得中"; break;
        case Fetch::Other: what = u"取得中"; break;
    }
    if (total > 0 && done >= 1 && done <= total)
        return what + u" " + number(done) + u"/" + number(total);
    return what + u" …";
}

}  // namespace quendro::view
