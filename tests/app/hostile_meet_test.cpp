// The meet's road in internet mode against servers and disks that fail: the
// files on disk and the meet in the window always belong to the same good
// import, nothing half-arrived is stored, and the status line says what failed.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/main_window.h"
#include "platform/text_rules.h"
#include "store/meet_code.h"
#include "tests/support/raw_server.h"
#include "tests/support/record_bytes.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::RecordBytes;
using test::sjis;
using test::SmallDisk;
using test::TestMachine;
using test::writeFile;

const fs::path kSample = fs::path(QUENDRO_TEST_DATA) / "sample_records";

std::string header(const std::u16string& name) {
    std::u16string text =
        u"D:\\kekka\\,KEKKA.DAT,2026001," + name + u",略,20260725,20260726,会場,1";
    for (int i = 10; i <= 73; ++i) text += u",0";
    return sjis(text + u"\r\n");
}

std::string ind2(const std::vector<const char*>& numbers) {
    std::string file = RecordBytes(128).int32(0, static_cast<std::int32_t>(numbers.size())).str();
    for (const char* number : numbers)
        file += RecordBytes(128).bytes(11, number).bytes(25, "NAME").str();
    return file;
}

class HostileMeetTest : public ::testing::Test {
  protected:
    HostileMeetTest() {
        window.txtTaikai.setText(m.serverBase());
        window.webMode = 1;
        window.seasonYear = u"2026";
        window.meetCode = u"2026001";
    }
    void serve(const std::string& file, std::string body, int status = 200) {
        m.server().serve("/swim/2026/2026001/" + file, std::move(body), status);
    }
    // Meet A, imported well: its files and its window state.
    void importMeetA() {
        serve("taikai.txt", readFile(kSample / "taikai.dat"));
        serve("ind2.txt", ind2({"1201", "1202", "1305", "1306", "1401", "1402"}));
        serve("kijun.txt", header(u"大会A"));
        window.cmdKakutei.click();
        ASSERT_EQ(window.txtNa.text(), u"大会A");
        for (const char* name : {"taikai.dat", "ind2.dat", "kijun.dat"})
            filesOfA[name] = readFile(m.workingFolder() / name);
        swimsOfA = window.swimTable;
        hitsOfA = window.hitCount;
    }
    void expectMeetAStays() {
        for (const auto& [name, bytes] : filesOfA)
            EXPECT_EQ(readFile(m.workingFolder() / name), bytes) << name;
        EXPECT_EQ(window.swimTable, swimsOfA);
        EXPECT_EQ(window.txtNa.text(), u"大会A");
        EXPECT_EQ(window.mousePointer, MousePointer::Default);
        // The next keystroke lists A's competitors against A's swims.
        window.txtBango.setText(u"1");
        EXPECT_EQ(window.hitCount, hitsOfA);
        for (const auto& entry : fs::directory_iterator(m.workingFolder()))
            EXPECT_EQ(entry.path().string().find(".new"), std::string::npos) << entry.path();
    }

    TestMachine m;
    MainWindow window{m.machine()};
    std::map<std::string, std::string> filesOfA;
    std::vector<std::u16string> swimsOfA;
    int hitsOfA = 0;
};

TEST_F(HostileMeetTest, AnErrorAnswerForAnyMeetFileLeavesTheLastGoodMeet) {
    struct Case {
        const char* failing;
        int status;
        const char16_t* word;
    };
    const Case cases[] = {
        {"taikai.txt", 404, u"ダウンロードできませんでした (サーバーにありません（HTTP 404）): "},
        {"ind2.txt", 500, u"ダウンロードできませんでした (サーバー内部のエラーです（HTTP 500）): "},
        {"kijun.txt", 404, u"ダウンロードできませんでした (サーバーにありません（HTTP 404）): "},
        {"kijun.txt", 403, u"ダウンロードできませんでした (サーバーに断られました（HTTP 403）): "},
    };
    importMeetA();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        // Meet B: other competitors and another header, one file answered with an error.
        serve("ind2.txt", ind2({"9001"}));
        serve("kijun.txt", header(u"大会B"));
        serve(c.failing, "<HTML>error</HTML>", c.status);
        window.cmdKakutei.click();
        EXPECT_EQ(window.statusText,
                  c.word + m.serverBase() + u"2026/2026001/" + fromUtf8(c.failing));
        expectMeetAStays();
        serve("taikai.txt", readFile(kSample / "taikai.dat"));
    }
}

