// The official final time among a lane's splits: over the last split read, or,
// when the lap file stopped short of the event's distance, at that distance.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "laps/code_tables.h"
#include "laps/lap_grid.h"
#include "laps/pace.h"
#include "laps/swim_splits.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

// Lap file records of lane 3 in the three-field layout, as bytes: each time,
// with "G" on the last when goal, and a record of lane 4 between them.
std::string laneRecords(const std::vector<std::string>& times, bool goal) {
    std::string bytes;
    for (size_t i = 0; i < times.size(); ++i) {
        bytes += "3," + times[i] + "," + (goal && i + 1 == times.size() ? "G" : "") + "\r\n";
        bytes += "4,59.99,\r\n";
    }
    return bytes;
}

// n cumulative times, 30.00 s a length from 30.00 s on.
std::vector<std::string> lengths(int n) {
    std::vector<std::string> times;
    for (int k = 1; k <= n; ++k) times.push_back(toUtf8(secondsText(3000 * k)));
    return times;
}

std::u16string t(std::u16string_view text) {
    return rightAligned(text, 8);
}

struct Row {
    const char* what;
    std::vector<std::string> times;
    bool goal;
    std::u16string finalTime;
    int eventDistance;
    int splitDistance;
    int count;                          // splits after
    std::vector<std::u16string> shown;  // the first splits after, in order
    FinalPlace place;
};

TEST(FinalSplit, TheFinalTimeAtItsOwnDistanceOrOverTheLastSplit) {
    const std::u16string fin = t(u"2:14.06");
    const Row rows[] = {
        {"200 m stopped after 50 m", {"31.00"}, false, fin, 200, 50, 4,
         {t(u"31.00"), u"", u"", fin}, FinalPlace::AtDistance},
        {"200 m stopped after 50 m, whose 50 m carried G", {"31.00"}, true, fin, 200, 50, 4,
         {u"", u"", u"", fin}, FinalPlace::AtDistance},
        {"200 m breaststroke cut after 175 m",
         {"15.10", "33.20", "51.40", "1:09.80", "1:28.10", "1:46.50", "2:05.00"}, false,
         t(u"2:23.60"), eventDistanceOf(15), 25, 8,
         {t(u"15.10"), t(u"33.20"), t(u"51.40"), t(u"1:09.80"), t(u"1:28.10"), t(u"1:46.50"),
          t(u"2:05.00"), t(u"2:23.60")},
         FinalPlace::AtDistance},
        {"exactly n splits", {"31.00", "1:05.00", "1:40.00", "2:14.00"}, true, fin, 200, 50, 4,
         {t(u"31.00"), t(u"1:05.00"), t(u"1:40.00"), fin}, FinalPlace::OverLast},
        {"n - 1 splits", {"31.00", "1:05.00", "1:40.00"}, false, fin, 200, 50, 4,
         {t(u"31.00"), t(u"1:05.00"), t(u"1:40.00"), fin}, FinalPlace::AtDistance},
        {"n - 1 splits, the last with G", {"31.00", "1:05.00", "2:14.00"}, true, fin, 200, 50, 4,
         {t(u"31.00"), t(u"1:05.00"), u"", fin}, FinalPlace::AtDistance},
        {"a distance the split distance does not divide", {"31.00"}, false, fin, 100, 200, 1,
         {fin}, FinalPlace::OverLast},
        {"25 m at a 50 m split distance", {"14.00"}, false, t(u"14.20"), 25, 50, 1,
         {t(u"14.20")}, FinalPlace::OverLast},
        {"a relay: 400 m is the whole relay, 8 splits at 50 m", {"28.00", "58.00", "1:27.00"},
         false, t(u"3:58.00"), eventDistanceOf(28), 50, 8,
         {t(u"28.00"), t(u"58.00"), t(u"1:27.00"), u"", u"", u"", u"", t(u"3:58.00")},
         FinalPlace::AtDistance},
        {"a result word, 途中", {"31.00"}, false, u"途中", 200, 50, 1, {u"途中"},
         FinalPlace::OverLast},
        {"a result word, 棄権", {"31.00", "1:05.00"}, true, u"棄権", 200, 50, 2,
         {t(u"31.00"), u"棄権"}, FinalPlace::OverLast},
        {"no final time yet", {"31.00"}, true, u"", 200, 50, 1, {t(u"31.00")}, FinalPlace::None},
        {"a blank final time", {"31.00"}, false, u"        ", 200, 50, 1, {t(u"31.00")},
         FinalPlace::None},
        {"no split read", {}, false, fin, 200, 50, 0, {}, FinalPlace::None},
        {"an unknown event", {"31.00"}, false, fin, 0, 50, 1, {fin}, FinalPlace::OverLast},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::u16string text = decodeShiftJis(laneRecords(row.times, row.goal));
        GridSplits grid =
            swimSplitsOf(text, 3, false, row.finalTime, row.eventDistance, row.splitDistance);
        EXPECT_EQ(grid.count, row.count);
        for (size_t i = 0; i < 60; ++i)
            EXPECT_EQ(grid.times[i], i < row.shown.size() ? row.shown[i] : u"") << "split " << i + 1;
        EXPECT_EQ(placeOfFinal(static_cast<int>(row.times.size()), row.goal, row.finalTime,
                               row.eventDistance, row.splitDistance)
                      .place,
                  row.place);
    }
}

