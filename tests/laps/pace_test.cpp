#include "laps/pace.h"

#include <gtest/gtest.h>

#include "laps/heat_places.h"
#include "laps/lap_times.h"
#include "laps/pace_table.h"
#include "laps/swim_compare.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

// A time text as the lap file reader leaves it: right-aligned in eight characters.
std::u16string t(std::u16string_view text) {
    return rightAligned(text, 8);
}

SwimSplits swim(std::vector<std::u16string> splits, std::u16string final, int splitDistance,
                int eventDistance) {
    SwimSplits s;
    for (auto& split : splits) s.recorded.push_back(t(split));
    s.finalTime = final.empty() ? u"" : t(final);
    s.splitDistance = splitDistance;
    s.eventDistance = eventDistance;
    return s;
}

bool hasCheck(const PaceFigures& f, CheckKind kind, int split) {
    for (const auto& c : f.checks) {
        if (c.kind == kind && c.split == split) return true;
    }
    return false;
}

// Each limit of a time text is held from both sides: a row at it and one just past it.
TEST(Pace, TimeTextsInHundredths) {
    struct Case {
        std::u16string text;
        std::optional<int> hundredths;
    };
    const Case cases[] = {
        {u"   31.25", 3125},        {u" 1:05.32", 6532},      {u"12:34.56", 75456},
        {u"     .12", 12},          {u"    9.99", 999},       {u"31.2", 3120},
        {u"1:5.32", 6532},          {u"", std::nullopt},      {u"        ", std::nullopt},
        {u"棄権", std::nullopt},    {u"ｺﾞｰﾙ", std::nullopt},  {u"0.00", std::nullopt},
        {u"1:75.00", std::nullopt}, {u"ab.cd", std::nullopt}, {u":31.25", std::nullopt},
        {u"31.255", std::nullopt},
        // The seconds after a minute end at 59.99: 60 of them are the next minute.
        {u"1:59.99", 11999},        {u"1:60.00", std::nullopt},
        // Without minutes the seconds run on, and the shortest time is one hundredth.
        {u"60.00", 6000},           {u"0.01", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(hundredthsOf(c.text), c.hundredths) << toUtf8(c.text);
    EXPECT_EQ(secondsText(3125), u"31.25");
    EXPECT_EQ(secondsText(6505), u"1:05.05");
    EXPECT_EQ(secondsText(999), u"9.99");
    EXPECT_EQ(differenceText(32), u"+0.32");
    EXPECT_EQ(differenceText(-15), u"\u22120.15");
    EXPECT_EQ(differenceText(-6015, true), u"-1:00.15");
    EXPECT_EQ(differenceText(0), u"0.00");
    EXPECT_EQ(eventDistanceOf(7), 1500);
    EXPECT_EQ(eventDistanceOf(28), 400);
    EXPECT_EQ(eventDistanceOf(0), 0);
}

TEST(Pace, A1500mOf60SplitsAtEveryInterval) {
    // 60 lengths of a 25 m pool: 15.00 s the first, then 16.00, the last 25 m in 14.00.
    std::vector<std::u16string> splits;
    int total = 0;
    for (int k = 0; k < 60; ++k) {
        total += k == 0 ? 1500 : (k == 59 ? 1400 : 1600);
        splits.push_back(secondsText(total));
    }
    SwimSplits s = swim(splits, secondsText(total), 25, 1500);
    ASSERT_EQ(total, 95700);  // 15:57.00

    PaceFigures by25 = paceFigures(s, 1);
    ASSERT_EQ(by25.laps.size(), 60u);
    EXPECT_EQ(by25.step, 1);
    EXPECT_EQ(by25.laps[0].time, 1500);
    EXPECT_EQ(by25.laps[59].endDistance, 1500);
    EXPECT_EQ(by25.marks.fastest, 59u);  // the 14.00 finish
    EXPECT_EQ(by25.marks.slowest, 1u);   // the first of the equal 16.00 laps
    EXPECT_EQ(by25.mean, 1595);    // 95700 / 60
    EXPECT_EQ(by25.laps[1].fromMean, 5);
    EXPECT_TRUE(by25.checks.empty());

    PaceFigures by100 = paceFigures(s, 3);
    ASSERT_EQ(by100.laps.size(), 15u);
    EXPECT_EQ(by100.step, 4);
    EXPECT_EQ(by100.lapDistance, 100);
    EXPECT_EQ(by100.laps[0].time, 1500 + 3 * 1600);
    EXPECT_EQ(by100.laps[14].time, 3 * 1600 + 1400);

    PaceFigures by200 = paceFigures(s, 4);  // 1500 is no multiple of 200: 100 m laps
    EXPECT_EQ(by200.step, 4);
    EXPECT_EQ(paceFigures(s, 0).step, 1);  // the cumulative option shows laps of 25 m

    ASSERT_TRUE(by25.halves);
    EXPECT_EQ(by25.halves->first, 1500 + 29 * 1600);
    EXPECT_EQ(by25.halves->second, 29 * 1600 + 1400);
    EXPECT_EQ(by25.halves->difference, -100);  // a negative split
    EXPECT_NEAR(by25.halves->percent, -100.0 * 100 / 47900, 1e-9);
}

TEST(Pace, AOneEndPoolSplitsEvery50m) {
    // 200 m in a 25 m pool with touchpads at one end: a split every 50 m.
    SwimSplits s = swim({u"28.10", u"58.90", u"1:30.20", u"2:01.00"}, u"2:01.00", 50, 200);
    EXPECT_EQ(paceFigures(s, 1).step, 1);  // 25 m laps cannot be shown: 50 m laps
    PaceFigures by100 = paceFigures(s, 3);
    ASSERT_EQ(by100.laps.size(), 2u);
    EXPECT_EQ(by100.laps[0].time, 5890);
    EXPECT_EQ(by100.laps[1].time, 6210);
    EXPECT_EQ(by100.mean, 6050);
    ASSERT_TRUE(by100.halves);
    EXPECT_EQ(by100.halves->difference, 320);
    // 50 m in the same pool has one split: no halves, one lap.
    PaceFigures fifty = paceFigures(swim({u"29.00"}, u"28.95", 50, 50), 3);
    ASSERT_EQ(fifty.laps.size(), 1u);
    EXPECT_EQ(fifty.laps[0].time, 2895);
    EXPECT_FALSE(fifty.halves);
    EXPECT_TRUE(hasCheck(fifty, CheckKind::LastDiffers, 1));
}

// The mean lap rounds to the nearest hundredth: a mean that falls on a half
// hundredth goes up, one just below it goes down.
TEST(Pace, TheMeanLapRoundsAtTheHalfHundredth) {
    struct Case {
        std::vector<std::u16string> splits;
        int mean;
    };
    const Case cases[] = {
        {{u"30.00", u"1:00.01"}, 3001},             // laps 30.00 and 30.01: 30.005
        {{u"30.00", u"1:00.00", u"1:30.01"}, 3000},  // 30.00, 30.00, 30.01: 30.0033
        {{u"30.00", u"1:00.02", u"1:30.02"}, 3001},  // 30.00, 30.02, 30.00: 30.0067
    };
    for (const Case& c : cases) {
        const int distance = 50 * static_cast<int>(c.splits.size());
        PaceFigures f = paceFigures(swim(c.splits, c.splits.back(), 50, distance), 2);
        ASSERT_EQ(f.laps.size(), c.splits.size());
        EXPECT_EQ(f.mean, c.mean) << toUtf8(c.splits.back());
    }
}

TEST(Pace, ChecksOnTheRecordedSplits) {
    // 200 m at 50 m: the 100 m split missing, the 150 m split not later than
    // the 50 m one, the last split off the official time by 0.05.
    SwimSplits s = swim({u"30.00", u"", u"29.50", u"2:01.05"}, u"2:01.00", 50, 200);
    PaceFigures f = paceFigures(s, 2);
    EXPECT_TRUE(hasCheck(f, CheckKind::Missing, 2));
    EXPECT_TRUE(hasCheck(f, CheckKind::NotLater, 3));
    EXPECT_TRUE(hasCheck(f, CheckKind::LastDiffers, 4));
    EXPECT_FALSE(hasCheck(f, CheckKind::SplitCount, 0));
    EXPECT_EQ(f.laps[1].time, std::nullopt);  // no lap ends at a missing split
    EXPECT_EQ(f.laps[2].time, std::nullopt);  // nor starts at one
    EXPECT_EQ(f.laps[3].time, 12100 - 2950);  // ends at the official time
    EXPECT_EQ(f.mean, 6075);                  // over the laps that have a time
    EXPECT_FALSE(f.halves);                   // no halfway split

    // A split short: the lap file stopped at 150 m of a 200 m. The final time
    // stands at 200 m, so the halves are there.
    PaceFigures shortOne =
        paceFigures(swim({u"30.00", u"1:02.00", u"1:35.00"}, u"2:08.00", 50, 200), 2);
    EXPECT_TRUE(hasCheck(shortOne, CheckKind::SplitCount, 0));
    ASSERT_TRUE(shortOne.halves);
    EXPECT_EQ(shortOne.laps[3].time, 12800 - 9500);
    EXPECT_EQ(shortOne.checks.front().text, u"通過記録が 3 本です（200m は 4 本）");
}

TEST(Pace, ASwimEndingInAResultWord) {
    // Disqualified for the stroke: the splits stay as timed, no halves.
    SwimSplits s = swim({u"30.00", u"1:03.00"}, u"泳法", 50, 100);
    s.finalTime = u"泳法";
    auto cumulative = cumulativeHundredths(s);
    EXPECT_EQ(cumulative.back(), 6300);
    PaceFigures f = paceFigures(s, 2);
    EXPECT_TRUE(hasCheck(f, CheckKind::ResultWord, 0));
    EXPECT_FALSE(hasCheck(f, CheckKind::LastDiffers, 2));
    EXPECT_FALSE(f.halves);
    EXPECT_EQ(f.laps[1].time, 3300);
    // No splits at all (a withdrawal): nothing to show, nothing breaks.
    PaceFigures none = paceFigures(swim({}, u"", 50, 100), 2);
    EXPECT_TRUE(none.laps.empty());
    EXPECT_FALSE(none.mean);
    EXPECT_FALSE(none.marks.fastest);
}

TEST(Pace, SplitsPerLapNarrowsToTheSwim) {
    EXPECT_EQ(splitsPerLap(4, 25, 8), 8);
    EXPECT_EQ(splitsPerLap(4, 25, 4), 4);  // 100 m of a 25 m pool at 200 m laps
    EXPECT_EQ(splitsPerLap(4, 25, 2), 2);
    EXPECT_EQ(splitsPerLap(3, 25, 6), 2);   // 150 m: no 100 m laps
    EXPECT_EQ(splitsPerLap(3, 100, 4), 1);  // as long as a split
    EXPECT_EQ(splitsPerLap(1, 50, 4), 1);   // shorter than a split
    EXPECT_EQ(splitsPerLap(0, 50, 4), 1);
}

// The laps at the lap option's interval, from splits as time texts: each limit
// held by a row at it and one just past it.
TEST(LapTimes, TheSplitLessTheSplitOneIntervalBefore) {
    const std::optional<int> none;
    const struct {
        std::vector<std::u16string> splits;
        int lapIndex;  // at 50 m splits
        std::vector<std::optional<int>> laps;
    } cases[] = {
        {{u"31.25"}, 2, {3125}},               // the first lap runs from the start
        {{u"31.25", u"1:05.32"}, 3, {6532}},  // and so does a first lap of two splits
        {{u"31.25", u"", u"1:40.00"}, 2, {3125, none, none}},  // a blank split
        {{u"31.25", u"1:05.32", u"棄権"}, 2, {3125, 3407, none}},
        {{u"棄権", u"1:05.32"}, 2, {none, none}},
        {{u"31.25", u"1:05.32"}, 1, {3125, 3407}},                 // 25 m laps: one split
        {{u"31.25", u"1:05.32", u"1:40.00"}, 3, {3125, 3407, 3468}},  // 100 m laps of 150 m
        {{u"9:59.99", u"10:00.00"}, 2, {59999, 1}},
        {{u"10:00.00", u"10:00.00", u"9:59.99"}, 2, {60000, none, none}},  // not later
    };
    for (const auto& c : cases) {
        std::vector<std::optional<int>> cumulative;
        for (const auto& split : c.splits) cumulative.push_back(hundredthsOf(split));
        const int step = splitsPerLap(c.lapIndex, 50, static_cast<int>(cumulative.size()));
        EXPECT_EQ(lapTimes(cumulative, static_cast<size_t>(step)), c.laps)
            << toUtf8(c.splits.back());
    }
}

TEST(SwimCompare, DifferencesAtEverySplitAndLap) {
    SwimSplits mine = swim({u"30.90", u"1:03.88"}, u"1:03.88", 50, 100);
    SwimSplits theirs = swim({u"30.58", u"1:04.03"}, u"1:04.03", 50, 100);
    SwimComparison c = compareSwims(mine, theirs, 2);
    EXPECT_EQ(c.atSplit, (std::vector<std::optional<int>>{32, -15}));
    EXPECT_EQ(c.atLap, (std::vector<std::optional<int>>{32, -47}));
    EXPECT_TRUE(sameDistance(mine, theirs));
    EXPECT_FALSE(sameDistance(mine, swim({u"30.00"}, u"30.00", 50, 50)));

    PaceTable table = paceTable(mine, &theirs, 2);
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0][6], u"+0.32");
    EXPECT_EQ(table.rows[1][6], u"\u22120.15");
    // Two laps: the first stands apart, and one lap after it is no fastest.
    EXPECT_EQ(table.startRow, 0);
    EXPECT_EQ(table.fastestRow, -1);
    EXPECT_EQ(table.slowestRow, -1);
    EXPECT_EQ(tabSeparated(paceTable(mine, &theirs, 2, true)),
              u"距離\t通過\tラップ\t平均との差\t比較 通過\t比較 ラップ\t通過の差\tラップの差\n"
              u"50m\t30.90\t30.90\t-1.04\t30.58\t30.58\t+0.32\t+0.32\n"
              u"100m\t1:03.88\t32.98\t+1.04\t1:04.03\t33.45\t-0.15\t-0.47\n");
    // A compared swim whose lap file stopped after 50 m: its 50 m split stays
    // the time at 50 m, and its final time stands at 100 m.
    SwimSplits shortOne = swim({u"31.00"}, u"1:05.00", 50, 100);
    SwimComparison partial = compareSwims(mine, shortOne, 2);
    EXPECT_EQ(partial.atSplit, (std::vector<std::optional<int>>{-10, 6388 - 6500}));
    EXPECT_EQ(partial.atLap, (std::vector<std::optional<int>>{-10, 3298 - 3400}));
}

