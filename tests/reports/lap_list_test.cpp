#include "reports/lap_list.h"

#include <gtest/gtest.h>

#include "platform/text_rules.h"
#include "tests/support/grid_printer.h"

namespace quendro {
namespace {

using test::GridPrinter;

std::array<std::u16string, 60> timesFrom(int count) {
    std::array<std::u16string, 60> splits;
    for (int k = 0; k < count; ++k)
        splits[static_cast<size_t>(k)] = rightAligned(decimalText(20 + k) + u".00", 8);
    return splits;
}

std::vector<std::u16string> printedSwim(int splitCount,
                                        const std::array<std::u16string, 60>& splits) {
    GridPrinter printer;
    printSwim(printer, u" 100m自由形 予選  1:05.32", splits, splitCount);
    printer.endDoc();
    return printer.documents.at(0);
}

TEST(LapList, NumberItems) {
    EXPECT_EQ(numberItem(15), u" 15 ");
    EXPECT_EQ(numberItem(7), u" 7 ");
    EXPECT_EQ(numberItem(0), u" 0 ");
    EXPECT_EQ(numberItem(-3), u"-3 ");
    EXPECT_EQ(numberItem(-32768), u"-32768 ");
}

TEST(LapList, SwimsOfNoneOneEightNineAndSixtySplits) {
    // The row text from X = 750 (column 7) begins with the blank of " 100m".
    const std::u16string text = u"        100m自由形 予選  1:05.32";
    EXPECT_EQ(printedSwim(0, timesFrom(0)), (std::vector<std::u16string>{text, u""}));
    EXPECT_EQ(printedSwim(1, timesFrom(1)), (std::vector<std::u16string>{text, u""}));

    auto eight = printedSwim(8, timesFrom(8));
    ASSERT_EQ(eight.size(), 3u);
    // Each split is a blank, eight characters and a blank: ten columns.
    EXPECT_EQ(
        eight[0],
        text + u"    20.00     21.00     22.00     23.00     24.00     25.00     26.00     27.00");
    EXPECT_EQ(eight[1],
              std::u16string(42, u' ') +
                  u"(    1.00)(    1.00)(    1.00)(    1.00)(    1.00)(    1.00)(    1.00)");

    auto nine = printedSwim(9, timesFrom(9));
    ASSERT_EQ(nine.size(), 5u);
    EXPECT_EQ(nine[2], std::u16string(32, u' ') + u"    28.00");
    EXPECT_EQ(nine[3], std::u16string(32, u' ') + u"(    1.00)");
    EXPECT_EQ(nine[4], u"");

    auto sixty = printedSwim(60, timesFrom(60));
    ASSERT_EQ(sixty.size(), 17u);  // eight blocks of two lines and the blank line
    EXPECT_EQ(sixty[14], std::u16string(32, u' ') + u"    76.00     77.00     78.00     79.00");

    // A lap that cannot be formed prints as the parentheses alone and the next
    // laps of the line move left.
    auto splits = timesFrom(3);
    splits[1] = u"   19.99";
    auto shifted = printedSwim(3, splits);
    EXPECT_EQ(shifted[1], std::u16string(42, u' ') + u"()(    2.01)");
}

TEST(LapList, HeaderAndCompetitorLine) {
    GridPrinter printer;
    LapListHeader header{u"2026/07/25", u"9:05:00",    u"県選手権", u"プール",
                         u"2026/07/25", u"2026/07/26", u"12",       {}};
    header.distanceCaptions = {u" 200m",  u" 400m",  u" 600m",  u" 800m",
                               u" 1000m", u" 1200m", u" 1400m", u""};
    printLapListHeader(printer, header);
    printCompetitorLine(printer, CompetitorRecord{u"1201          ", u"ABC             ",
                                                  u"CLUB        ", u"9 ", 7});
    printer.endDoc();
    const auto& lines = printer.documents.at(0);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(printer.topTwips_, 500);
    EXPECT_EQ(lines[0], std::u16string(80, u' ') + u"2026/07/25  9:05:00");
    EXPECT_EQ(lines[5], std::u16string(87, u' ') + u"2026/07/26");  // under the first day
    EXPECT_EQ(lines[7], u"");
    EXPECT_EQ(lines[8], u"  " + std::u16string(110, u'-'));
    // The eighth heading is nine blanks: 200 m splits reach 1400 m in seven.
    EXPECT_EQ(lines[9],
              std::u16string(32, u' ') +
                  u"      200m      400m      600m      800m     1000m     1200m     1400m");
    // An unknown grade leaves the number and the two blanks after it.
    EXPECT_EQ(lines[10], u"  ABC" + std::u16string(13, u' ') + u"7" + std::u16string(8, u' ') +
                             u"CLUB" + std::u16string(66, u' ') + u"1201");
}

}  // namespace
}  // namespace quendro
