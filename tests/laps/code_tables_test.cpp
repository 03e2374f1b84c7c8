#include "laps/code_tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "laps/meet_swim.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

TEST(CodeTables, TimeTexts) {
    struct Case {
        std::int32_t value;
        std::u16string text;
    };
    const Case cases[] = {
        {0, u""},
        {9, u""},
        {12, u"     .12"},
        {123, u"    1.23"},
        {999, u"    9.99"},
        {1234, u"   12.34"},
        {5999, u"   59.99"},
        {12345, u" 1:23.45"},
        {100000, u"10:00.00"},
        {123456, u"12:34.56"},
        {1234567, u"23:45.67"},  // the leading digit is dropped
        {-1234, u"   12.34"},
        {666666, u"参加"},
        {700001, u"ｽﾀｰﾄ"},
        {700002, u"泳法"},
        {700003, u"折返"},
        {700004, u"ｺﾞｰﾙ"},
        {700005, u"引継"},
        {700006, u"逸脱"},
        {700007, u"途中"},
        {888888, u"棄権"},
        {999999, u"無"},
        {700008, u"70:00.08"},  // not a result code
        {1888888, u"棄権"},     // the last six digits are a result code
        {INT32_MIN, u"48:36.48"},
    };
    for (const Case& c : cases) EXPECT_EQ(chKiro(c.value), c.text) << c.value;
}

