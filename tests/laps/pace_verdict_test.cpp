// Fade and negative split judged like with like: the first lap, which holds
// the start's dive, is left out of the first half, and out of the fastest and
// slowest lap.
#include <gtest/gtest.h>

#include "laps/lap_marks.h"
#include "laps/pace.h"
#include "laps/pace_table.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

SwimSplits swimOf(std::vector<std::u16string> splits, int splitDistance, int eventDistance) {
    SwimSplits s;
    for (auto& split : splits) s.recorded.push_back(rightAligned(split, 8));
    s.finalTime = s.recorded.empty() ? u"" : s.recorded.back();
    s.splitDistance = splitDistance;
    s.eventDistance = eventDistance;
    return s;
}

TEST(PaceVerdict, OnePerCentEitherWayOfTheFirstHalfsMeanLap) {
    struct Case {
        int firstTime, firstLaps, secondTime, secondLaps;
        PaceVerdict verdict;
    };
    const Case cases[] = {
        {3000, 1, 3030, 1, PaceVerdict::Fade},           // exactly 1 % slower
        {3000, 1, 3029, 1, PaceVerdict::Even},           // just under it
        {3000, 1, 2970, 1, PaceVerdict::NegativeSplit},  // exactly 1 % faster
        {3000, 1, 2971, 1, PaceVerdict::Even},           // just under it
        {3000, 1, 3000, 1, PaceVerdict::Even},
        {6000, 2, 9090, 3, PaceVerdict::Fade},  // mean laps 30.00 and 30.30
        {6000, 2, 9089, 3, PaceVerdict::Even},
        {6000, 2, 8910, 3, PaceVerdict::NegativeSplit},  // 29.70
        {6000, 2, 8911, 3, PaceVerdict::Even},
        {0, 0, 3100, 1, PaceVerdict::None},  // the first half is the first lap alone
        {3000, 1, 0, 1, PaceVerdict::None},
        {3000, 1, 3100, 0, PaceVerdict::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(paceVerdict(c.firstTime, c.firstLaps, c.secondTime, c.secondLaps), c.verdict)
            << c.firstTime << "/" << c.firstLaps << " " << c.secondTime << "/" << c.secondLaps;
    }
}

TEST(PaceVerdict, TheStartsLapIsLeftOutOfTheFirstHalf) {
    struct Case {
        const char* what;
        SwimSplits swim;
        PaceVerdict verdict;
        std::optional<int> firstPace, secondPace;
    };
    const Case cases[] = {
        // Every 50 m was a fade by its dive; now there is nothing like to compare.
        {"50 m in a 25 m pool", swimOf({u"13.50", u"29.00"}, 25, 50), PaceVerdict::None, {}, {}},
        {"100 m in two laps", swimOf({u"30.90", u"1:03.88"}, 50, 100), PaceVerdict::None, {}, {}},
        // Laps of 14.00, 16.00, 16.00, 16.00: even once the dive is left out.
        {"100 m in a 25 m pool", swimOf({u"14.00", u"30.00", u"46.00", u"1:02.00"}, 25, 100),
         PaceVerdict::Even, 1600, 1600},
        // 200 m at 50 m: laps after the first 31.00, second half 31.31 a lap (+1 %).
        {"200 m, exactly 1 % slower", swimOf({u"28.00", u"59.00", u"1:30.31", u"2:01.62"}, 50, 200),
         PaceVerdict::Fade, 3100, 3131},
        {"200 m, just under 1 % slower",
         swimOf({u"28.00", u"59.00", u"1:30.31", u"2:01.61"}, 50, 200), PaceVerdict::Even, 3100,
         3131},
        {"200 m, exactly 1 % faster", swimOf({u"28.00", u"59.00", u"1:29.69", u"2:00.38"}, 50, 200),
         PaceVerdict::NegativeSplit, 3100, 3069},
        {"200 m, just under 1 % faster",
         swimOf({u"28.00", u"59.00", u"1:29.69", u"2:00.39"}, 50, 200), PaceVerdict::Even, 3100,
         3070},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PaceFigures f = paceFigures(c.swim, 2);
        ASSERT_TRUE(f.halves);
        EXPECT_EQ(f.halves->verdict, c.verdict);
        EXPECT_EQ(f.halves->firstPace, c.firstPace);
        EXPECT_EQ(f.halves->secondPace, c.secondPace);
    }
}

TEST(LapMarks, TheFirstLapStandsApartFromTheFastestAndSlowest) {
    const std::optional<int> none;
    struct Case {
        const char* what;
        std::vector<std::optional<int>> laps;
        LapMarking marking;
        std::optional<size_t> fastest, slowest;
        std::optional<int> start, laterMean;
    };
    const Case cases[] = {
        {"one lap", {2895}, LapMarking::TooFewLaps, {}, {}, 2895, {}},
        {"two laps: one after the first", {3090, 3298}, LapMarking::TooFewLaps, {}, {}, 3090, 3298},
        {"three laps: two after the first", {2800, 3100, 3150}, LapMarking::Marked, 1, 2, 2800, 3125},
        {"equal laps after the first", {2800, 3100, 3100, 3100}, LapMarking::AllEqual, {}, {}, 2800,
         3100},
        {"one hundredth apart; of equal the earlier", {2800, 3100, 3101, 3100}, LapMarking::Marked,
         1, 2, 2800, 3100},
        {"the first fastest by its dive", {2800, 3100, 3050, 3200}, LapMarking::Marked, 2, 3, 2800,
         3117},
        {"a lap missing in the middle", {2800, 3100, none, 3050, 3170}, LapMarking::Marked, 3, 4,
         2800, 3107},
        {"the first lap missing", {none, none, 3100, 3050}, LapMarking::Marked, 3, 2, {}, {}},
        {"no laps", {}, LapMarking::TooFewLaps, {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LapMarks marks = lapMarks(c.laps);
        EXPECT_EQ(marks.marking, c.marking);
        EXPECT_EQ(marks.fastest, c.fastest);
        EXPECT_EQ(marks.slowest, c.slowest);
        ASSERT_EQ(marks.start.has_value(), c.start.has_value());
        if (!marks.start) continue;
        EXPECT_EQ(marks.start->time, *c.start);
        EXPECT_EQ(marks.start->laterMean, c.laterMean);
        EXPECT_EQ(marks.start->allowance,
                  c.laterMean ? std::optional<int>(*c.start - *c.laterMean) : std::nullopt);
    }
}

TEST(PaceVerdict, TheSummarySaysTheVerdictAndTheWindowHowItIsJudged) {
    auto fade = paceSummary(paceFigures(swimOf({u"28.00", u"59.00", u"1:30.31", u"2:01.62"}, 50, 200), 2));
    ASSERT_EQ(fade.size(), 5u);
    EXPECT_EQ(fade[1], u"前半 59.00 / 後半 1:02.62（+3.62、+6.1%）");
    EXPECT_EQ(fade[2], u"後半の落ち込み（平均ラップ 前半 31.00 / 後半 31.31）");
    EXPECT_EQ(fade[3], u"第1ラップ 28.00（スタート込み。2本目以降の平均 31.21 との差 −3.21）");
    EXPECT_EQ(fade[4], u"最速 100m 31.00 / 最遅 150m 31.31（第1ラップを除く）");
    auto fifty = paceSummary(paceFigures(swimOf({u"13.50", u"29.00"}, 25, 50), 1));
    for (const auto& line : fifty) {
        EXPECT_EQ(line.find(u"落ち込み"), std::u16string::npos) << toUtf8(line);
        EXPECT_EQ(line.find(u"ネガティブ"), std::u16string::npos) << toUtf8(line);
    }
    EXPECT_EQ(paceRuleText(),
              u"前半・後半の比較は第1ラップ（スタート）を除いた平均ラップで判定（差が 1% "
              u"未満はイーブンペース）");
}

}  // namespace
}  // namespace quendro
