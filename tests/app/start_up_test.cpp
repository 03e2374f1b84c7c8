#include "app/start_up.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_window.h"
#include "store/site_control.h"
#include "platform/text_rules.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::sjis;
using test::TestMachine;
using test::writeFile;

TEST(StartUp, TheSeasonBeginsInApril) {
    struct Case {
        LocalDateTime today;
        std::u16string season;
    };
    const Case cases[] = {
        {{2010, 3, 31, 23, 59, 59}, u"2009"},
        {{2010, 4, 1, 0, 0, 0}, u"2010"},
        {{2011, 1, 1, 8, 0, 0}, u"2010"},
        {{2010, 12, 31, 8, 0, 0}, u"2010"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(seasonYearOf(c.today), c.season);
        TestMachine m(c.today);
        MainWindow window(m.machine());
        window.txtTaikai.setText(m.serverBase());
        window.Form_Load();
        EXPECT_EQ(window.seasonYear, c.season);
        EXPECT_EQ(window.txtNendo.text(), c.season);
    }
}

TEST(StartUp, SiteControlFields) {
    struct Case {
        std::u16string text;
        std::optional<std::u16string> dataDir, resultDir, resultFile;
    };
    const Case cases[] = {
        {u"1,D:\\meet,3,E:\\kekka,KEKKA.DAT\r\n", u"D:\\meet\\", u"E:\\kekka\\", u"KEKKA.DAT"},
        {u"1\r\nD:\\meet\\\r\n3\r\nE:\\kekka\\\r\nKEKKA.DAT\r\n6,7\r\n", u"D:\\meet\\",
         u"E:\\kekka\\", u"KEKKA.DAT"},
        {u"1,,3,,\r\n", u"\\", u"\\", u""},
        {u"1,,3,,", u"\\", u"\\", std::nullopt},  // the file ends after the fourth field
        {u"x,D:\\meet", u"D:\\meet\\", std::nullopt, std::nullopt},
        {u"x,\"D:\\第1回,大会\"", u"D:\\第1回,大会\\", std::nullopt, std::nullopt},
        {u"only", std::nullopt, std::nullopt, std::nullopt},
        {u"", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SiteControl control = parseSiteControl(c.text);
        EXPECT_EQ(control.dataDir, c.dataDir);
        EXPECT_EQ(control.resultDir, c.resultDir);
        EXPECT_EQ(control.resultFile, c.resultFile);
    }
}

TEST(StartUp, FiveFieldsShowTheDataFolderAndPointTheFolderListAtIt) {
    TestMachine m;
    fs::create_directories(m.driveD() / "meet2010");
    writeFile(m.siteControlFile(), sjis(u"1,D:\\meet2010,3,D:\\kekka,KEKKA.DAT\r\n"));
    MainWindow window(m.machine());
    window.txtTaikai.setText(m.serverBase());
    window.Form_Load();

    EXPECT_EQ(window.lblVer.caption, u"Ver 3.30\r2010/06/29\r" + std::u16string(kPublisherDomain));
    EXPECT_EQ(window.webMode, 1);
    EXPECT_EQ(window.dataDir, u"D:\\meet2010\\");
    EXPECT_EQ(window.resultDir, u"D:\\kekka\\");
    EXPECT_EQ(window.resultFile, u"KEKKA.DAT");
    EXPECT_EQ(window.lblWeb.caption, u"D:\\meet2010\\");
    EXPECT_EQ(window.Dir1.path(), u"D:\\meet2010");
    EXPECT_EQ(window.selectedDir, u"D:\\meet2010\\");
    // The test server has no folder for the season: it answers 404.
    EXPECT_EQ(window.meetListOutcome, MeetListOutcome::NoFolder);
    // Start-up leaves the enabled states as the window was created.
    EXPECT_TRUE(window.Drive1.enabled);
    EXPECT_TRUE(window.Dir1.enabled);
    EXPECT_TRUE(window.lstTaikai.enabled);
    EXPECT_FALSE(window.cmdWebUp.enabled);
    EXPECT_EQ(window.optWeb.selected(), 1);
}

TEST(StartUp, ADriveTopFolderGetsASecondBackslashInTheChosenFolder) {
    TestMachine m;
    writeFile(m.siteControlFile(), sjis(u"1,D:\\\r\n"));
    MainWindow window(m.machine());
    window.txtTaikai.setText(m.serverBase());
    window.Form_Load();
    EXPECT_EQ(window.dataDir, u"D:\\");
    EXPECT_EQ(window.Dir1.path(), u"D:\\");
    EXPECT_EQ(window.selectedDir, u"D:\\\\");
}

TEST(StartUp, TwoFieldsSetOnlyTheDataFolder) {
    TestMachine m;
    writeFile(m.siteControlFile(), sjis(u"1,D:\\nowhere\r\n"));
    MainWindow window(m.machine());
    window.txtTaikai.setText(m.serverBase());
    std::u16string startFolder = window.Dir1.path();
    window.Form_Load();
    EXPECT_EQ(window.dataDir, u"D:\\nowhere\\");
    EXPECT_EQ(window.resultDir, u"");
    EXPECT_EQ(window.resultFile, u"");
    // The folder does not exist: the list keeps its folder and the status line tells.
    EXPECT_EQ(window.Dir1.path(), startFolder);
    EXPECT_EQ(window.selectedDir, u"D:\\nowhere\\");
    // The status line names the folder and where it would be on this machine.
    EXPECT_EQ(window.statusText, u"フォルダが見つかりません: D:\\nowhere\\ (" +
                                     fromUtf8((m.driveD() / "nowhere").string()) + u")");
}

TEST(StartUp, WithoutASiteControlFileStartUpStillCompletes) {
    TestMachine m;
    MainWindow window(m.machine());
    window.txtTaikai.setText(m.serverBase());
    std::u16string startFolder = window.Dir1.path();
    window.Form_Load();
    EXPECT_EQ(window.dataDir, u"");
    EXPECT_EQ(window.resultDir, u"");
    EXPECT_EQ(window.resultFile, u"");
    EXPECT_EQ(window.lblWeb.caption, u"");
    EXPECT_EQ(window.Dir1.path(), startFolder);
    EXPECT_EQ(window.webMode, 1);
    EXPECT_EQ(window.seasonYear, u"2010");
    EXPECT_EQ(window.meetListOutcome, MeetListOutcome::NoFolder);
}

TEST(StartUp, TheSeasonChangeRunsInsideStartUpAndUnloadClosesFiles) {
    TestMachine m;
    MainWindow window(m.machine());
    window.txtTaikai.setText(m.serverBase());
    window.Form_Load();
    // txtNendo_Change stored the season; in internet mode the season's folder
    // was shown before the data folder replaced it.
    window.optWeb[1].enabled = true;
    window.txtNendo.setText(u"2009");
    EXPECT_EQ(window.seasonYear, u"2009");
    EXPECT_EQ(window.lblWeb.caption, window.txtTaikai.text() + u"2009/");

    writeFile(m.driveD() / "r.dat", "ABCD");
    FileStatus status;
    auto file = m.files().openRecords(u"D:\\r.dat", 2, status);
    ASSERT_EQ(file->record(1), "AB");
    window.Form_Unload();
    EXPECT_EQ(file->record(1), "");
}

// Internet mode after a start: the header of the meet imported in an earlier
// run is shown, its competitors are gone until a confirm.
TEST(StartUp, WithTheLastMeetsHeaderShownTheStatusLineSaysToConfirm) {
    TestMachine m;
    m.server().serve("/swim/2010/list.txt", sjis(u"\"2010001 県選手権\"\r\n"));
    std::u16string header = u"X:\\meet\\kekka\\,KEKKA.DAT,2010001,県選手権,県選,20100725,20100726,プール,0";
    for (int i = 10; i <= 73; ++i) header += u",0";
    writeFile(m.workingFolder() / "kijun.dat", sjis(header));
    MainWindow window(m.machine());
    window.txtTaikai.setText(m.serverBase());
    window.Form_Load();
    EXPECT_EQ(window.txtNa.text(), u"県選手権");
    EXPECT_EQ(window.statusText, u"確定 で大会を読み込みます");
    // A search finds nobody before the confirm, and says so the same way.
    window.statusText.clear();
    window.txtBango.setText(u"12");
    EXPECT_EQ(window.statusText, u"確定 で大会を読み込みます");

    // Without a header shown there is nothing to confirm yet.
    TestMachine bare;
    bare.server().serve("/swim/2010/list.txt", sjis(u"\"2010001 県選手権\"\r\n"));
    MainWindow fresh(bare.machine());
    fresh.txtTaikai.setText(bare.serverBase());
    fresh.Form_Load();
    EXPECT_EQ(fresh.statusText, u"");
}

}  // namespace
}  // namespace quendro

