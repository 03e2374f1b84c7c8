#include "app/meet_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "app/main_window.h"
#include "platform/curl_options.h"
#include "platform/text_rules.h"
#include "store/server_addresses.h"
#include "store/season_list.h"
#include "tests/support/nginx_publisher.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::sjis;
using test::TestMachine;
using test::writeFile;

// Two lines, each a comma and one quoted entry, as the upload appends them.
const std::string kList = sjis(u",\"1234567 ABC\"\r\n,\"7654321 県選手権\"\r\n");

class MeetListTest : public ::testing::Test {
  protected:
    MeetListTest() {
        m.server().serve("/swim/2010/list.txt", kList);
        window.txtTaikai.setText(m.serverBase());
    }

    // The working folder as an earlier import left it.
    void leaveImportedMeet() {
        for (const char* name : {"taikai.dat", "ind2.dat", "kijun.dat"})
            writeFile(m.workingFolder() / name, "x");
    }

    std::u16string base() const { return m.serverBase(); }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(MeetListTest, StartUpListsTheSeasonsMeets) {
    leaveImportedMeet();
    window.Form_Load();
    EXPECT_EQ(window.lstTaikai.items(),
              (std::vector<std::u16string>{u"", u"1234567 ABC", u"", u"7654321 県選手権"}));
    EXPECT_EQ(readFile(m.workingFolder() / "list.dat"), kList);  // stored byte for byte
    EXPECT_FALSE(fs::exists(m.workingFolder() / "taikai.dat"));
    EXPECT_FALSE(fs::exists(m.workingFolder() / "ind2.dat"));
    EXPECT_TRUE(fs::exists(m.workingFolder() / "kijun.dat"));
    EXPECT_EQ(window.mousePointer, MousePointer::Default);
    EXPECT_TRUE(window.statusText.empty());
}

// A season's list is listed up to its bounds; one byte or one entry past them
// is no season's list and is neither kept nor listed.
TEST_F(MeetListTest, AListPastTheBoundsOfASeasonIsNotListed) {
    struct Case {
        const char* what;
        std::string list;
        int entries;  // -1: refused
    };
    const Case cases[] = {
        {"exactly the largest list", std::string(kSeasonListMaxBytes - 2, 'x') + "\r\n", 1},
        {"a byte more", std::string(kSeasonListMaxBytes - 1, 'x') + "\r\n", -1},
        {"exactly the most entries", std::string(kSeasonListMaxEntries - 1, ',') + "\r\n",
         static_cast<int>(kSeasonListMaxEntries)},
        {"an entry more", std::string(kSeasonListMaxEntries, ',') + "\r\n", -1},
        {"sixteen megabytes of commas", std::string(16 << 20, ','), -1},
    };
    window.Form_Load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(m.workingFolder() / "list.dat");
        m.server().serve("/swim/2011/list.txt", c.list);
        window.txtNendo.setText(u"2011");
        if (c.entries < 0) {
            EXPECT_EQ(window.lstTaikai.listCount(), 0);
            EXPECT_EQ(window.statusText,
                      u"大会一覧が大きすぎます（1 MB・10000 件まで）: " + base() + u"2011/list.txt");
            EXPECT_FALSE(fs::exists(m.workingFolder() / "list.dat"));
        } else {
            EXPECT_EQ(window.lstTaikai.listCount(), c.entries);
            // Entries all empty name no meet yet: listed all the same.
            EXPECT_EQ(window.meetListOutcome, c.list[0] == ',' ? MeetListOutcome::NoListYet
                                                               : MeetListOutcome::Listed);
        }
        EXPECT_EQ(window.mousePointer, MousePointer::Default);
        window.txtNendo.setText(u"2010");
    }
}

