#include "reports/poster.h"

#include "platform/text_rules.h"
#include "store/meet_code.h"
#include "store/season_list.h"
#include "store/server_addresses.h"

namespace quendro {
namespace {

// An address a phone can open: http or https, a server named, and nothing that
// would change the address's shape after it (a fragment, a query, a blank or a
// control character).
bool isViewerAddress(std::u16string_view address) {
    std::u16string_view rest;
    if (address.starts_with(u"http://"))
        rest = address.substr(7);
    else if (address.starts_with(u"https://"))
        rest = address.substr(8);
    else
        return false;
    if (rest.empty() || rest.front() == u'/') return false;
    for (char16_t c : address)
        if (c <= u' ' || c == u'#' || c == u'?' || c == u'"' || c == u'<' || c == u'>' ||
            c == u'\\' || c >= 0x7F)
            return false;
    return true;
}

}  // namespace

PosterPlan planPoster(const MeetHeader& header, std::u16string_view viewer,
                      std::u16string_view season) {
    PosterPlan plan;
    std::u16string base = baseAddress(viewer);
    if (!isViewerAddress(base)) {
        plan.problem = PosterProblem::BadAddress;
        return plan;
    }
    if (!isMeetCodeName(header.meetCode)) {
        plan.problem = PosterProblem::BadMeetCode;
        return plan;
    }
    if (!isSeasonName(season)) {
        plan.problem = PosterProblem::BadSeason;
        return plan;
    }
    PosterText& text = plan.text;
    text.heading = u"競技会のラップタイム";
    text.meetName = header.meetName;
    text.when = headerDate(header.firstDay);
    if (!header.lastDay.empty() && header.lastDay != header.firstDay)
        text.when += u" 〜 " + headerDate(header.lastDay);
    text.venue = header.venue;
    text.address = toUtf8(base + u"#/" + std::u16string(season) + u"/" + header.meetCode);
    text.guide =
        u"スマートフォンのカメラで QR コードを読み取ると、選手ごとのラップタイムが"
        u"泳いでいる間も見られます。会場の Wi-Fi につないでからお読みください。";
    return plan;
}

std::u16string posterProblemWord(PosterProblem problem, std::u16string_view given) {
    switch (problem) {
        case PosterProblem::None:
            return {};
        case PosterProblem::BadAddress:
            return u"エラー: ビューアのアドレス「" + visibleText(given) +
                   u"」は使えません（http:// または https:// で始まるサーバーのアドレス）";
        case PosterProblem::BadMeetCode:
            return meetCodeRefusal(given);
        case PosterProblem::BadSeason:
            return u"エラー: 年度「" + visibleText(given) + u"」は使えません（数字 4 文字）";
    }
    return {};
}

}  // namespace quendro