TEST_F(HostileMeetTest, ServersThatStallCutOrNeverEndLeaveTheLastGoodMeet) {
    importMeetA();
    const std::function<void(test::RawServer&, int)> behaviours[] = {
        [](test::RawServer&, int socket) { test::RawServer::closeMidBody(socket, 5000, 200); },
        [](test::RawServer& s, int socket) { s.endlessBody(socket); },
    };
    for (const auto& behaviour : behaviours) {
        test::RawServer server(behaviour);
        window.txtTaikai.setText(fromUtf8(server.base() + "/swim/"));
        window.cmdKakutei.click();
        EXPECT_EQ(window.statusText.substr(0, 6), u"ダウンロード");
        expectMeetAStays();
    }
}

// The working folder missing, read-only or on a full disk: the import, the
// season list, the lap file and the upload say so, and nothing old is lost.
TEST_F(HostileMeetTest, AWorkingFolderThatCannotBeWritten) {
    importMeetA();
    // Missing: it is made again and the import goes through.
    fs::remove_all(m.driveC() / "quendro");
    window.cmdKakutei.click();
    EXPECT_EQ(readFile(m.workingFolder() / "kijun.dat"), filesOfA["kijun.dat"]);
    EXPECT_EQ(window.statusText.substr(0, 6), u"読み込みまし");

    for (SmallDisk::Kind kind : {SmallDisk::Kind::ReadOnly, SmallDisk::Kind::Full}) {
        SCOPED_TRACE(kind == SmallDisk::Kind::Full ? "full" : "read-only");
        SmallDisk disk(m.workingFolder(), kind);
        if (!disk.mounted()) GTEST_SKIP() << "skipped: " << disk.why();
        const std::u16string why =
            kind == SmallDisk::Kind::ReadOnly ? u"書き込み禁止" : u"保存に失敗";
        const std::u16string word =
            u"作業フォルダに書き込めません (" + why + u"): c:\\quendro\\temp";

        serve("kijun.txt", header(u"大会B"));
        window.cmdKakutei.click();
        EXPECT_EQ(window.statusText, word);
        serve("kijun.txt", header(u"大会A"));
        expectMeetAStays();

        m.server().serve("/swim/2026/list.txt", ",\"2026001 A\"\r\n");
        window.optWeb.select(1);  // builds the season list
        EXPECT_EQ(window.statusText, word);
        EXPECT_EQ(window.lstTaikai.listCount(), 0);

        serve("lap/r0001.txt", "4,31.25,G\r\n");
        window.lstNamae.setListIndex(0);
        window.lstShumoku.setListIndex(0);
        EXPECT_EQ(window.statusText, word);
        EXPECT_EQ(window.splitCount, 0);

        // A season list without this meet, so that the upload has to write.
        m.server().serve("/swim/2026/list.txt", ",\"2026009 B\"\r\n");
        window.cmdWebUp.enabled = true;
        window.cmdWebUp.click();
        EXPECT_EQ(window.statusText, word);
        EXPECT_TRUE(m.server().putBody("/swim/2026/list.dat").empty());
    }
}

