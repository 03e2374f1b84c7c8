// A local meet whose files and headers hold what they should not, and reports
// that must read every swim afresh.
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

const fs::path kSample = test::sampleRecords();

// Heat 1 of the sample: competitor 1 (1201) swims in lane 4, slot 3.
const std::string kHeat1 = "4,31.25,,0,0,0,0,0,0\r\n4,1:05.40,G,0,0,0,0,0,0\r\n";

class LocalMendsTest : public ::testing::Test {
  protected:
    LocalMendsTest() { fs::create_directories(meet() / "kekka"); }
    fs::path meet() const { return m.driveD() / "meet"; }
    void importMeet(const std::u16string& abbreviation, std::string heats) {
        test::writeLocalMeet(m, abbreviation, heats);
        writeFile(meet() / "lap" / "r0001", kHeat1);
        test::openLocalMeet(window);
    }
    void importMeet() { importMeet(u"県選", readFile(kSample / "taikai.dat")); }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(LocalMendsTest, AnAbbreviationNeverNamesAPageOutsideTheChosenFolder) {
    struct Case {
        std::u16string abbreviation;
        std::u16string fault;
    };
    const Case cases[] = {
        {std::u16string(u"..\\..\\x\0", 8), u"NUL"},
        {u"..\\..\\victim", u"\\"},
        {u"../victim", u"/"},
        {u"C:victim", u":"},
        {u"a..b", u".."},
    };
    writeFile(m.root() / "victim9.html", "kept");
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.fault));
        importMeet(c.abbreviation, readFile(kSample / "taikai.dat"));
        window.txtBango.setText(u"1201");
        window.cmdHtml.click();
        EXPECT_EQ(
            window.statusText,
            u"HTML を書き込みません: 略称にファイル名に使えない文字があります (" + c.fault + u")");
        // The list exports take their name from it too.
        writeListExport(window, m.files(), ListFormat::Json);
        EXPECT_EQ(
            window.statusText,
            u"JSON を書き込みません: 略称にファイル名に使えない文字があります (" + c.fault + u")");
        EXPECT_EQ(readFile(m.root() / "victim9.html"), "kept");
        for (const auto& entry : fs::recursive_directory_iterator(m.root())) {
            if (entry.path().filename() == "victim9.html") continue;
            EXPECT_NE(entry.path().extension(), ".html") << entry.path();
            EXPECT_NE(entry.path().extension(), ".json") << entry.path();
        }
    }
    // A folder path holding a NUL is no path.
    EXPECT_EQ(m.files().writeBytes(std::u16string(u"D:\\meet\\x\0..\\y", 14), "x"),
              FileStatus::BadName);
    EXPECT_FALSE(fs::exists(meet() / "x"));
}

