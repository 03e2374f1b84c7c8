#include "store/meet_code.h"

#include <gtest/gtest.h>

#include "platform/text_rules.h"

namespace quendro {
namespace {

// A meet code becomes a folder of the publisher and the name of files: only
// one to seven ASCII letters or digits may.
TEST(MeetCode, OnlyOneToSevenLettersOrDigitsNameAMeet) {
    struct Case {
        std::u16string code;
        bool name;
    };
    const Case cases[] = {
        {u"2026001", true},
        {u"1", true},
        {u"AbZz09a", true},
        {u"", false},
        {u"20260011", false},  // eight characters: a new list entry on every run
        {u"..", false},
        {u".", false},
        {u"../2024/2026001", false},
        {u"..%2F24", false},
        {u"2026 01", false},
        {u"2026-01", false},
        {u"2026\\01", false},
        {u"２０２６００１", false},  // full-width digits
        {u"県選手権", false},
        {std::u16string(u"2026\0001", 7), false},
        {u"/", false},
        {u"@", false},  // just before "A"
        {u"[", false},  // just after "Z"
        {u"`", false},  // just before "a"
        {u"{", false},  // just after "z"
        {u"/0", false},
        {u":9", false},  // just before and after the digits
    };
    for (const Case& c : cases) EXPECT_EQ(isMeetCodeName(c.code), c.name) << toUtf8(c.code);
}

// A code that goes into a season list is exactly seven letters or digits.
TEST(MeetCode, OnlySevenLettersOrDigitsGoIntoAList) {
    struct Case {
        std::u16string code;
        bool listed;
    };
    const Case cases[] = {
        {u"2026001", true},  {u"AbZz09a", true}, {u"202600", false},  // one short
        {u"20260011", false},                                            // one past
        {u"ABC", false},     {u"", false},       {u"2026.01", false}, {u"２０２６００１", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isListedMeetCode(c.code), c.listed) << toUtf8(c.code);
    EXPECT_EQ(listedMeetCodeRefusal(u"ABC"), u"大会コード「ABC」は大会一覧に載せられません（英数字 7 文字）");
}

TEST(MeetCode, TheRefusalNamesTheCodeWithItsControlCharactersEscaped) {
    EXPECT_EQ(meetCodeRefusal(u"../2024"), u"大会コード「../2024」は使えません（英数字 1〜7 文字）");
    EXPECT_EQ(meetCodeRefusal(std::u16string(u"a\0\x1b[2J", 6)),
              u"大会コード「a\\x00\\x1b[2J」は使えません（英数字 1〜7 文字）");
}

}  // namespace
}  // namespace quendro
