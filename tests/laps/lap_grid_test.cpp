#include "laps/lap_grid.h"

#include <gtest/gtest.h>

namespace quendro {
namespace {

SplitTexts splits(std::initializer_list<std::u16string> texts) {
    SplitTexts all;
    size_t i = 0;
    for (const auto& t : texts) all[i++] = t;
    return all;
}

TEST(LapGrid, SplitDistanceAndLapOptions) {
    EXPECT_EQ(splitDistanceFor(0, 0), 25);
    EXPECT_EQ(splitDistanceFor(0, 1), 50);
    EXPECT_EQ(splitDistanceFor(1, 0), 50);
    EXPECT_EQ(splitDistanceFor(1, 1), 100);
    EXPECT_EQ(splitDistanceFor(2, 0), 100);
    EXPECT_EQ(splitDistanceFor(2, 1), 200);
    EXPECT_EQ(splitDistanceFor(3, 0), std::nullopt);
    EXPECT_EQ(splitDistanceFor(0, 2), std::nullopt);
    EXPECT_EQ(lapOptionsEnabled(25), (std::array<bool, 5>{true, true, true, true, true}));
    EXPECT_EQ(lapOptionsEnabled(50), (std::array<bool, 5>{true, false, true, true, true}));
    EXPECT_EQ(lapOptionsEnabled(100), (std::array<bool, 5>{true, false, false, true, true}));
    EXPECT_EQ(lapOptionsEnabled(200), (std::array<bool, 5>{true, false, false, false, true}));
}

TEST(LapGrid, DistanceCaptions) {
    SplitTexts fifty = distanceCaptions(50);
    EXPECT_EQ(fifty[0], u" 50m");
    EXPECT_EQ(fifty[29], u" 1500m");
    EXPECT_EQ(fifty[30], u"");
    SplitTexts two = distanceCaptions(200);
    EXPECT_EQ(two[0], u" 200m");
    EXPECT_EQ(two[6], u" 1400m");
    EXPECT_EQ(two[7], u"");
    SplitTexts quarter = distanceCaptions(25);
    EXPECT_EQ(quarter[0], u" 25m");
    EXPECT_EQ(quarter[59], u" 1500m");
}

TEST(LapGrid, CumulativeAndLapTimes) {
    const SplitTexts by50 = splits({u"   28.10", u"   58.90", u" 1:30.20", u" 2:01.00"});
    struct Case {
        std::int16_t lapIndex;
        std::int16_t splitDistance;
        SplitTexts splitTimes;
        SplitTexts cells;
    };
    const Case cases[] = {
        {0, 50, by50, by50},
        {2, 50, by50, splits({u"   28.10", u"   30.80", u"   31.30", u"   30.80"})},
        {3, 50, by50, splits({u"", u"   58.90", u"", u" 1:02.10"})},
        {4, 50, by50, splits({u"", u"", u"", u" 2:01.00"})},
        {1, 50, by50, SplitTexts{}},
        {3, 25,
         splits({u"   13.50", u"   28.10", u"   43.00", u"   58.90", u" 1:14.40", u" 1:30.20",
                 u" 1:45.70", u" 2:01.00"}),
         splits({u"", u"", u"", u"   58.90", u"", u"", u"", u" 1:02.10"})},
        {4, 25,
         splits({u"   13.50", u"   28.10", u"   43.00", u"   58.90", u" 1:14.40", u" 1:30.20",
                 u" 1:45.70", u" 2:01.00"}),
         splits({u"", u"", u"", u"", u"", u"", u"", u" 2:01.00"})},
        {4, 200, splits({u" 2:01.00"}), splits({u" 2:01.00"})},
        {3, 200, splits({u" 2:01.00"}), SplitTexts{}},
        // A swim that ended in a result word shows it in its last lap.
        {2, 50, splits({u"   28.10", u"棄権"}), splits({u"   28.10", u"棄権"})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lapCells(c.lapIndex, c.splitDistance, c.splitTimes), c.cells);
        // Handed to a grid one by one: every cell once, in order, the same text.
        size_t next = 0;
        putLapCells(c.lapIndex, c.splitDistance, c.splitTimes,
                    [&](size_t cell, std::u16string_view text) {
                        ASSERT_EQ(cell, next);
                        EXPECT_EQ(std::u16string(text), c.cells[cell]) << cell;
                        ++next;
                    });
        EXPECT_EQ(next, 60u);
    }
}

}  // namespace
}  // namespace quendro