// Two swims compare only over one event distance, and a lap compares only when
// it has a time on both sides: each held at its limit and just past it.
TEST(SwimCompare, TheLimitsOfAComparison) {
    // An event whose distance is not known (0) is no distance to share.
    EXPECT_FALSE(
        sameDistance(swim({u"30.00"}, u"30.00", 50, 0), swim({u"30.10"}, u"30.10", 50, 0)));
    EXPECT_TRUE(
        sameDistance(swim({u"30.00"}, u"30.00", 50, 50), swim({u"30.10"}, u"30.10", 50, 50)));

    // Two equal splits make a lap of no length: no difference at that lap. A
    // lap of one hundredth is a lap.
    SwimSplits theirs = swim({u"30.00", u"1:03.00", u"1:36.00"}, u"1:36.00", 50, 150);
    SwimSplits still = swim({u"31.00", u"31.00", u"1:35.00"}, u"1:35.00", 50, 150);
    SwimSplits barely = swim({u"31.00", u"31.01", u"1:35.00"}, u"1:35.00", 50, 150);
    EXPECT_EQ(compareSwims(still, theirs, 2).atLap,
              (std::vector<std::optional<int>>{100, std::nullopt, 6400 - 3300}));
    EXPECT_EQ(compareSwims(barely, theirs, 2).atLap,
              (std::vector<std::optional<int>>{100, 1 - 3300, 6399 - 3300}));
}