TEST(CodeTables, LapsBetweenTwoTimeTexts) {
    struct Case {
        std::u16string later;
        std::u16string earlier;
        std::u16string lap;
    };
    const Case cases[] = {
        {u" 1:05.32", u"   31.25", u"   34.07"},
        {u" 2:10.40", u" 1:05.32", u" 1:05.08"},
        {u"12:00.00", u" 9:59.99", u" 2:00.01"},
        {u"   58.90", u"   28.10", u"   30.80"},
        {u" 2:01.00", u"   58.90", u" 1:02.10"},
        {u"   31.25", u" 1:05.32", u""},  // later sorts first
        {u"   31.25", u"   31.25", u""},
        {u" 1:00.05", u"   59.99", u""},  // 0.06 s is below 10 in packed form
        {u"", u"   31.25", u""},
        {u"   31.25", u"", u"   31.25"},
        {u"棄権", u" 1:05.32", u"棄権"},  // a lap that ends in a result shows the result
        {u"ｺﾞｰﾙ", u"   31.25", u"ｺﾞｰﾙ"},
        {u" 1:05.32", u"泳法", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(chSa(c.later, c.earlier), c.lap);
}

// The lap rule as it was first written: every field read as a number from its
// piece of the text, the packed difference turned into a time text by chKiro.
// The lap routine of the code tables must give the same text for every pair.
std::u16string referenceLap(std::u16string_view later, std::u16string_view earlier) {
    if (isResultText(later)) return std::u16string(later);
    if (isResultText(earlier)) return {};
    if (later < earlier) return {};
    auto field = [](std::u16string_view text, size_t start) {
        return roundHalfEven(numericValue(midChars(text, start, 2))).value_or(0);
    };
    std::int64_t m = field(later, 1), s = field(later, 4), h = field(later, 7);
    std::int64_t em = field(earlier, 1), es = field(earlier, 4), eh = field(earlier, 7);
    if (h < eh) {
        h += 100;
        s -= 1;
    }
    if (s < es) {
        s += 60;
        m -= 1;
    }
    return chKiro(static_cast<std::int32_t>((m - em) * 10000 + (s - es) * 100 + (h - eh)));
}

TEST(CodeTables, LapsAgreeWithTheFieldByFieldRule) {
    // Every two-character field a split time can hold (blanks, leading and
    // trailing, rollovers at 59/60 and 99), in every position of the time text.
    const std::u16string fields[] = {u"  ", u" 0", u" 1", u"1 ", u"05", u"09", u"59", u"60", u"99"};
    std::vector<std::u16string> times;
    for (const auto& m : fields)
        for (const auto& s : fields)
            for (const auto& h : fields) times.push_back(m + u":" + s + u"." + h);
    size_t compared = 0;
    for (const auto& later : times) {
        for (const auto& earlier : times) {
            ASSERT_EQ(chSa(later, earlier), referenceLap(later, earlier))
                << toUtf8(later) << " - " << toUtf8(earlier);
            ++compared;
        }
    }
    EXPECT_EQ(compared, times.size() * times.size());

    // Texts that are not plain split times: blank, short, long, result words,
    // signs, decimal points and stray characters in a field, full-width digits,
    // tabs, and values whose lap reaches the result codes' range.
    const std::u16string odd[] = {
        u"",          u" ",         u"   31.25",  u" 1:05.32",  u"1:05.32",   u" 1:05.3",
        u"99:59.99",  u"00:00.00",  u"  :  .  ",  u"-1:00.00",  u" 1:-5.00",  u" 1:0x.00",
        u" 1:05.3a",  u"１:00.00",  u"\t1:05.32", u" 1:05.325", u"66:66.66",  u"70:00.01",
        u"88:88.88",  u"99:99.99",  u"+1:00.00",  u" .:05.32",  u"1e:00.00",  u"棄権",
        u"ｺﾞｰﾙ",      u"無",        u"参加",      u"泳法",      u"途中",      u"12:34.5",
    };
    for (const auto& a : odd) {
        for (const auto& b : odd) {
            EXPECT_EQ(chSa(a, b), referenceLap(a, b)) << toUtf8(a) << " - " << toUtf8(b);
        }
        for (size_t i = 0; i < times.size(); i += 7) {
            EXPECT_EQ(chSa(a, times[i]), referenceLap(a, times[i])) << toUtf8(a);
            EXPECT_EQ(chSa(times[i], a), referenceLap(times[i], a)) << toUtf8(a);
        }
    }
}

TEST(CodeTables, LapsAcrossMinutesAndNegativeDifferences) {
    struct Case {
        std::u16string later;
        std::u16string earlier;
        std::u16string lap;
    };
    const Case cases[] = {
        {u" 1:00.00", u"   59.99", u""},          // 0.01 s: below 10 in packed form
        {u" 1:00.10", u"   59.99", u"     .11"},  // hundredths and seconds both borrow
        {u"10:00.00", u" 9:00.00", u" 1:00.00"},
        {u"99:59.99", u"00:00.00", u"99:59.99"},
        {u"1 :00.00", u" 9:00.00", u" 8:00.00"},  // "1 " reads as 1: -8 minutes, shown unsigned
        {u" 1:00.00", u" 1:00.00", u""},
        {u"99:99.99", u"   00.00", u"無"},         // a lap whose digits make a result code
        {u" 1:5 .00", u" 1:10.00", u"   45.00"},  // "5 " reads as 5: the lap is -0:45.00
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chSa(c.later, c.earlier), c.lap) << toUtf8(c.later) << " - " << toUtf8(c.earlier);
        EXPECT_EQ(referenceLap(c.later, c.earlier), c.lap) << toUtf8(c.later);
    }
}

TEST(CodeTables, EventStageAndGradeTexts) {
    EXPECT_EQ(chShu(1), u"  25m自由形");
    EXPECT_EQ(chShu(7), u"1500m自由形");
    EXPECT_EQ(chShu(11), u" 200m背泳ぎ");
    EXPECT_EQ(chShu(12), u"  25m平泳ぎ");
    EXPECT_EQ(chShu(19), u" 200mフライ");
    EXPECT_EQ(chShu(22), u" 400m個人メ");
    EXPECT_EQ(chShu(23), u" 100mメドレ");
    EXPECT_EQ(chShu(29), u" 800mリレー");
    for (std::int16_t code = 1; code <= 29; ++code) EXPECT_EQ(chShu(code).size(), 8u) << code;
    EXPECT_EQ(chShu(0), u"");
    EXPECT_EQ(chShu(30), u"");
    EXPECT_EQ(chShu(-1), u"");

    EXPECT_EQ(chMt(u"1"), u"予選");
    EXPECT_EQ(chMt(u"2"), u"決勝");
    EXPECT_EQ(chMt(u"3"), u"準決");
    EXPECT_EQ(chMt(u"4"), u"コン");
    for (std::u16string code : {u"5", u"", u" 1", u"01", u"1 "}) EXPECT_EQ(chMt(code), u"");

    EXPECT_EQ(chGaku(u"33"), u"高3");
    EXPECT_EQ(chGaku(u"21"), u"中1");
    EXPECT_EQ(chGaku(u"16"), u"小6");
    EXPECT_EQ(chGaku(u"44"), u"大4");
    EXPECT_EQ(chGaku(u"123"), u"中3");
    EXPECT_EQ(chGaku(u"3"), u"");
    EXPECT_EQ(chGaku(u""), u"");
    EXPECT_EQ(chGaku(u"53"), u"");
    EXPECT_EQ(chGaku(u"3 "), u"高 ");
}

// A swim's title names the event in full where the eight characters cut it
// short; events that fit keep their text; codes outside the table (0 and 30,
// just past 1 and 29) leave the event out.
TEST(MeetSwimTitle, TheEventByItsFullName) {
    struct Case {
        std::u16string_view line;
        std::u16string title;
    };
    const Case cases[] = {
        {u"0001031010532000104", u"100m自由形 予選 1:05.32"},
        {u"0001212021960000203", u"200m個人メドレー 決勝 2:19.60"},
        {u"0001254041000000301", u"400mメドレーリレー コン 4:10.00"},
        {u"0001283030500000402", u"400mフリーリレー 準決 3:05.00"},
        {u"0001012000000000501", u"25m自由形 決勝"},
        {u"0001292080000000601", u"800mフリーリレー 決勝 8:00.00"},
        {u"0001002010000000701", u"決勝 1:00.00"},
        {u"0001302010000000701", u"決勝 1:00.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(meetSwimOf(c.line).title(), c.title) << toUtf8(c.title);
    }
}

}  // namespace
}  // namespace quendro