TEST_F(MeetListTest, EveryKeystrokeOfTheSeasonFetchesAList) {
    window.Form_Load();
    window.txtNendo.setText(u"");
    for (std::u16string typed : {u"2", u"20", u"200", u"2009"}) {
        leaveImportedMeet();
        window.txtNendo.setText(typed);
        EXPECT_FALSE(fs::exists(m.workingFolder() / "taikai.dat"));
    }
    auto requests = m.server().requests();
    std::vector<std::string> last(requests.end() - 4, requests.end());
    EXPECT_EQ(last,
              (std::vector<std::string>{"GET /swim/2/list.txt", "GET /swim/20/list.txt",
                                        "GET /swim/200/list.txt", "GET /swim/2009/list.txt"}));
    EXPECT_EQ(window.lblWeb.caption, base() + u"2009/");
    // The server answered the unknown seasons with 404: it has no such
    // folder, and its error page is never listed.
    EXPECT_EQ(window.lstTaikai.listCount(), 0);
    EXPECT_EQ(window.meetListOutcome, MeetListOutcome::NoFolder);
}

// The base address typed without its closing "/" or its "http://" reaches
// the same season folder, as the programs take it.
TEST_F(MeetListTest, ABaseAddressIsMadeWholeAsTyped) {
    const std::u16string whole = base();  // "http://127.0.0.1:<port>/swim/"
    struct Case {
        std::u16string typed;
        std::u16string list;  // the address of the season's list
    };
    const Case cases[] = {
        {whole, whole + u"2010/list.txt"},
        {whole.substr(0, whole.size() - 1), whole + u"2010/list.txt"},
        {whole.substr(7), whole + u"2010/list.txt"},
        {whole.substr(7, whole.size() - 8), whole + u"2010/list.txt"},
        {u"HTTP://h/swim", u"HTTP://h/swim/2010/list.txt"},
        {u"https://h/swim/", u"https://h/swim/2010/list.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(meetListUrl(c.typed, u"2010"), c.list) << toUtf8(c.typed);
    }
    window.txtTaikai.setText(whole.substr(7, whole.size() - 8));
    window.Form_Load();
    EXPECT_EQ(window.lstTaikai.listCount(), 4) << toUtf8(window.statusText);
    EXPECT_TRUE(window.statusText.empty());
    EXPECT_EQ(meetListUrl(u"", u"2010"), u"2010/list.txt");
}

TEST_F(MeetListTest, ChoosingAMeetSetsItsCode) {
    window.Form_Load();
    window.lstTaikai.setListIndex(1);
    EXPECT_EQ(window.meetCode, u"1234567");
    EXPECT_EQ(window.lblWeb.caption, base() + u"2010/1234567/");
    window.lstTaikai.setListIndex(3);
    EXPECT_EQ(window.meetCode, u"7654321");
    window.lstTaikai.setListIndex(2);
    EXPECT_EQ(window.meetCode, u"");
    EXPECT_EQ(window.lblWeb.caption, base() + u"2010//");
}

TEST_F(MeetListTest, LocalAndInternet) {
    fs::create_directories(m.driveD() / "meet");
    fs::create_directories(m.driveD() / "other");
    writeFile(m.siteControlFile(), sjis(u"1,D:\\meet\r\n"));
    window.Form_Load();

    window.optWeb.select(0);
    EXPECT_EQ(window.webMode, 0);
    EXPECT_EQ(window.lstTaikai.listCount(), 0);
    EXPECT_FALSE(window.lstTaikai.enabled);
    EXPECT_TRUE(window.cmdWebUp.enabled);
    EXPECT_TRUE(window.Dir1.enabled);
    EXPECT_EQ(window.lblWeb.caption, u"D:\\meet\\");

    // In local mode a season change only stores the season.
    auto before = m.server().requests().size();
    window.txtNendo.setText(u"2011");
    EXPECT_EQ(window.seasonYear, u"2011");
    EXPECT_EQ(window.lblWeb.caption, u"D:\\meet\\");
    EXPECT_EQ(m.server().requests().size(), before);

    window.Dir1.setPath(u"D:\\other");
    EXPECT_EQ(window.selectedDir, u"D:\\other\\");
    EXPECT_EQ(window.lblWeb.caption, u"D:\\other\\");
    // The drive list shows the folder's drive; a drive chosen the first time
    // shows its top folder, later the folder it showed last.
    EXPECT_EQ(window.Drive1.drive(), u"d:");
    window.Drive1.setDrive(u"c:");
    EXPECT_EQ(window.Dir1.path(), u"C:\\");
    EXPECT_EQ(window.selectedDir, u"C:\\\\");
    window.Drive1.setDrive(u"d:");
    EXPECT_EQ(window.Dir1.path(), u"D:\\other");
    EXPECT_EQ(window.selectedDir, u"D:\\other\\");

    window.txtNendo.setText(u"2010");
    window.optWeb.select(1);
    EXPECT_EQ(window.webMode, 1);
    EXPECT_FALSE(window.cmdWebUp.enabled);
    EXPECT_FALSE(window.Drive1.enabled);
    EXPECT_FALSE(window.Dir1.enabled);
    EXPECT_TRUE(window.lstTaikai.enabled);
    EXPECT_EQ(window.lstTaikai.listCount(), 4);
    EXPECT_EQ(window.lblWeb.caption, base() + u"2010/");
}

TEST_F(MeetListTest, TheFirstBuildMakesTheWorkingFolder) {
    ASSERT_FALSE(fs::exists(m.driveC() / "quendro"));
    window.Form_Load();
    EXPECT_EQ(readFile(m.workingFolder() / "list.dat"), kList);
    EXPECT_EQ(window.lstTaikai.listCount(), 4);
}

TEST_F(MeetListTest, AServerThatCannotBeReachedLeavesAnEmptyListAndAWord) {
    window.Form_Load();
    leaveImportedMeet();
    int closedPort;
    {
        test::HttpTestServer gone;
        closedPort = std::stoi(gone.base().substr(gone.base().rfind(':') + 1));
    }
    std::string unreachable = "http://127.0.0.1:" + std::to_string(closedPort) + "/swim/";
    window.txtTaikai.setText(std::u16string(unreachable.begin(), unreachable.end()));
    window.optWeb.select(0);
    window.optWeb.select(1);
    EXPECT_EQ(window.lstTaikai.listCount(), 0);
    EXPECT_FALSE(fs::exists(m.workingFolder() / "taikai.dat"));  // deleted all the same
    EXPECT_TRUE(fs::exists(m.workingFolder() / "kijun.dat"));
    EXPECT_EQ(window.mousePointer, MousePointer::Default);
    EXPECT_EQ(window.meetListOutcome, MeetListOutcome::NoServer);
}

// True when the words hold no English: no Latin letters but those of "HTTP".
bool inJapanese(std::u16string words) {
    for (size_t at; (at = words.find(u"HTTP")) != std::u16string::npos;) words.erase(at, 4);
    return std::none_of(words.begin(), words.end(), [](char16_t c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
}

// Every failure reads in Japanese by its kind, never in the transfer library's
// English. The season list's outcomes through the window, against a real
// server; the library's codes that no server here gives, by their code.
TEST_F(MeetListTest, EveryFailureIsToldInJapaneseByItsKind) {
    const std::u16string refused = u"http://127.0.0.1:" + decimalText(test::freeLoopbackPort()) + u"/swim/";
    m.server().serve("/swim/2030/list.txt", "<HTML><BODY>Welcome</BODY></HTML>\r\n");
    m.server().serve("/swim/2031/list.txt", std::string("\x00\x01\x02\xFF\r\n", 6));
    m.server().serve("/swim/2032/list.txt", "");
    m.server().serve("/swim/2033/list.txt", "<HTML>trouble</HTML>", 503);
    const std::u16string b = base();
    struct ListCase {
        const char16_t* season;
        std::u16string base;
        MeetListOutcome outcome;
        std::u16string word;
    };
    const ListCase lists[] = {
        {u"2011", refused, MeetListOutcome::NoServer,
         u"大会一覧を読み込めませんでした (サーバーに接続できません): " + refused + u"2011/list.txt"},
        {u"2009", b, MeetListOutcome::NoFolder, u"サーバーにこの年度のフォルダがありません: " + b + u"2009/"},
        {u"2033", b, MeetListOutcome::Failed,
         u"大会一覧を読み込めませんでした (サーバー内部のエラーです（HTTP 503）): " + b + u"2033/list.txt"},
        {u"2030", b, MeetListOutcome::NotAList, u"サーバーの答えは大会一覧ではありません: " + b + u"2030/list.txt"},
        {u"2031", b, MeetListOutcome::NotAList, u"サーバーの答えは大会一覧ではありません: " + b + u"2031/list.txt"},
        {u"2032", b, MeetListOutcome::NoListYet, u"この年度の大会一覧はまだありません: " + b + u"2032/list.txt"},
        {u"2010", b, MeetListOutcome::Listed, u""},
    };
    window.Form_Load();
    for (const ListCase& c : lists) {
        SCOPED_TRACE(toUtf8(c.season));
        window.txtTaikai.setText(c.base);
        window.txtNendo.setText(c.season);
        EXPECT_EQ(window.meetListOutcome, c.outcome);
        EXPECT_EQ(window.statusText, c.word);
        EXPECT_EQ(window.lstTaikai.listCount(), c.outcome == MeetListOutcome::Listed ? 4 : 0);
        // Only a season's list is kept as the working copy.
        EXPECT_EQ(fs::exists(m.workingFolder() / "list.dat"),
                  c.outcome == MeetListOutcome::Listed || c.outcome == MeetListOutcome::NoListYet);
    }

    struct CodeCase {
        CURLcode code;
        TransferEnd end;  // connected, answered, past the size cap
        DownloadFailure kind;
    };
    const CodeCase codes[] = {
        {CURLE_COULDNT_RESOLVE_HOST, {}, DownloadFailure::NoHost},
        {CURLE_COULDNT_CONNECT, {}, DownloadFailure::NoConnection},
        {CURLE_OPERATION_TIMEDOUT, {}, DownloadFailure::TimedOut},
        {CURLE_OPERATION_TIMEDOUT, {true}, DownloadFailure::Stalled},
        {CURLE_GOT_NOTHING, {true}, DownloadFailure::NoAnswer},
        {CURLE_RECV_ERROR, {true}, DownloadFailure::NoAnswer},
        {CURLE_RECV_ERROR, {true, true}, DownloadFailure::CutShort},
        {CURLE_WRITE_ERROR, {true, true}, DownloadFailure::CutShort},
        {CURLE_WRITE_ERROR, {true, true, true}, DownloadFailure::TooLarge},
        {CURLE_URL_MALFORMAT, {}, DownloadFailure::BadAddress},
        {CURLE_UNSUPPORTED_PROTOCOL, {}, DownloadFailure::BadAddress},
        {CURLE_TOO_MANY_REDIRECTS, {true, true}, DownloadFailure::BadRedirect},
        {CURLE_PEER_FAILED_VERIFICATION, {true}, DownloadFailure::Certificate},
        {CURLE_SSL_CONNECT_ERROR, {true}, DownloadFailure::SecureLink},
        {CURLE_BAD_CONTENT_ENCODING, {true, true}, DownloadFailure::Damaged},
        {CURLE_ABORTED_BY_CALLBACK, {true}, DownloadFailure::Cancelled},
        {CURLE_OUT_OF_MEMORY, {}, DownloadFailure::Other},
    };
    std::set<DownloadFailure> kinds;
    std::set<std::u16string> words;
    for (const CodeCase& c : codes) {
        EXPECT_EQ(failureOfCode(c.code, c.end), c.kind) << "code " << c.code;
        std::u16string word =
            transferFailureWord(c.kind, 0, CertificateProblem::Expired, u"127.0.0.1");
        EXPECT_TRUE(inJapanese(word)) << toUtf8(word);
        kinds.insert(c.kind);
        words.insert(word);
    }
    // An error answer, by its status: each family its own words, naming it.
    const long statuses[] = {400, 401, 403, 404, 500};
    for (long status : statuses) {
        std::u16string word = transferFailureWord(DownloadFailure::ErrorStatus, status);
        EXPECT_NE(word.find(decimalText(status)), std::u16string::npos) << toUtf8(word);
        EXPECT_TRUE(inJapanese(word)) << toUtf8(word);
        words.insert(word);
    }
    EXPECT_EQ(words.size(), kinds.size() + std::size(statuses));
}

TEST(MeetList, EntriesAndCodes) {
    EXPECT_EQ(meetListEntries(u"a,\"b,c\"\r\n\r\nd"),
              (std::vector<std::u16string>{u"a", u"b,c", u"", u"d"}));
    EXPECT_EQ(meetListEntries(u""), std::vector<std::u16string>{});
    EXPECT_EQ(meetCodeOf(u"1234567 ABC"), u"1234567");
    EXPECT_EQ(meetCodeOf(u"123"), u"123");
}

}  // namespace
}  // namespace quendro