TEST(PaceSummary, HalvesFastestSlowestAndChecks) {
    PaceFigures f = paceFigures(swim({u"30.90", u"1:03.88"}, u"1:03.88", 50, 100), 2);
    auto lines = paceSummary(f);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], u"平均ラップ 31.94（50m × 2）");
    // 100 m in two laps: the first half is the start's lap alone, nothing like
    // to judge it against, so the halves stand without a verdict.
    EXPECT_EQ(lines[1], u"前半 30.90 / 後半 32.98（+2.08、+6.7%）");
    EXPECT_EQ(lines[2], u"第1ラップ 30.90（スタート込み。2本目以降の平均 32.98 との差 −2.08）");
}

TEST(HeatPlaces, PlacesWithTiesAndLanesThatStop) {
    EXPECT_EQ(placesAt({3000, 2990, 3000, std::nullopt, 3100}),
              (std::vector<std::optional<int>>{2, 1, 2, std::nullopt, 4}));
    EXPECT_EQ(placesAt({}), (std::vector<std::optional<int>>{}));
    // Four lanes over 100 m at 50 m: two share the lead at 50 m; lane 3 has no
    // 50 m split; lane 4 stops after 50 m.
    HeatPlaces h = heatPlaces({{3000, 6300}, {3000, 6250}, {std::nullopt, 6250}, {3100}});
    EXPECT_EQ(h.splits, 2);
    EXPECT_EQ(h.places[0], (std::vector<std::optional<int>>{1, 3}));
    EXPECT_EQ(h.places[1], (std::vector<std::optional<int>>{1, 1}));
    EXPECT_EQ(h.places[2], (std::vector<std::optional<int>>{std::nullopt, 1}));
    EXPECT_EQ(h.places[3], (std::vector<std::optional<int>>{3, std::nullopt}));
    EXPECT_EQ(h.leads[0], (std::vector<bool>{true, false}));
    EXPECT_EQ(h.leads[2], (std::vector<bool>{false, true}));
    EXPECT_EQ(h.leads[3], (std::vector<bool>{false, false}));
}

}  // namespace
}  // namespace quendro
