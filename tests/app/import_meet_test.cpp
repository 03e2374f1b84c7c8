#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_window.h"
#include "platform/text_rules.h"
#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::RecordBytes;
using test::sjis;
using test::TestMachine;
using test::writeFile;

const fs::path kSample = fs::path(QUENDRO_TEST_DATA) / "sample_records";

// A meet header of 73 fields: 25 m pool, touchpads at one end.
std::string header(const std::u16string& code, const std::u16string& name) {
    std::u16string text =
        u"D:\\kekka\\,KEKKA.DAT," + code + u"," + name + u",略,20260725,20260726,県総合プール,1";
    for (int i = 10; i <= 71; ++i) text += i == 10 || i % 10 == 1 ? u"\r\n0" : u",0";
    text += u",1,0\r\n";
    return sjis(text);
}

std::string ind2() {
    std::string file = RecordBytes(128).int32(0, 3).str();
    for (const char* number : {"1201", "1202", "1305"})
        file += RecordBytes(128).bytes(11, number).bytes(25, "NAME").str();
    return file;
}

class ImportMeetTest : public ::testing::Test {
  protected:
    ImportMeetTest() {
        window.txtTaikai.setText(m.serverBase());
        fs::create_directories(m.workingFolder());
    }
    void serveMeet() {
        m.server().serve("/swim/2026/2026001/taikai.txt", readFile(kSample / "taikai.dat"));
        m.server().serve("/swim/2026/2026001/ind2.txt", ind2());
        m.server().serve("/swim/2026/2026001/kijun.txt", header(u"2026001", u"県選手権"));
    }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(ImportMeetTest, InternetModeDownloadsTheMeetIntoTheWorkingFolder) {
    serveMeet();
    // An older, longer heat table is replaced whole.
    writeFile(m.workingFolder() / "taikai.dat", std::string(20000, 'x'));
    window.webMode = 1;
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    window.Dir1.setPath(u"D:\\");
    window.txtBango.setText(u"12");
    window.cmdKakutei.click();

    EXPECT_EQ(readFile(m.workingFolder() / "taikai.dat"), readFile(kSample / "taikai.dat"));
    EXPECT_EQ(readFile(m.workingFolder() / "ind2.dat"), ind2());
    EXPECT_EQ(readFile(m.workingFolder() / "kijun.dat"), header(u"2026001", u"県選手権"));
    EXPECT_EQ(window.selectedDir, u"D:\\");  // the top folder keeps its one backslash
    EXPECT_EQ(window.lblWeb.caption, m.serverBase() + u"2026/2026001/");
    EXPECT_EQ(window.txtNa.text(), u"県選手権");
    EXPECT_EQ(window.txtBasho.text(), u"県総合プール");
    EXPECT_EQ(window.poolIndex, 0);  // the header was read before the heats
    EXPECT_EQ(window.touchpadIndex, 1);

    EXPECT_EQ(window.meetHeatCount, 4);
    EXPECT_EQ(window.swimTableCount, 10);
    EXPECT_EQ(window.swimTable.size(), 41u);
    EXPECT_EQ(window.swimTable[0], u"");
    EXPECT_EQ(window.swimTable[1], u"0001031010532000103");
    EXPECT_EQ(window.swimTable[3], u"0003031888888000105");
    EXPECT_EQ(window.swimTable[10], u"0006041022533000405");
    EXPECT_EQ(window.swimTable[11], u"");
    // The search ran with the filter in the number box.
    EXPECT_EQ(window.hitCount, 2);
    EXPECT_EQ(window.mousePointer, MousePointer::Default);
    EXPECT_EQ(window.statusText, u"読み込みました: " + m.serverBase() + u"2026/2026001/");
}

TEST_F(ImportMeetTest, AFailedDownloadStopsTheImportAndSaysSo) {
    m.server().serve("/swim/2026/2026001/taikai.txt", readFile(kSample / "taikai.dat"));
    writeFile(m.workingFolder() / "kijun.dat", "old header");
    window.webMode = 1;
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    window.txtTaikai.setText(u"http://127.0.0.1:1/swim/");  // nothing listens there
    window.cmdKakutei.click();
    EXPECT_EQ(readFile(m.workingFolder() / "kijun.dat"), "old header");
    EXPECT_EQ(window.statusText,
              u"ダウンロードできませんでした (サーバーに接続できません): "
              u"http://127.0.0.1:1/swim/2026/2026001/taikai.txt");
    EXPECT_EQ(window.txtNa.text(), u"");
    EXPECT_EQ(window.mousePointer, MousePointer::Default);
}

// The address as the user typed it signs in; the status line names it without
// the password.
TEST_F(ImportMeetTest, TheStatusLineNeverShowsThePasswordOfTheAddress) {
    const std::u16string base = m.serverBase();
    window.webMode = 1;
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    window.txtTaikai.setText(u"http://meet:a%2Fb@" + base.substr(7));
    window.cmdKakutei.click();
    EXPECT_EQ(window.statusText, u"ダウンロードできませんでした (サーバーにありません（HTTP 404）): " +
                                     base + u"2026/2026001/taikai.txt");
}

TEST_F(ImportMeetTest, LocalModeAdoptsTheChosenFolder) {
    fs::create_directories(m.driveD() / "meet" / "kekka");
    fs::copy_file(kSample / "taikai.dat", m.driveD() / "meet" / "TAIKAI.DAT");
    fs::copy_file(kSample / "KEKKA.DAT", m.driveD() / "meet" / "kekka" / "KEKKA.DAT");
    writeFile(m.driveD() / "meet" / "kijun.dat", header(u"LOCAL01", u"地元大会"));
    window.webMode = 0;
    window.Dir1.setPath(u"D:\\meet");
    window.cmdKakutei.click();

    EXPECT_EQ(window.dataDir, u"D:\\meet\\");
    EXPECT_EQ(window.lblWeb.caption, u"D:\\meet\\");
    EXPECT_EQ(window.txtCode.text(), u"LOCAL01");
    // The header's results folder, on the data folder's drive, is not there:
    // the results file is found again inside the data folder, and named.
    EXPECT_EQ(window.resultDir, u"D:\\meet\\kekka\\");
    EXPECT_EQ(window.swimTableCount, 10);
    EXPECT_EQ(window.statusText,
              u"読み込みました: D:\\meet\\  結果ファイル: D:\\meet\\kekka\\KEKKA.DAT");
}

TEST_F(ImportMeetTest, AFolderWithoutTheMeetImportsAnEmptyMeet) {
    window.webMode = 0;
    window.swimTable = {u"", u"0001031010532000103"};
    window.swimTableCount = 1;
    window.Dir1.setPath(u"D:\\");
    window.cmdKakutei.click();
    EXPECT_EQ(window.dataDir, u"D:\\\\");  // a top folder gets a second backslash
    EXPECT_EQ(window.meetHeatCount, 0);
    EXPECT_EQ(window.swimTableCount, 0);
    EXPECT_EQ(window.swimTable, std::vector<std::u16string>{u""});
    EXPECT_EQ(window.txtNa.text(), u"");  // no header: no meet name, and no word of work left
    // The path shown in its one form, the doubled separator once.
    EXPECT_EQ(window.statusText, u"ファイルがありません: D:\\kijun.dat (" +
                                     fromUtf8((m.driveD() / "kijun.dat").string()) + u")");
}

}  // namespace
}  // namespace quendro