TEST_F(LocalMendsTest, ThePageWritesNamesAsText) {
    // A results file whose first competitor is called <b>&"Q"</b>.
    std::string results = readFile(kSample / "KEKKA.DAT");
    importMeet();
    std::string hostile = "<b>&\"Q\"</b>     ";  // 16 bytes, the width of the name field
    // The name field of competitor 1 (record 11, 384 bytes a record) at offset 25.
    results.replace(10 * 384 + 25, 16, hostile);
    writeFile(meet() / "kekka" / "KEKKA.DAT", results);
    window.txtBango.setText(u"1201");
    window.cmdHtml.click();
    std::string page = readFile(meet() / "県選9.html");
    EXPECT_NE(page.find("<TD>&lt;b&gt;&amp;&quot;Q&quot;&lt;/b&gt;     </TD>"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
}

TEST_F(LocalMendsTest, ReportsReadEverySwimAgainAlsoTheOneChosen) {
    importMeet();
    window.txtBango.setText(u"1201");
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(0);
    ASSERT_EQ(window.splitTimes[0], u"   31.25");
    // The lap file changes after the swim was chosen, and the layout with it.
    writeFile(meet() / "lap" / "r0001", "4,30.99,\r\n4,1:05.32,G\r\n");
    window.chkQ.setValue(0);
    window.cmdHtml.click();
    EXPECT_NE(readFile(meet() / "県選9.html").find("<TD align=\"right\">   30.99</TD>"),
              std::string::npos);
    window.cmdLp.click();
    ASSERT_FALSE(m.printer().documents.empty());
    bool printed = false;
    for (const auto& line : m.printer().documents.back())
        printed = printed || line.find(u"30.99") != std::u16string::npos;
    EXPECT_TRUE(printed);
}

TEST_F(LocalMendsTest, ASwimWithoutAFinalTimeKeepsItsMeasuredFinish) {
    std::string heats = readFile(kSample / "taikai.dat");
    // Heat 1 (record 11 of 256 bytes), slot 3: its time, at offset 46 + 4 * 3, not yet in.
    heats.replace(10 * 256 + 46 + 12, 4, std::string(4, '\0'));
    importMeet(u"県選", heats);
    window.txtBango.setText(u"1201");
    window.lstNamae.setListIndex(0);
    ASSERT_EQ(window.swimTexts[0], u"");
    window.lstShumoku.setListIndex(0);
    EXPECT_EQ(window.splitCount, 2);
    EXPECT_EQ(window.splitTimes[1], u" 1:05.40");  // as measured
    EXPECT_EQ(window.lblLap[1].caption, u" 1:05.40");
}

TEST_F(LocalMendsTest, TheGridShowsOnlyTheChosenSwim) {
    importMeet();
    const auto gridIsEmpty = [&] {
        for (const Label& cell : window.lblLap) {
            if (!cell.caption.empty()) return false;
        }
        return window.splitCount == 0;
    };
    const std::function<void()> rebuilds[] = {
        [&] { window.txtBango.setText(u"12"); },   // the competitor list
        [&] { window.lstNamae.setListIndex(1); },  // another competitor's swims
        [&] { window.lstNamae.choose(0); },        // the same competitor again
        [&] { window.cmdKakutei.click(); },        // the meet again
    };
    int n = 0;
    for (const auto& rebuild : rebuilds) {
        SCOPED_TRACE(n++);
        window.txtBango.setText(u"120");  // 1201 and 1202
        window.lstNamae.choose(0);
        window.lstShumoku.choose(0);
        ASSERT_FALSE(gridIsEmpty());
        rebuild();
        EXPECT_TRUE(gridIsEmpty());
    }
}

TEST_F(LocalMendsTest, TheStatusLineTellsTheOutcomeOfEachReport) {
    // A file's words name it and, in brackets, where it is on this machine.
    auto where = [](const fs::path& host) { return u" (" + fromUtf8(host.string()) + u")"; };
    importMeet();
    window.txtBango.setText(u"1201");  // three swims, only heat 1 has a lap file
    window.cmdHtml.click();
    EXPECT_EQ(window.statusText,
              u"ラップファイルを読めなかった泳ぎが 2 件あります (HTML を書き込みました): "
              u"D:\\meet\\県選9.html" +
                  where(meet() / "県選9.html"));
    window.cmdLp.click();
    EXPECT_EQ(window.statusText, u"ラップファイルを読めなかった泳ぎが 2 件あります (印刷しました)");

    // Every heat of 1202 has its lap file now.
    writeFile(meet() / "lap" / "r0002", "");
    writeFile(meet() / "lap" / "r0004", "");
    window.txtBango.setText(u"1202");
    m.printer().outcome = {false, u"印刷できませんでした: プリンタを使えません"};
    window.cmdLp.click();
    EXPECT_EQ(window.statusText, u"印刷できませんでした: プリンタを使えません");
    m.printer().outcome = {true, u""};
    window.cmdLp.click();
    EXPECT_EQ(window.statusText, u"印刷しました");  // the old failure goes
    window.cmdHtml.click();
    EXPECT_EQ(window.statusText,
              u"HTML を書き込みました: D:\\meet\\県選9.html" + where(meet() / "県選9.html"));

    // A failed local import: no word of work stays, no competitor of the meet before.
    fs::remove(meet() / "kijun.dat");
    window.cmdKakutei.click();
    EXPECT_EQ(window.txtNa.text(), u"");
    EXPECT_EQ(window.hitCount, 0);
    EXPECT_EQ(window.lstNamae.listCount(), 0);
    EXPECT_EQ(window.statusText,
              u"ファイルがありません: D:\\meet\\kijun.dat" + where(meet() / "kijun.dat"));
    window.txtBango.setText(u"");
    EXPECT_EQ(window.lstNamae.listCount(), 0);
}

}  // namespace
}  // namespace quendro
