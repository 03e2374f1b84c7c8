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

// An entry names a meet when its first seven characters are the code, whole:
// a code of another length is named by no entry, and never added.
TEST(SeasonListTest, FindsAMeetByTheFirstSevenCharactersOfAnEntry) {
    struct Case {
        std::string list;
        std::u16string code;
        bool has;
    };
    const Case cases[] = {
        {",\"1234567 ABC\"\r\n,\"7654321 DEF\"\r\n", u"7654321", true},
        {",\"1234567 ABC\"\r\n", u"7654321", false},
        {",\"1234567 ABC\"\r\n", u"", false},
        {sjis(u"\"1234567,県\""), u"1234567", true},
        {sjis(u",\"ABC 県選手権\"\r\n"), u"ABC", false},          // its code reads "ABC 県選手"
        {",\"123456 A\"\r\n,\"123456\"\r\n", u"123456", false},  // six: one short
        {",\"12345678 A\"\r\n", u"12345678", false},             // eight: one past
    };
    for (const Case& c : cases) EXPECT_EQ(seasonListHasMeet(c.list, c.code), c.has) << c.list;
    EXPECT_EQ(seasonListWithMeet(",\"123456\"\r\n", u"123456", u"X"), ",\"123456\"\r\n");
    EXPECT_EQ(seasonEntryCode(u"ABC 県選手権"), u"ABC 県選手");
}

// What a list read back lacks of the list before it, and those entries put back.
TEST(SeasonListTest, EntriesLostOnTheWayArePutBack) {
    const std::string before = sjis(u",\"2026001 県\"\r\n,\"2026002 市\"\r\n2026003 a\"b\r\n");
    struct Case {
        const char* what;
        std::string after;
        std::vector<std::u16string> lacks;
    };
    const Case cases[] = {
        {"all there, with more", before + ",\"2026004 X\"\r\n", {}},
        {"all there, in another order", sjis(u"2026003 a\"b,\"2026002 市\",\"2026001 県\"\r\n"), {}},
        {"the last lines cut", sjis(u",\"2026001 県\"\r\n"), {u"2026002 市", u"2026003 a\"b"}},
        {"nothing left", "", {u"2026001 県", u"2026002 市", u"2026003 a\"b"}},
    };
    for (const Case& c : cases) {
        std::vector<std::u16string> lacks = seasonListLacks(before, c.after);
        EXPECT_EQ(lacks, c.lacks) << c.what;
        EXPECT_TRUE(seasonListLacks(before, seasonListWithEntries(c.after, lacks)).empty()) << c.what;
    }
    EXPECT_EQ(seasonListWithEntries(",\"2026001 X\"", {u"2026002 Y", u"a\"b"}),
              ",\"2026001 X\"\r\n,\"2026002 Y\"\r\n,a\"b\r\n");
}

// A season's list is bounded by what a season holds: a megabyte and ten
// thousand entries are taken, one byte or one entry more is not. A body whose
// last line has no line end was cut on its way.
TEST(SeasonListTest, ShapeHoldsTheBoundsOfASeasonFromBothSides) {
    auto commas = [](std::size_t n) { return std::string(n, ',') + "\r\n"; };
    auto bytes = [](std::size_t n) { return std::string(n - 2, 'x') + "\r\n"; };
    struct Case {
        const char* what;
        std::string list;
        SeasonListShape shape;
    };
    const Case cases[] = {
        {"empty", "", SeasonListShape::Whole},
        {"one entry, CR LF", ",\"2026001 X\"\r\n", SeasonListShape::Whole},
        {"LF alone ends a line", ",\"2026001 X\"\n", SeasonListShape::Whole},
        {"CR alone ends a line", ",\"2026001 X\"\r", SeasonListShape::Whole},
        {"cut inside the last entry", ",\"2026001 X\"\r\n,\"2026", SeasonListShape::CutShort},
        {"cut after the last quote", ",\"2026001 X\"", SeasonListShape::CutShort},
        // 9999 commas and the line end make 10000 entries.
        {"exactly the most entries", commas(kSeasonListMaxEntries - 1), SeasonListShape::Whole},
        {"one entry too many", commas(kSeasonListMaxEntries), SeasonListShape::TooLarge},
        {"commas inside quotes end no entry",
         "\"" + std::string(kSeasonListMaxEntries * 2, ',') + "\"\r\n", SeasonListShape::Whole},
        {"exactly the most bytes", bytes(kSeasonListMaxBytes), SeasonListShape::Whole},
        {"one byte too many", bytes(kSeasonListMaxBytes + 1), SeasonListShape::TooLarge},
        {"too many and cut", std::string(kSeasonListMaxBytes + 1, 'x'), SeasonListShape::TooLarge},
    };
    for (const Case& c : cases) EXPECT_EQ(seasonListShape(c.list), c.shape) << c.what;
}

}  // namespace
}  // namespace quendro
