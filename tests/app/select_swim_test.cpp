#include <gtest/gtest.h>

#include <filesystem>

#include "app/listed_swims.h"
#include "app/main_window.h"
#include "platform/text_rules.h"
#include "tests/support/local_meet.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::TestMachine;
using test::writeFile;

// Heat 1 of the sample: lanes 4, 5 and 6 (slots 3, 4, 5) in records of nine fields.
const std::string kHeat1 =
    "4,31.25,,0,0,0,0,0,0\r\n5,33.40,,0,0,0,0,0,0\r\n6,35.02,,0,0,0,0,0,0\r\n"
    "4,1:05.32,G,0,0,0,0,0,0\r\n5,1:10.15,G,0,0,0,0,0,0\r\n";

// A local meet: the sample heat table and results file, a 50 m pool with
// touchpads at both ends, and the lap file of heat 1 only.
class SelectSwimTest : public ::testing::Test {
  protected:
    SelectSwimTest() {
        window.txtTaikai.setText(m.serverBase());
        test::writeLocalMeet(m);
        writeFile(m.driveD() / "meet" / "lap" / "r0001", kHeat1);
        window.webMode = 0;
        test::openLocalMeet(window);
    }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(SelectSwimTest, ACompetitorsSwimsAndASwimsSplits) {
    ASSERT_EQ(window.hitCount, 6);
    window.lstNamae.setListIndex(0);
    EXPECT_EQ(
        window.lstShumoku.items(),
        (std::vector<std::u16string>{u" 100m自由形 予選  1:05.32", u" 100m自由形 決勝  1:03.88",
                                     u" 200m自由形 予選  2:19.60"}));
    EXPECT_EQ(window.swimCount, 3);
    EXPECT_EQ(window.swimKeys[2], u"0004");
    EXPECT_EQ(window.swimNumbers[2], 4);

    window.lstShumoku.setListIndex(0);
    EXPECT_EQ(window.splitCount, 2);
    EXPECT_EQ(window.splitTimes[0], u"   31.25");
    EXPECT_EQ(window.splitTimes[1], u" 1:05.32");  // the official time
    EXPECT_EQ(window.splitTimes[2], u"");
    EXPECT_EQ(window.lblShu[1].caption, u" 100m");
    EXPECT_EQ(window.lblLap[0].caption, u"   31.25");
    EXPECT_EQ(window.lblLap[1].caption, u" 1:05.32");
    EXPECT_EQ(window.mousePointer, MousePointer::Default);

    window.optLap.select(2);  // laps over 50 m
    EXPECT_EQ(window.lblLap[0].caption, u"   31.25");
    EXPECT_EQ(window.lblLap[1].caption, u"   34.07");
    window.optLap.select(1);  // 25 m laps cannot be shown in a 50 m split distance
    EXPECT_FALSE(window.optLap[1].enabled);
    EXPECT_EQ(window.lblLap[0].caption, u"");

    // Another competitor: the swims change, and no swim of theirs is chosen
    // yet, so the lap cells show no one's times.
    window.optLap.select(0);
    window.lstNamae.setListIndex(2);
    EXPECT_EQ(window.lstShumoku.items(),
              (std::vector<std::u16string>{u" 100m自由形 予選       棄権"}));
    EXPECT_EQ(window.splitCount, 0);
    EXPECT_EQ(window.lblLap[1].caption, u"");
    window.lstShumoku.setListIndex(0);
    EXPECT_EQ(window.splitCount, 1);
    EXPECT_EQ(window.lblLap[0].caption, u"棄権");
}

TEST_F(SelectSwimTest, AMissingLapFileShowsNoTimes) {
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(0);
    window.lstShumoku.setListIndex(2);  // heat 4 has no lap file
    EXPECT_EQ(window.splitCount, 0);
    for (const Label& cell : window.lblLap) EXPECT_EQ(cell.caption, u"");
    EXPECT_EQ(window.mousePointer, MousePointer::Default);
}

TEST_F(SelectSwimTest, PoolAndTouchpadChangeTheCaptionsNotTheTimes) {
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(0);
    window.optSetti.select(1);
    EXPECT_EQ(window.splitDistance, 100);
    EXPECT_EQ(window.lblShu[0].caption, u" 100m");
    EXPECT_EQ(window.lblShu[15].caption, u"");
    EXPECT_FALSE(window.optLap[2].enabled);
    EXPECT_EQ(window.lblLap[1].caption, u" 1:05.32");
    window.optSuiro.select(2);
    EXPECT_EQ(window.splitDistance, 200);
    EXPECT_EQ(window.lblShu[6].caption, u" 1400m");
    EXPECT_EQ(window.lblShu[7].caption, u"");
}

TEST_F(SelectSwimTest, InternetModeFetchesTheLapFile) {
    m.server().serve("/swim/2026/2026001/lap/r0001.txt", kHeat1);
    window.webMode = 1;
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    window.lstNamae.setListIndex(1);
    window.lstShumoku.setListIndex(0);
    EXPECT_EQ(window.splitCount, 2);
    EXPECT_EQ(window.splitTimes[0], u"   33.40");
    EXPECT_EQ(window.splitTimes[1], u" 1:10.15");
    EXPECT_EQ(readFile(m.workingFolder() / "t.txt"), kHeat1 + "\r\n");

    window.chkQ.setValue(0);  // records of three fields
    m.server().serve("/swim/2026/2026001/lap/r0001.txt", "5,33.00,\r\n5,1:09.00,G\r\n");
    window.lstShumoku.setListIndex(-1);
    window.lstShumoku.setListIndex(0);
    EXPECT_EQ(window.splitTimes[0], u"   33.00");
}

TEST_F(SelectSwimTest, TheHtmlPageOfTheListedCompetitors) {
    writeFile(m.driveD() / "meet" / "lap" / "r0004",
              "5,30.80,,0,0,0,0,0,0\r\n5,1:04.40,,0,0,0,0,0,0\r\n5,1:39.10,,0,0,0,0,0,0\r\n"
              "5,2:19.50,G,0,0,0,0,0,0\r\n6,32.00,G,0,0,0,0,0,0\r\n");
    window.txtBango.setText(u"1201");
    window.cmdHtml.click();
    const fs::path expected = fs::path(QUENDRO_TEST_DATA) / "html_page" / "expected.html";
    EXPECT_EQ(readFile(m.driveD() / "meet" / "県選9.html"), readFile(expected));
    // The last competitor's last swim stays chosen.
    EXPECT_EQ(window.lstNamae.listIndex(), 0);
    EXPECT_EQ(window.lstShumoku.listIndex(), 2);
    EXPECT_EQ(window.splitCount, 4);

    window.txtBango.setText(u"9");  // nobody: the opening and closing lines alone
    window.txtRyaku.setText(u"");
    window.cmdHtml.click();
    EXPECT_EQ(
        readFile(m.driveD() / "meet" / "9.html"),
        "<HTML><HEAD><TITLE></TITLE></HEAD><BODY>\r\n<TABLE BORDER=\"0\"  HEIGHT=\"100%\">\r\n"
        "</TABLE></BODY></HTML>\r\n");

    window.selectedDir = u"D:\\no such folder\\";
    window.cmdHtml.click();
    EXPECT_EQ(window.statusText, u"HTML を書き込めませんでした: D:\\no such folder\\9.html (" +
                                     fromUtf8((m.driveD() / "no such folder" / "9.html").string()) +
                                     u")");
}

std::string utf8Lines(const std::vector<std::u16string>& lines) {
    std::string text;
    for (const auto& line : lines) text += toUtf8(line) + "\n";
    return text;
}

// The 200 m of 山田太郎 (heat 4, lane 5) whose lap file stopped after 50 m: the
// final time stands under 200 m in the grid, the page, the printed list and
// the export alike, the 50 m split stays, and no lap is formed from an empty split.
TEST_F(SelectSwimTest, AFinalTimeAtItsOwnDistanceEverywhere) {
    writeFile(m.driveD() / "meet" / "lap" / "r0004", "5,30.80,,0,0,0,0,0,0\r\n");
    window.txtBango.setText(u"1201");
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(2);
    EXPECT_EQ(window.splitCount, 4);
    const std::u16string grid[] = {u"   30.80", u"", u"", u" 2:19.60"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(window.splitTimes[i], grid[i]) << i;
        EXPECT_EQ(window.lblLap[i].caption, grid[i]) << i;
    }
    EXPECT_EQ(window.lblShu[3].caption, u" 200m");
    window.optLap.select(2);  // 50 m laps: the first, then none from an empty split
    EXPECT_EQ(window.lblLap[0].caption, u"   30.80");
    for (size_t i = 1; i < 60; ++i) EXPECT_EQ(window.lblLap[i].caption, u"") << i;
    window.optLap.select(4);  // the 200 m lap is the whole swim
    EXPECT_EQ(window.lblLap[3].caption, u" 2:19.60");
    window.optLap.select(0);

    window.cmdHtml.click();
    const std::string page = readFile(m.driveD() / "meet" / "県選9.html");
    const std::string splitCells =
        "<TD align=\"right\">   30.80</TD>\r\n<TD align=\"right\"></TD>\r\n"
        "<TD align=\"right\"></TD>\r\n<TD align=\"right\"> 2:19.60</TD>\r\n<TR>\r\n";
    const std::string lapCells = "<TD></TD>\r\n<TD align=\"right\"></TD>\r\n"
                                 "<TD align=\"right\"></TD>\r\n<TD align=\"right\"></TD>\r\n"
                                 "</TABLE>";
    EXPECT_NE(page.find(splitCells), std::string::npos) << page;
    EXPECT_NE(page.find(lapCells), std::string::npos) << page;

    window.cmdLp.click();
    ASSERT_EQ(m.printer().documents.size(), 1u);
    const std::string list = utf8Lines(m.printer().documents[0]);
    // The empty splits keep their columns: 2:19.60 stands under 200 m.
    const std::string splitLine = "        200m自由形 予選  2:19.60    30.80" + std::string(23, ' ') +
                                  "2:19.60";
    const std::string lapLine = std::string(42, ' ') + "()()()\n";
    EXPECT_NE(list.find(splitLine), std::string::npos) << list;
    EXPECT_NE(list.find(lapLine), std::string::npos) << list;

    std::vector<ExportSwim> swims = collectListedSwims(window, m.files()).value();
    ASSERT_EQ(swims.size(), 3u);
    EXPECT_EQ(swims[2].splits, (std::vector<std::u16string>(std::begin(grid), std::end(grid))));
    EXPECT_EQ(exportLaps(swims[2].splits),
              (std::vector<std::u16string>{u"30.80", u"", u"", u""}));
}

TEST_F(SelectSwimTest, ThePrintedLapListOfTheListedCompetitors) {
    writeFile(m.driveD() / "meet" / "lap" / "r0004",
              "5,30.80,,0,0,0,0,0,0\r\n5,1:04.40,,0,0,0,0,0,0\r\n5,1:39.10,,0,0,0,0,0,0\r\n"
              "5,2:19.50,G,0,0,0,0,0,0\r\n");
    window.txtBango.setText(u"1201");
    window.optLap.select(3);  // the lap choice does not change the list
    window.cmdLp.click();
    ASSERT_EQ(m.printer().documents.size(), 1u);
    EXPECT_EQ(m.printer().fontName, u"ＭＳ 明朝");
    EXPECT_EQ(m.printer().fontPoints, 10);
    EXPECT_EQ(utf8Lines(m.printer().documents[0]),
              readFile(fs::path(QUENDRO_TEST_DATA) / "lap_list" / "expected.txt"));
    EXPECT_EQ(window.lstShumoku.listIndex(), 2);

    // Nobody listed: the header and the closing rule.
    window.txtBango.setText(u"9");
    window.cmdLp.click();
    const auto& empty = m.printer().documents.at(1);
    ASSERT_EQ(empty.size(), 11u);
    EXPECT_EQ(empty[10], empty[8]);

    m.printer().outcome = {false, u"印刷できませんでした: プリンタを使えません"};
    window.cmdLp.click();
    EXPECT_EQ(window.statusText, u"印刷できませんでした: プリンタを使えません");
}

// An export reads every listed swim by choosing it; afterwards the competitor
// and swim chosen before it are chosen again, with their splits in the grid.
// The printed list leaves the last listed swim chosen, as it always did.
TEST_F(SelectSwimTest, AnExportChoosesTheSwimChosenBeforeItAgain) {
    struct Case {
        int competitor, swim;
        int competitorAfter, swimAfter;
    };
    const Case cases[] = {
        {0, 0, 0, 0},    // lap file of heat 1: 31.25 at 50 m
        {0, 2, 0, 2},    // the last of the first competitor's swims
        {1, 0, 1, 0},
        {5, -1, 5, -1},  // the last competitor, no swim chosen
        {0, -1, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.competitor * 10 + c.swim);
        window.lstNamae.setListIndex(-1);
        window.lstNamae.choose(c.competitor);
        if (c.swim >= 0) window.lstShumoku.choose(c.swim);
        const std::vector<std::u16string> grid(window.splitTimes.begin(),
                                               window.splitTimes.begin() + 4);
        for (ListFormat format : {ListFormat::Csv, ListFormat::Json}) {
            writeListExport(window, m.files(), format);
            EXPECT_TRUE(window.statusText.find(u"を書き出しました") != std::u16string::npos)
                << toUtf8(window.statusText);
            EXPECT_EQ(window.lstNamae.listIndex(), c.competitorAfter);
            EXPECT_EQ(window.lstShumoku.listIndex(), c.swimAfter);
            EXPECT_EQ(std::vector<std::u16string>(window.splitTimes.begin(),
                                                  window.splitTimes.begin() + 4),
                      grid);
        }
    }
    window.lstNamae.choose(0);
    window.lstShumoku.choose(0);
    EXPECT_EQ(window.splitTimes[0], u"   31.25");
    window.cmdLp.click();
    EXPECT_EQ(window.lstNamae.listIndex(), 5);  // the page and the list keep the last
}

}  // namespace
}  // namespace quendro
