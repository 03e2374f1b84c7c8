#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_window.h"
#include "store/meet_list_upload.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::sjis;
using test::TestMachine;
using test::writeFile;

class UploadTest : public ::testing::Test {
  protected:
    UploadTest() {
        window.txtTaikai.setText(m.serverBase());
        window.seasonYear = u"2010";
        window.txtCode.setText(u"1234567");
        window.txtRyaku.setText(u"県選手権");
        window.cmdWebUp.enabled = true;
    }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(UploadTest, TheMeetIsAppendedToTheSeasonsListAndSentBack) {
    const std::string list = sjis(u",\"7654321 DEF\"\r\n");
    m.server().serve("/swim/2010/list.txt", list);
    window.cmdWebUp.click();
    const std::string expected = list + sjis(u",\"1234567 県選手権\"\r\n");
    EXPECT_EQ(m.server().putBody("/swim/2010/list.dat"), expected);  // sent as list.dat
    EXPECT_EQ(readFile(m.workingFolder() / "list.dat"), expected);
    EXPECT_EQ(window.Inet1.url(), m.serverBase() + u"2010/");
    EXPECT_EQ(window.mousePointer, MousePointer::Default);
    EXPECT_EQ(window.statusText, u"大会一覧を送信しました: " + m.serverBase() + u"2010/list.dat");
    // The meet list box is not reloaded.
    EXPECT_EQ(window.lstTaikai.listCount(), 0);
}

TEST_F(UploadTest, AListWithoutALineEndGetsTheEntryOnItsLastLine) {
    writeFile(m.workingFolder() / "list.dat", "an older copy");
    m.server().serve("/swim/2010/list.txt", ",\"7654321 DEF\"");
    window.txtCode.setText(u"");
    window.txtRyaku.setText(u"");
    window.cmdWebUp.click();
    EXPECT_EQ(m.server().putBody("/swim/2010/list.dat"), ",\"7654321 DEF\",\" \"\r\n");
}

TEST_F(UploadTest, FailuresLeaveTheProgramRunningAndSaySo) {
    // The season's list cannot be had: nothing is sent.
    window.txtTaikai.setText(u"http://127.0.0.1:1/swim/");
    window.cmdWebUp.click();
    EXPECT_EQ(window.statusText,
              u"大会一覧を読み込めませんでした (サーバーから応答がありません): "
              u"http://127.0.0.1:1/swim/2010/list.txt  送信していません");
    EXPECT_EQ(window.mousePointer, MousePointer::Default);

    // The server refuses the list.
    window.txtTaikai.setText(m.serverBase());
    m.server().serve("/swim/2010/list.txt", "");
    m.server().answerPutWith(403);
    window.cmdWebUp.click();
    EXPECT_EQ(window.statusText, u"送信できませんでした: " + m.serverBase() + u"2010/list.dat");
}

TEST(MeetListUpload, EntryLine) {
    EXPECT_EQ(meetListEntryLine(u"1234567", u"県選手権"), u",\"1234567 県選手権\"\r\n");
    EXPECT_EQ(meetListEntryLine(u"", u""), u",\" \"\r\n");
}

}  // namespace
}  // namespace quendro
