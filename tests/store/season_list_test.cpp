#include "store/season_list.h"

#include <gtest/gtest.h>

#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::sjis;

TEST(SeasonListTest, AddsTheMeetOnceAndLeavesTheOtherBytes) {
    struct Case {
        const char* what;
        std::string list;
        std::string expected;
    };
    const std::string entry = sjis(u",\"2026001 県選手権\"\r\n");
    const Case cases[] = {
        {"empty list", "", entry},
        {"list of another meet", sjis(u",\"2026002 長水路\"\r\n"),
         sjis(u",\"2026002 長水路\"\r\n") + entry},
        // A last line without its line end gets one: the entry stands alone.
        {"no line end", ",\"2026002 X\"", ",\"2026002 X\"\r\n" + entry},
        {"bare LF kept", ",\"2026002 X\"\n", ",\"2026002 X\"\n" + entry},
        {"already there", sjis(u",\"2026001 県選手権\"\r\n,\"2026002 X\"\r\n"),
         sjis(u",\"2026001 県選手権\"\r\n,\"2026002 X\"\r\n")},
        // The first seven characters are the code; a longer name still matches.
        {"there as first field", "2026001 other name,\r\n", "2026001 other name,\r\n"},
        {"the first seven characters decide", ",\"20260011 X\"\r\n", ",\"20260011 X\"\r\n"},
        {"a six-digit code is another meet", ",\"202600 X\"\r\n", ",\"202600 X\"\r\n" + entry},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(seasonListWithMeet(c.list, u"2026001", u"県選手権"), c.expected) << c.what;
    }
}

TEST(SeasonListTest, FindsAMeetByTheFirstSevenCharactersOfAnEntry) {
    EXPECT_TRUE(seasonListHasMeet(",\"1234567 ABC\"\r\n,\"7654321 DEF\"\r\n", u"7654321"));
    EXPECT_FALSE(seasonListHasMeet(",\"1234567 ABC\"\r\n", u"7654321"));
    EXPECT_FALSE(seasonListHasMeet(",\"1234567 ABC\"\r\n", u""));
    EXPECT_TRUE(seasonListHasMeet(sjis(u"\"1234567,県\""), u"1234567"));
}

}  // namespace
}  // namespace quendro
