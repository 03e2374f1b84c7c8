#include "platform/text_rules.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "tests/support/test_machine.h"

namespace quendro {
namespace {

TEST(TextRules, NumericValueReadsTheNumberAtTheFront) {
    struct Case {
        std::u16string text;
        double value;
    };
    const Case cases[] = {
        {u"", 0},      {u"   ", 0},         {u"abc", 0},     {u"1234", 1234},
        {u" 1", 1},    {u"1 2", 12},        {u"\t7\n", 7},   {u"12abc", 12},
        {u"007", 7},   {u"00", 0},          {u"-3.5", -3.5}, {u"+4", 4},
        {u".5", 0.5},  {u"1e3", 1000},      {u"1D2", 100},   {u"2.5E-1x", 0.25},
        {u"1e", 1},    {u"&H10", 16},       {u"&HFFFF", -1}, {u"&hff", 255},
        {u"&O17", 15}, {u"&H10000", 65536}, {u"- 5", -5},    {u"1:05.32", 1},
        {u"３", 0},  // full-width digits are no digits
        // Plain digits between blanks, up to fifteen of them and beyond.
        {u" 05 ", 5},  {u"123456789012345", 123456789012345.0},
        {u"1234567890123456", 1234567890123456.0}, {u"99999999999999999999", 1e20},
        {u"0000000000000000001", 1},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(numericValue(c.text), c.value)
            << std::string(c.text.begin(), c.text.end());
}

// A window toolkit sets the C library's locale from the user's settings; under
// de_DE the C library reads "0.5" as 0. The meet's numbers must not change.
TEST(TextRules, NumbersReadTheSameInEveryLocale) {
    test::TempFolder locales;
    std::string make = "localedef -i de_DE -f UTF-8 " + (locales.path() / "de_DE.UTF-8").string() +
                       " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "skipped: localedef cannot make de_DE";
    ::setenv("LOCPATH", locales.path().c_str(), 1);
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    ::unsetenv("LOCPATH");
    if (!german) GTEST_SKIP() << "skipped: the de_DE locale cannot be set";
    double c = std::strtod("0.5", nullptr);
    double half = numericValue(u"0.5");
    double exponent = numericValue(u"2.5E-1");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(c, 0.0);  // the locale is in force: the C library reads the point as an end
    EXPECT_EQ(half, 0.5);
    EXPECT_EQ(exponent, 0.25);
}

TEST(TextRules, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(0.49), 0);
    EXPECT_EQ(roundHalfEven(0.51), 1);
    EXPECT_EQ(roundHalfEven(1e30), std::nullopt);
}

TEST(TextRules, ZeroFilledAndRightAlignedTexts) {
    EXPECT_EQ(zeroFilled(17, 4), u"0017");
    EXPECT_EQ(zeroFilled(25831, 6), u"025831");
    EXPECT_EQ(zeroFilled(0, 2), u"00");
    EXPECT_EQ(zeroFilled(12345, 4), u"2345");  // the last four characters
    EXPECT_EQ(zeroFilled(-5, 4), u"9995");
    EXPECT_EQ(rightAligned(u"31.25", 8), u"   31.25");
    EXPECT_EQ(rightAligned(u"", 3), u"   ");
    EXPECT_EQ(rightAligned(u"123456789", 8), u"23456789");
    EXPECT_EQ(rightAligned(u"棄権", 8), u"      棄権");
}

TEST(TextRules, CutsNeverFail) {
    EXPECT_EQ(leftChars(u"abc", 4), u"abc");
    EXPECT_EQ(rightChars(u"abc", 2), u"bc");
    EXPECT_EQ(midChars(u"20100629", 5, 2), u"06");
    EXPECT_EQ(midChars(u"abc", 5, 2), u"");
    EXPECT_EQ(midChars(u"abc", 3, 2), u"c");
}

// Control characters reach a message escaped, from the first (NUL) to the
// last (U+001F) and DEL; a blank, "~" and every other character stay as they are.
TEST(TextRules, VisibleTextEscapesEveryControlCharacter) {
    struct Case {
        std::u16string text;
        std::u16string shown;
    };
    const Case cases[] = {
        {std::u16string(u"\0", 1), u"\\x00"},
        {u"\x1f", u"\\x1f"},
        {u"\x7f", u"\\x7f"},
        {u" ~", u" ~"},
        {u"\x80県\\", u"\x80県\\"},
        {u"a\r\nb", u"a\\x0d\\x0ab"},
    };
    for (const Case& c : cases) EXPECT_EQ(visibleText(c.text), c.shown) << toUtf8(c.shown);
}

TEST(TextRules, Utf8RoundTrip) {
    std::u16string text = u"Z:\\大会\\ｽﾀｰﾄ\U0001F600";
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
    EXPECT_EQ(toUtf8(u"県"), "\xE7\x9C\x8C");
    EXPECT_EQ(fromUtf8("a\xFF"
                       "b"),
              u"a\uFFFDb");
    EXPECT_EQ(fromUtf8("a\xE7\x9C"), u"a\uFFFD\uFFFD");
}

}  // namespace
}  // namespace quendro
