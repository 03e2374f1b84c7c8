#include "laps/swim_selection.h"

#include <gtest/gtest.h>

#include "laps/lap_file.h"

namespace quendro {
namespace {

TEST(SwimSelection, RowsOfTheSwimList) {
    SwimRow row = swimRowOf(u"0001031010532000103");
    EXPECT_EQ(row.text, u" 100m自由形 予選  1:05.32");
    EXPECT_EQ(row.text.size(), 20u);
    EXPECT_EQ(row.finalTime, u" 1:05.32");
    EXPECT_EQ(row.heat, u"0001");
    EXPECT_EQ(row.lane, 3);

    SwimRow withdrawn = swimRowOf(u"0003032888888001205");
    EXPECT_EQ(withdrawn.text, u" 100m自由形 決勝       棄権");  // the word right-aligned in eight
    EXPECT_EQ(withdrawn.finalTime, u"棄権");
    EXPECT_EQ(withdrawn.heat, u"0012");
    EXPECT_EQ(swimRowOf(u"0003995000000000109").text, u"          ");  // codes outside the tables
}

TEST(SwimSelection, TheSwimsOfOneCompetitor) {
    std::vector<std::u16string> table = {u"", u"0007021003125000100", u"1234031010532000103",
                                         u"0007132004102000302", u"0070031010532000104"};
    auto swims = swimsOfCompetitor(table, 4, competitorKey(7));
    ASSERT_EQ(swims.size(), 2u);
    EXPECT_EQ(swims[0].heat, u"0001");
    EXPECT_EQ(swims[1].heat, u"0003");
    EXPECT_EQ(swimsOfCompetitor(table, 4, competitorKey(1234)).size(), 1u);
    EXPECT_EQ(swimsOfCompetitor(table, 2, competitorKey(7)).size(), 1u);  // only the counted lines
    EXPECT_TRUE(swimsOfCompetitor(table, 4, competitorKey(8)).empty());
    EXPECT_EQ(competitorKey(23), u"0023");

    std::vector<std::u16string> many(1);
    for (int i = 0; i < 60; ++i) many.push_back(u"0001031010532000103");
    EXPECT_EQ(swimsOfCompetitor(many, 60, u"0001").size(), 51u);
}

TEST(LapFile, SplitsOfOneLane) {
    struct Case {
        std::u16string text;
        int lane;
        bool olderLayout;
        std::vector<std::u16string> splits;
        bool whole;
    };
    const Case cases[] = {
        // Records of nine fields, lanes interleaved; another lane's "G" does not stop.
        {u"4,31.25,,0,0,0,0,0,0\r\n5,30.00,G,0,0,0,0,0,0\r\n4,1:05.32,G,0,0,0,0,0,0\r\n4,1:40.00,,"
         u"0,0,0,0,0,0\r\n",
         4,
         true,
         {u"   31.25", u" 1:05.32"},
         true},
        {u"4,31.25,\r\n5,30.00,G\r\n4,1:05.32,G\r\n", 4, false, {u"   31.25", u" 1:05.32"}, true},
        // Read in threes, a file of nine-field records goes astray.
        {u"4,31.25,,0,0,0,0,0,0\r\n", 4, false, {u"   31.25"}, true},
        {u"4,31.25,\r\n4,1:05.32,\r\n",
         4,
         false,
         {u"   31.25", u" 1:05.32"},
         true},  // no "G": all of them
        {u"5,31.25,G\r\n", 4, false, {}, true},
        {u"4,31.25,\r\n4,1:05", 4, false, {u"   31.25"}, false},  // ends inside a record
        {u"04, 31.25 ,G", 4, false, {u"  31.25 "}, true},
        {u"", 4, false, {}, true},
    };
    for (const Case& c : cases) {
        LaneSplits lane = readLaneSplits(c.text, c.lane, c.olderLayout);
        EXPECT_EQ(lane.splits, c.splits);
        EXPECT_EQ(lane.whole, c.whole);
    }
    std::u16string long_;
    for (int i = 0; i < 70; ++i) long_ += u"1,10.00,\r\n";
    EXPECT_EQ(readLaneSplits(long_, 1, false).splits.size(), 60u);
    EXPECT_EQ(localLapFilePath(u"D:\\meet\\", u"0012"), u"D:\\meet\\lap\\r0012");
}

}  // namespace
}  // namespace quendro
