#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/main_window.h"
#include "platform/text_rules.h"
#include "store/meet_list_upload.h"
#include "store/season_list.h"
#include "tests/support/raw_server.h"
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
        m.server().keepPuts();
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

// The season's list goes back to the server only whole and with the meet in it
// once; the working copy list.dat takes the new list only when the server has
// taken it. A list whose last line has no line end came cut short on its way.
TEST_F(UploadTest, TheListGoesOutOnlyWholeWithTheMeetOnce) {
    const std::string other = sjis(u",\"7654321 DEF\"\r\n");
    const std::string entry = sjis(u",\"1234567 県選手権\"\r\n");
    const std::string bound(kSeasonListMaxBytes - 2, 'x');
    struct Case {
        const char* what;
        std::optional<std::string> list;  // none: the season has no list yet (404)
        std::u16string code;
        int putStatus;
        UploadOutcome outcome;
        std::string sent;  // the body that reached the server; empty: no PUT at all
    };
    const Case cases[] = {
        {"a list of another meet", other, u"1234567", 201, UploadOutcome::Sent, other + entry},
        {"no list yet", std::nullopt, u"1234567", 201, UploadOutcome::Sent, entry},
        {"an empty list", "", u"1234567", 204, UploadOutcome::Sent, entry},
        {"cut inside its last entry", other + ",\"2026", u"1234567", 201,
         UploadOutcome::Refused, ""},
        {"no line end after its last entry", ",\"7654321 DEF\"", u"1234567", 201,
         UploadOutcome::Refused, ""},
        {"the meet listed already", other + entry, u"1234567", 201,
         UploadOutcome::AlreadyListed, ""},
        {"the meet listed under another name", sjis(u",\"1234567 旧名\"\r\n"), u"1234567", 201,
         UploadOutcome::AlreadyListed, ""},
        {"exactly the largest list", bound + "\r\n", u"1234567", 201, UploadOutcome::Sent,
         bound + "\r\n" + entry},
        {"one byte past the largest list", bound + "x\r\n", u"1234567", 201,
         UploadOutcome::Refused, ""},
        {"the server refuses", other, u"1234567", 500, UploadOutcome::Failed, ""},
        {"the server sends it elsewhere", other, u"1234567", 307, UploadOutcome::Failed, ""},
        {"no meet code", other, u"", 201, UploadOutcome::Refused, ""},
        {"a code of eight characters", other, u"12345678", 201, UploadOutcome::Refused, ""},
        {"a code of six characters", other, u"123456", 201, UploadOutcome::Refused, ""},
        {"a code of three characters", other, u"ABC", 201, UploadOutcome::Refused, ""},
        {"a code that is a path", other, u"../2024", 201, UploadOutcome::Refused, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestMachine machine;
        MainWindow w{machine.machine()};
        w.txtTaikai.setText(machine.serverBase());
        w.seasonYear = u"2010";
        w.txtCode.setText(c.code);
        w.txtRyaku.setText(u"県選手権");
        w.cmdWebUp.enabled = true;
        writeFile(machine.workingFolder() / "list.dat", "an older copy");
        if (c.list) machine.server().serve("/swim/2010/list.txt", *c.list);
        machine.server().answerPutWith(c.putStatus);
        machine.server().keepPuts();
        w.cmdWebUp.click();
        EXPECT_EQ(w.uploadOutcome, c.outcome);
        EXPECT_EQ(w.mousePointer, MousePointer::Default);
        EXPECT_FALSE(w.statusText.empty());
        bool put = false;
        for (const std::string& request : machine.server().requests())
            put = put || request.starts_with("PUT ");
        if (c.outcome == UploadOutcome::Sent) {
            EXPECT_EQ(machine.server().putBody("/swim/2010/list.dat"), c.sent);
            EXPECT_EQ(readFile(machine.workingFolder() / "list.dat"), c.sent);
        } else {
            EXPECT_EQ(put, c.outcome == UploadOutcome::Failed);
            EXPECT_EQ(readFile(machine.workingFolder() / "list.dat"), "an older copy");
        }
        EXPECT_FALSE(fs::exists(machine.workingFolder() / "list.up"));
    }
}

// A server that closes the connection in the middle of a list sent without
// Content-Length: libcurl takes what came as the whole body, and only its
// missing line end tells that it was cut.
TEST_F(UploadTest, AListCutByAClosedConnectionIsNotSentBack) {
    test::RawServer cut([](test::RawServer&, int socket) {
        test::RawServer::send(socket,
                              "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n"
                              ",\"7654321 DEF\"\r\n,\"765");
    });
    window.txtTaikai.setText(fromUtf8(cut.base()) + u"/swim/");
    window.cmdWebUp.click();
    EXPECT_EQ(window.uploadOutcome, UploadOutcome::Refused);
    EXPECT_EQ(window.statusText, u"大会一覧が途中で切れています（最後の行に改行がありません）: " +
                                     fromUtf8(cut.base()) + u"/swim/2010/list.txt  送信していません");
    EXPECT_EQ(cut.connections(), 1);  // the GET alone: no PUT followed
}

// The list is sent back only from a body whose end the server stated, and
// read back after: the meet and every entry it held before must be there.
TEST_F(UploadTest, TheListIsRewrittenOnlyFromABodyOfStatedLengthAndReadBack) {
    const std::string list = sjis(u",\"7654321 DEF\"\r\n,\"7654322 GHI\"\r\n");
    const std::string entry = sjis(u",\"1234567 県選手権\"\r\n");
    using End = test::RawListServer::End;
    struct Case {
        const char* what;
        End end;
        int dropPuts;
        UploadOutcome outcome;
        int puts;
        std::string held;  // the server's list afterwards
    };
    const Case cases[] = {
        {"no length, closed at a line end", End::Unstated, 0, UploadOutcome::Refused, 0, list},
        {"chunked, to its last chunk", End::Chunked, 0, UploadOutcome::Sent, 1, list + entry},
        {"Content-Length", End::Length, 0, UploadOutcome::Sent, 1, list + entry},
        {"a server that drops the list", End::Length, 1, UploadOutcome::NotKept, 1, list},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::RawListServer server(list, c.end, c.dropPuts);
        writeFile(m.workingFolder() / "list.dat", "an older copy");
        window.txtTaikai.setText(fromUtf8(server.base()) + u"/swim/");
        window.cmdWebUp.click();
        EXPECT_EQ(window.uploadOutcome, c.outcome);
        EXPECT_EQ(server.puts(), c.puts);
        EXPECT_EQ(server.list(), c.held);
        EXPECT_EQ(readFile(m.workingFolder() / "list.dat"),
                  c.outcome == UploadOutcome::Sent ? c.held : "an older copy");
    }
}

TEST_F(UploadTest, FailuresLeaveTheProgramRunningAndSaySo) {
    // The season's list cannot be had: nothing is sent.
    window.txtTaikai.setText(u"http://127.0.0.1:1/swim/");
    window.cmdWebUp.click();
    EXPECT_EQ(window.statusText,
              u"大会一覧を読み込めませんでした (サーバーに接続できません): "
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