TEST_F(HostileMeetTest, TheSeasonList) {
    struct Case {
        const char* season;
        int status;
        std::vector<std::u16string> entries;
        MeetListOutcome outcome;
    };
    m.server().serve("/swim/2026/list.txt", ",\"2026001 A\"\r\n,,\r\n");
    m.server().serve("/swim/2025/list.txt", "<HTML>trouble</HTML>", 500);
    const Case cases[] = {
        {"2026", 200, {u"", u"2026001 A", u"", u"", u""}, MeetListOutcome::Listed},
        {"2027", 404, {}, MeetListOutcome::NoFolder},
        {"2025", 500, {}, MeetListOutcome::Failed},
    };
    window.optWeb.select(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.season);
        window.txtNendo.setText(fromUtf8(c.season));
        EXPECT_EQ(window.lstTaikai.items(), c.entries);
        EXPECT_EQ(window.meetListOutcome, c.outcome);
        EXPECT_EQ(window.statusText.empty(), c.status == 200);
        // An error page is never stored as the list.
        EXPECT_EQ(fs::exists(m.workingFolder() / "list.dat"), c.status == 200);
    }
}

TEST_F(HostileMeetTest, TheUploadNeverSendsAPartOfTheList) {
    window.seasonYear = u"2026";
    window.txtCode.setText(u"2026002");
    window.txtRyaku.setText(u"県選");
    const std::string entry = sjis(u",\"2026002 県選\"\r\n");
    struct Case {
        const char* name;
        std::function<void()> setUp;
        bool sent;
        std::string body;  // what reaches the server, and the working copy
    };
    const std::string older = ",\"2026001 A\"\r\n";
    const Case cases[] = {
        {"no list yet (404)", [] {}, true, entry},
        {"a list", [&] { m.server().serve("/swim/2026/list.txt", older); }, true, older + entry},
        {"server error", [&] { m.server().serve("/swim/2026/list.txt", older, 500); }, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestMachine fresh;
        MainWindow w(fresh.machine());
        w.txtTaikai.setText(fresh.serverBase());
        w.seasonYear = u"2026";
        w.txtCode.setText(u"2026002");
        w.txtRyaku.setText(u"県選");
        w.cmdWebUp.enabled = true;
        writeFile(fresh.workingFolder() / "list.dat", "the last good copy");
        m.server().serve("/swim/2026/list.txt", "", 404);
        c.setUp();
        // The window under test talks to m's server.
        w.txtTaikai.setText(m.serverBase());
        m.server().keepPuts();
        size_t requests = m.server().requests().size();
        w.cmdWebUp.click();
        // Sent: the GET, the PUT and the GET that reads the list back.
        std::vector<std::string> all = m.server().requests();
        EXPECT_EQ(all.size(), requests + (c.sent ? 3 : 1));
        if (c.sent) {
            EXPECT_EQ(all[requests + 1].substr(0, 3), "PUT");
        }
        if (c.sent) {
            EXPECT_EQ(m.server().putBody("/swim/2026/list.dat"), c.body);
        }
        EXPECT_EQ(readFile(fresh.workingFolder() / "list.dat"),
                  c.sent ? c.body : "the last good copy");
        EXPECT_EQ(w.statusText.substr(0, 6), c.sent ? u"大会一覧を送" : u"大会一覧を読");
        EXPECT_EQ(w.mousePointer, MousePointer::Default);
    }
    // A list cut short: nothing goes back.
    test::RawServer cut(
        [](test::RawServer&, int socket) { test::RawServer::closeMidBody(socket, 4000, 100); });
    window.txtTaikai.setText(fromUtf8(cut.base() + "/swim/"));
    window.cmdWebUp.enabled = true;
    window.cmdWebUp.click();
    EXPECT_EQ(cut.connections(), 1);  // the download only, no PUT
    EXPECT_EQ(window.statusText.substr(0, 6), u"大会一覧を読");
}

TEST_F(HostileMeetTest, AnErrorAnswerForALapFileIsNoLapFile) {
    importMeetA();
    serve("lap/r0001.txt", "4,31.25,,0,0,0,0,0,0\r\n4,1:05.40,G,0,0,0,0,0,0\r\n");
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(0);
    // The meet's 25 m pool needs four splits for the 100 m; the "G" record is
    // the finish and gives its place to the final time at 100 m.
    ASSERT_EQ(window.splitCount, 4);
    const std::string kept = readFile(m.workingFolder() / "t.txt");

    serve("lap/r0001.txt", "<HTML>Not Found</HTML>", 404);
    window.lstShumoku.choose(0);
    EXPECT_EQ(window.splitCount, 0);
    EXPECT_EQ(readFile(m.workingFolder() / "t.txt"), kept);  // the error page is not stored
    EXPECT_EQ(window.statusText,
              u"ラップファイルを読めませんでした: (サーバーにありません（HTTP 404）) " +
                  m.serverBase() + u"2026/2026001/lap/r0001.txt");
}

TEST_F(HostileMeetTest, TheWordsOfTheImportAreShownBeforeItsDownloads) {
    importMeetA();
    size_t requestsBefore = m.server().requests().size();
    std::vector<std::u16string> shown;
    window.onShowWork = [&] {
        // Nothing was asked of the server yet, and the window already says what it does.
        EXPECT_EQ(m.server().requests().size(), requestsBefore);
        EXPECT_EQ(window.mousePointer, MousePointer::Hourglass);
        shown.push_back(window.txtNa.text() + u"|" + window.lblWeb.caption);
    };
    window.cmdKakutei.click();
    EXPECT_EQ(shown,
              std::vector<std::u16string>{u"読み込み中|" + m.serverBase() + u"2026/2026001/"});
}

// A meet code from the season list becomes a folder of the address only when it
// is a meet's name: "..", a path or a code of eight characters fetches nothing,
// and the meet shown before stays.
TEST_F(HostileMeetTest, AMeetCodeThatIsNoNameFetchesNothing) {
    importMeetA();
    for (const std::u16string& code : {std::u16string(u"20 1/../x?"), std::u16string(u".."),
                                       std::u16string(u"20260011"), std::u16string(u""),
                                       std::u16string(u"2026\0", 5)}) {
        SCOPED_TRACE(toUtf8(code));
        size_t before = m.server().requests().size();
        window.meetCode = code;
        window.cmdKakutei.click();
        EXPECT_EQ(m.server().requests().size(), before);
        EXPECT_EQ(window.importOutcome, ImportOutcome::Refused);
        EXPECT_EQ(window.statusText, meetCodeRefusal(code) + u"  読み込みません");
        EXPECT_EQ(window.statusText.find(u'\0'), std::u16string::npos);
        expectMeetAStays();
    }
    window.meetCode = u"2026001";  // seven characters: a name
    window.cmdKakutei.click();
    EXPECT_EQ(window.importOutcome, ImportOutcome::Imported);
}

// A code that is no name, chosen after a good import, never becomes the
// address of a lap file either: the swims of the meet shown read nothing and
// say why.
TEST_F(HostileMeetTest, ALapFileIsNeverFetchedUnderACodeThatIsNoName) {
    importMeetA();
    window.meetCode = u"..";
    size_t before = m.server().requests().size();
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(0);
    EXPECT_EQ(m.server().requests().size(), before);
    EXPECT_EQ(window.splitCount, 0);
    EXPECT_EQ(window.statusText,
              u"ラップファイルを読めませんでした: " + meetCodeRefusal(u".."));
    // The meet's own code fetches the same swim's lap file again.
    window.meetCode = u"2026001";
    window.lstShumoku.setListIndex(-1);
    window.lstShumoku.setListIndex(0);
    ASSERT_EQ(m.server().requests().size(), before + 1);
    EXPECT_TRUE(m.server().requests().back().starts_with("GET /swim/2026/2026001/lap/r"))
        << m.server().requests().back();
}

}  // namespace
}  // namespace quendro
