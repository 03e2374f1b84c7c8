#include "reports/poster.h"

#include <gtest/gtest.h>

namespace quendro {
namespace {

MeetHeader header(std::u16string code, std::u16string first, std::u16string last) {
    MeetHeader h;
    h.meetCode = std::move(code);
    h.meetName = u"第１回県選手権水泳競技大会";
    h.firstDay = std::move(first);
    h.lastDay = std::move(last);
    h.venue = u"県総合プール";
    return h;
}

TEST(Poster, TheAddressAndDaysByTheOneRule) {
    struct Row {
        std::u16string viewer, code, season, last;
        PosterProblem problem;
        std::string address;
        std::u16string when;
    };
    const Row rows[] = {
        {u"192.168.1.20:8808", u"2026001", u"2026", u"20260726", PosterProblem::None,
         "http://192.168.1.20:8808/#/2026/2026001", u"2026/07/25 〜 2026/07/26"},
        {u"https://swim.example.jp/", u"A", u"2026", u"20260725", PosterProblem::None,
         "https://swim.example.jp/#/2026/A", u"2026/07/25"},
        {u"http://192.168.1.20:8808/view", u"2026001", u"2026", u"", PosterProblem::None,
         "http://192.168.1.20:8808/view/#/2026/2026001", u"2026/07/25"},
        {u"ftp://192.168.1.20/", u"2026001", u"2026", u"", PosterProblem::BadAddress, "", u""},
        {u"https://", u"2026001", u"2026", u"", PosterProblem::BadAddress, "", u""},
        {u"http://a b/", u"2026001", u"2026", u"", PosterProblem::BadAddress, "", u""},
        {u"http://a/#/x", u"2026001", u"2026", u"", PosterProblem::BadAddress, "", u""},
        {u"http://a/", u"..", u"2026", u"", PosterProblem::BadMeetCode, "", u""},
        {u"http://a/", u"20260011", u"2026", u"", PosterProblem::BadMeetCode, "", u""},
        {u"http://a/", u"2026001", u"202", u"", PosterProblem::BadSeason, "", u""},
        {u"http://a/", u"2026001", u"20266", u"", PosterProblem::BadSeason, "", u""},
    };
    for (const Row& row : rows) {
        PosterPlan plan = planPoster(header(row.code, u"20260725", row.last), row.viewer, row.season);
        SCOPED_TRACE(std::string(row.address));
        EXPECT_EQ(plan.problem, row.problem);
        EXPECT_EQ(plan.text.address, row.address);
        EXPECT_EQ(plan.text.when, row.when);
    }
}

}  // namespace
}  // namespace quendro
