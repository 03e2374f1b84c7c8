#include "platform/shift_jis.h"

#include <gtest/gtest.h>

namespace quendro {
namespace {

TEST(ShiftJis, DecodesTheCodePage932Table) {
    // 0x5C and 0x7E stay backslash and tilde; 81 5F is the full-width backslash.
    EXPECT_EQ(decodeShiftJis("\x5C\x7E\x81\x5F\x88\x9F\xB1"), u"\\~＼亜ｱ");
    EXPECT_EQ(decodeShiftJis("\x8C\xA7\x91\x49\x8E\xE8\x8C\xA0"), u"県選手権");
    EXPECT_EQ(decodeShiftJis("\xBD\xC0\xB0\xC4"), u"ｽﾀｰﾄ");
    EXPECT_EQ(decodeShiftJis("\x87\x40"), u"①");  // NEC special characters
    EXPECT_EQ(decodeShiftJis(""), u"");
}

TEST(ShiftJis, EveryUndecodableByteBecomesOneReplacementCharacter) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xA0", u"\uFFFD"},              // not a character of the code page
        {"AB\x8C", u"AB\uFFFD"},          // a lead byte cut off by the end
        {"\x81\x20Z", u"\uFFFD Z"},       // a lead byte with a trail that is no trail
        {"\x81\x0D\x0A", u"\uFFFD\r\n"},  // the line end after it is kept
        {"\xA0\xA0\x8C\xA7", u"\uFFFD\uFFFD県"},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeShiftJis(c.bytes), c.text);
}

TEST(ShiftJis, EncodesAndWritesAQuestionMarkForWhatTheCodePageLacks) {
    EXPECT_EQ(encodeShiftJis(u"1234567 県選手権"), "1234567 \x8C\xA7\x91\x49\x8E\xE8\x8C\xA0");
    EXPECT_EQ(encodeShiftJis(u"≒～"), "\x81\xE0\x81\x60");
    EXPECT_EQ(encodeShiftJis(u"a\u0100b"), "a?b");
    EXPECT_EQ(encodeShiftJis(u"x\U0001F600y"), "x??y");  // each half of the pair
    EXPECT_EQ(encodeShiftJis(u"\r\n"), "\r\n");
}

TEST(ShiftJis, TextSurvivesTheRoundTrip) {
    std::u16string text = u"第1回 県選手権 ｽﾀｰﾄ 棄権 \\ ~ ①";
    EXPECT_EQ(decodeShiftJis(encodeShiftJis(text)), text);
}

}  // namespace
}  // namespace quendro
