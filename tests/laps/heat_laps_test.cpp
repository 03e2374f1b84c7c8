#include "laps/heat_laps.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "laps/report_laps.h"
#include "laps/swim_splits.h"

namespace quendro {
namespace {

void expectSameAsOneLaneRead(const std::u16string& text, bool older) {
    HeatLaps heat(text, older);
    for (int lane = -1; lane <= 12; ++lane) {
        LaneSplits once = heat.lane(lane);
        LaneSplits alone = readLaneSplits(text, lane, older);
        EXPECT_EQ(once.splits, alone.splits) << "lane " << lane;
        EXPECT_EQ(once.whole, alone.whole) << "lane " << lane;
        EXPECT_EQ(once.goal, alone.goal) << "lane " << lane;
        EXPECT_EQ(heat.endsAtGoal(lane), alone.goal) << "lane " << lane;
        std::array<std::u16string, 60> cells;
        cells.fill(u"old");
        int count = heat.copyLane(lane, cells);
        ASSERT_EQ(count, static_cast<int>(alone.splits.size()));
        for (size_t i = 0; i < 60; ++i)
            EXPECT_EQ(cells[i], i < alone.splits.size() ? alone.splits[i] : u"old");
    }
}

TEST(HeatLaps, EveryLaneAsItsOwnReadingGivesIt) {
    const std::u16string cases[] = {
        u"",
        u"4,31.25,,0,0,0,0,0,0\r\n5,33.40,G,0,0,0,0,0,0\r\n4,1:05.32,G,0,0,0,0,0,0\r\n",
        u"4,31.25,G,0,0,0,0,0,0\r\n4,1:00.00,,0,0,0,0,0,0\r\n",  // records after the finish
        u"4,31.25,,0,0,0,0,0,0\r\n4,1:05.32,,0,0",                // ends inside a record
        u"4,31.25,G,0,0,0,0,0,0\r\n5,33.40,,0,0",                 // lane 4 whole, lane 5 not
        u"\"4\",\" 31.25\",\"G\",0,0,0,0,0,0\r\n4.0,1:00.00,G,0,0,0,0,0,0\r\n",
        u" 04,12345678901,x,0,0,0,0,0,0\r\n4.5,9.99,G,0,0,0,0,0,0\r\n",
        u"3,31.25,\r\n3,1:00.00,G\r\n",  // three fields a record
    };
    for (const auto& text : cases) {
        expectSameAsOneLaneRead(text, true);
        expectSameAsOneLaneRead(text, false);
    }
}

TEST(HeatLaps, RandomLapFilesReadTheSameAsLaneByLane) {
    std::mt19937 random(42);
    const std::u16string pieces[] = {u"1", u"4", u"10", u"0", u"4.0", u"x", u"", u"31.25",
                                     u"1:05.32", u"G", u"\"G\"", u"\"a,b\"", u" 7", u"-1"};
    for (int round = 0; round < 400; ++round) {
        std::u16string text;
        int fields = static_cast<int>(random() % 700);
        for (int f = 0; f < fields; ++f) {
            text += pieces[random() % std::size(pieces)];
            text += random() % 4 == 0 ? u"\r\n" : u",";
        }
        if (random() % 3 == 0 && !text.empty()) text.pop_back();
        expectSameAsOneLaneRead(text, round % 2 == 0);
    }
    // More than sixty records of one lane: the first sixty.
    std::u16string many;
    for (int i = 0; i < 70; ++i) many += u"2,1:00.00,\r\n";
    EXPECT_EQ(HeatLaps(many, false).lane(2).splits.size(), 60u);
    expectSameAsOneLaneRead(many, false);
}

TEST(SwimIndex, TheSwimsOfACompetitorAsTheWholeIndexScanGivesThem) {
    std::vector<std::u16string> table = {u"",
                                         u"0007021003125000100",
                                         u"1234031010532000103",
                                         u"0007132004102000302",
                                         u"0070031010532000104",
                                         u"0",  // a short line (an ordinal of -10000)
                                         u"0007021003125000901",
                                         u"00A7031010532000104"};  // a key not all digits
    for (int count : {0, 3, 6, 7}) {
        SwimIndex index;
        index.build(table, count);
        EXPECT_TRUE(index.builtFor(table, count));
        for (std::u16string key : {u"0007", u"1234", u"0070", u"0", u"0008", u"00A7"}) {
            auto indexed = index.swimsOf(table, key);
            auto scanned = swimsOfCompetitor(table, count, key);
            auto heats = index.heatsOf(table, key);
            ASSERT_EQ(indexed.size(), scanned.size()) << count;
            ASSERT_EQ(heats.size(), scanned.size()) << count;
            for (size_t i = 0; i < indexed.size(); ++i) {
                EXPECT_EQ(indexed[i].text, scanned[i].text);
                EXPECT_EQ(indexed[i].heat, scanned[i].heat);
                EXPECT_EQ(heats[i], scanned[i].heat);
                EXPECT_EQ(indexed[i].lane, scanned[i].lane);
            }
        }
    }
    SwimIndex index;
    index.build(table, 6);
    EXPECT_FALSE(index.builtFor(table, 5));
    std::vector<std::u16string> other = table;
    EXPECT_FALSE(index.builtFor(other, 6));  // another index, however alike

    std::vector<std::u16string> many(1);
    for (int i = 0; i < 60; ++i) many.push_back(u"0001031010532000103");
    index.build(many, 60);
    EXPECT_EQ(index.swimsOf(many, u"0001").size(), 51u);
}

TEST(ReportLaps, EachHeatLoadedOnceAndLetGoAfterItsLastUse) {
    std::vector<std::u16string> table = {u"", u"0001031010532000103", u"0002031010532000104",
                                         u"0001041010532000205", u"0003041010532000301"};
    SwimIndex index;
    index.build(table, 4);
    // Competitors 2, 1, 3: heat 1 (comp. 2), heats 1 and 2 (comp. 1), heat 3.
    std::vector<std::u16string> uses = reportHeatUses(index, table, {2, 1, 3, 1}, 3);
    EXPECT_EQ(uses, (std::vector<std::u16string>{u"0001", u"0001", u"0002", u"0003"}));
    EXPECT_EQ(heatsInFirstUseOrder(uses), (std::vector<std::u16string>{u"0001", u"0002", u"0003"}));

    std::map<std::u16string, int> loads;
    std::vector<std::optional<size_t>> planned;
    ReportLaps laps(uses, [&](const std::u16string& heat, std::optional<size_t> position) {
        ++loads[heat];
        planned.push_back(position);
        HeatFile file;
        file.read = true;
        file.laps = HeatLaps(u"1," + heat + u",G\r\n", false);
        return file;
    });
    auto first = laps.heat(u"0001");
    EXPECT_EQ(laps.heat(u"0001").get(), first.get());  // the same parse
    EXPECT_EQ(first->laps.lane(1).splits, (std::vector<std::u16string>{u"    0001"}));
    laps.heat(u"0002");
    laps.heat(u"0003");
    EXPECT_EQ(loads, (std::map<std::u16string, int>{{u"0001", 1}, {u"0002", 1}, {u"0003", 1}}));
    // Asked for again after its last planned use, or never planned: loaded on its own.
    EXPECT_NE(laps.heat(u"0001").get(), first.get());
    laps.heat(u"0009");
    EXPECT_EQ(loads[u"0001"], 2);
    EXPECT_EQ(planned, (std::vector<std::optional<size_t>>{0, 1, 2, std::nullopt, std::nullopt}));
}

TEST(SwimSplits, TheFinalTimeTakesTheLastSplitOnlyWhenThereIsOne) {
    const std::u16string lapFile = u"3,   31.25,\r\n3, 1:05.30,G\r\n4,   30.00,\r\n";
    struct Case {
        std::u16string finalTime;
        std::u16string last;
    };
    const Case cases[] = {
        {u" 1:05.32", u" 1:05.32"},  // the official time
        {u"棄権", u"棄権"},          // a result word
        {u"", u" 1:05.30"},          // swum after the import: the measured finish stays
        {u"        ", u" 1:05.30"},
    };
    for (const Case& c : cases) {
        GridSplits s = swimSplitsOf(lapFile, 3, false, c.finalTime, 100, 50);
        ASSERT_EQ(s.count, 2);
        EXPECT_EQ(s.times[0], u"   31.25");
        EXPECT_EQ(s.times[1], c.last);
    }
}

}  // namespace
}  // namespace quendro