TEST(FinalSplit, SixtySplitsAreTheMostTheRuleMoves) {
    EXPECT_EQ(splitsOfDistance(1500, 25), 60);  // the longest swim at the shortest split
    EXPECT_EQ(splitsOfDistance(1525, 25), 0);   // 61: beyond the grid
    EXPECT_EQ(splitsOfDistance(200, 50), 4);
    EXPECT_EQ(splitsOfDistance(100, 200), 0);
    EXPECT_EQ(splitsOfDistance(0, 50), 0);
    EXPECT_EQ(splitsOfDistance(200, 0), 0);

    const std::u16string fin = t(u"15:57.00");
    // 1500 m at 25 m, 59 splits read: the final goes to the 60th.
    const std::u16string held = decodeShiftJis(laneRecords(lengths(59), false));
    GridSplits at60 = swimSplitsOf(held, 3, false, fin, 1500, 25);
    EXPECT_EQ(at60.count, 60);
    EXPECT_EQ(at60.times[58], t(u"29:30.00"));
    EXPECT_EQ(at60.times[59], fin);
    // A distance needing 61 splits keeps the final over the last split read.
    GridSplits at61 = swimSplitsOf(held, 3, false, fin, 1525, 25);
    EXPECT_EQ(at61.count, 59);
    EXPECT_EQ(at61.times[58], fin);
    EXPECT_EQ(at61.times[59], u"");
}

TEST(FinalSplit, ALapFromAnEmptySplitIsEmpty) {
    struct Case {
        std::u16string later, earlier, lap;
    };
    const Case cases[] = {
        {t(u"2:14.06"), u"", u""},                    // the split before was never reached
        {t(u"2:14.06"), t(u"1:40.00"), t(u"34.06")},  // as chSa forms it
        {u"", t(u"31.00"), u""},
        {u"棄権", t(u"31.00"), u"棄権"},
        {t(u"31.00"), u"        ", t(u"31.00")},  // a blank time in the file is no empty split
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitLap(c.later, c.earlier), c.lap) << toUtf8(c.later) << toUtf8(c.earlier);
        EXPECT_EQ(splitLapText(c.later, c.earlier).view(), c.lap);
    }
    // The grid: no lap is measured from the start in place of an empty split.
    SplitTexts splits;
    splits[0] = t(u"31.00");
    splits[3] = t(u"2:14.06");
    SplitTexts by50 = lapCells(2, 50, splits);
    EXPECT_EQ(by50[0], t(u"31.00"));
    for (size_t i = 1; i < 60; ++i) EXPECT_EQ(by50[i], u"") << i;
    SplitTexts by100 = lapCells(3, 50, splits);
    EXPECT_EQ(by100[1], u"");
    EXPECT_EQ(by100[3], u"");
    // 200 m laps end at the finish and start at the start: the lap is the time.
    EXPECT_EQ(lapCells(4, 50, splits)[3], t(u"2:14.06"));
}

TEST(FinalSplit, TheAnalysisPlacesTheFinalAsTheGridDoes) {
    SwimSplits swim;
    swim.recorded = {t(u"31.00")};
    swim.finalTime = t(u"2:14.06");
    swim.splitDistance = 50;
    swim.eventDistance = 200;
    auto cumulative = cumulativeHundredths(swim);
    ASSERT_EQ(cumulative.size(), 4u);
    EXPECT_EQ(cumulative[0], 3100);
    EXPECT_EQ(cumulative[1], std::nullopt);
    EXPECT_EQ(cumulative[3], 13406);
    PaceFigures figures = paceFigures(swim, 2);
    ASSERT_EQ(figures.laps.size(), 4u);
    EXPECT_EQ(figures.laps[0].time, 3100);
    EXPECT_EQ(figures.laps[3].time, std::nullopt);  // from an empty split: no lap
    EXPECT_FALSE(figures.halves);
    // The 50 m split and the 200 m final are no disagreement.
    bool lastDiffers = false;
    for (const Check& c : figures.checks) lastDiffers |= c.kind == CheckKind::LastDiffers;
    EXPECT_FALSE(lastDiffers);

    swim.goal = true;  // the 50 m record was the finish: it leaves its place
    cumulative = cumulativeHundredths(swim);
    ASSERT_EQ(cumulative.size(), 4u);
    EXPECT_EQ(cumulative[0], std::nullopt);
    EXPECT_EQ(cumulative[3], 13406);

    swim.finalTime = u"棄権";  // a result word: the splits stay as timed
    cumulative = cumulativeHundredths(swim);
    ASSERT_EQ(cumulative.size(), 1u);
    EXPECT_EQ(cumulative[0], 3100);
}

}  // namespace
}  // namespace quendro
