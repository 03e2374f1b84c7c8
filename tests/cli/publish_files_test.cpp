// What quendro-publish sends and what it never sends: meet codes that are no
// names, season lists that are not whole, lap files half written, files that
// are no regular files, damaged record files. Against the project's nginx.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <barrier>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "cli/publish/season_entry.h"
#include "platform/text_rules.h"
#include "store/meet_code.h"
#include "store/season_list.h"
#include "tests/cli/publish_fixture.h"
#include "tests/support/raw_server.h"
#include "tests/support/record_bytes.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace quendro {
namespace {

using test::heldOnServer;
using test::onServer;

using test::countOf;
using test::filesUnder;
using test::NginxPublisher;
using test::readFile;
using test::RunningProgram;
using test::runCommand;
using test::shellQuoted;
using test::sjis;
using test::TestMachine;
using test::waitFor;
using test::writeFile;

class PublishFilesTest : public test::PublishedMeetTest {
  protected:
    void setMeetCode(const std::string& code) {
        writeFile(meet() / "kijun.dat",
                  sjis(u"D:\\meet\\kekka\\,KEKKA.DAT," + fromUtf8(code) + u",県選手権大会,県選手権"));
    }
};

// Item: a meet code is a name, never a path; so is the season.
TEST_F(PublishFilesTest, AMeetCodeThatIsNoNameSendsNothing) {
    ASSERT_TRUE(nginx.running());
    for (std::string code : {"../2024/2026001", "..", "20260011", "a/b", "20 26", "%2E%2E"}) {
        setMeetCode(code);
        test::CommandResult run = publish();
        EXPECT_EQ(run.status, 1) << code;
        EXPECT_NE(run.output.find(toUtf8(meetCodeRefusal(fromUtf8(code)))), std::string::npos)
            << run.output;
        EXPECT_EQ(filesUnder(nginx.tree()), std::vector<std::string>{}) << code;
    }
    // A name too short for a list: its entry's code would read past it.
    for (std::string code : {"ABC", "202600"}) {
        setMeetCode(code);
        test::CommandResult run = publish();
        EXPECT_EQ(run.status, 1) << code;
        EXPECT_NE(run.output.find(toUtf8(listedMeetCodeRefusal(fromUtf8(code)))), std::string::npos)
            << run.output;
        EXPECT_EQ(filesUnder(nginx.tree()), std::vector<std::string>{}) << code;
    }
    for (std::string season : {"202", "20261", "../1", "２０２６"}) {
        setMeetCode("2026001");
        test::CommandResult run = runCommand(test::publishCommand(
            m.root(), "--season " + shellQuoted(season) + " " + shellQuoted(meet().string()) +
                          " " + nginx.base()));
        EXPECT_EQ(run.status, 2) << season;
        EXPECT_NE(run.output.find("年度"), std::string::npos) << run.output;
        EXPECT_EQ(filesUnder(nginx.tree()), std::vector<std::string>{}) << season;
    }
    // Seven letters and digits, the longest code, is a name.
    setMeetCode("AbZ0123");
    test::CommandResult run = publish();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(heldOnServer(served("AbZ0123/kijun.txt")), readFile(meet() / "kijun.dat"));
}

// Item: the season list is never cut, duplicated or lost.
TEST_F(PublishFilesTest, AListNotWholeIsNeverSentBack) {
    ASSERT_TRUE(nginx.running());
    const std::string other = sjis(u",\"2026009 記録会\"\r\n");
    // One line of one entry, exactly n bytes with its line end.
    auto listOf = [](size_t n) { return "\"2026999 " + std::string(n - 12, 'a') + "\"\r\n"; };
    struct Case {
        const char* what;
        std::string list;
        bool sent;
        int status;
    };
    const Case cases[] = {
        {"cut in its last line", other + ",\"20", false, 1},
        {"one byte past 1 MB", listOf(kSeasonListMaxBytes + 1), false, 1},
        {"exactly 1 MB", listOf(kSeasonListMaxBytes), true, 0},
        {"already naming the meet", other + sjis(u",\"2026001 県選手権\"\r\n"), false, 0},
    };
    for (const Case& c : cases) {
        nginx.place("2026/list.txt", c.list);
        test::CommandResult run = publish();
        EXPECT_EQ(run.status, c.status) << c.what << run.output;
        if (c.sent) {
            EXPECT_EQ(heldOnServer(served("list.txt")), c.list + sjis(u",\"2026001 県選手権\"\r\n"))
                << c.what;
        } else {
            EXPECT_EQ(heldOnServer(served("list.txt")), c.list) << c.what;
        }
    }
    EXPECT_NE(publish().output.find("大会一覧には既にあります"), std::string::npos);
}

TEST(SeasonEntryTest, AListBodyCutByAClosedConnectionIsNotSentBack) {
    test::RawServer server([](test::RawServer&, int socket) {
        // No length: the close ends the body, in the middle of an entry.
        test::RawServer::send(socket, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n"
                                      ",\"2026009 a\"\r\n,\"2026");
    });
    HttpClient http;
    SeasonEntryResult result =
        putMeetInSeasonList(http, server.base() + "/swim/2026/list.txt", u"2026001", u"x");
    EXPECT_EQ(result.outcome, SeasonEntry::CutShort);
    EXPECT_EQ(result.uploads, 0);
    EXPECT_EQ(server.connections(), 1);  // the GET alone
}

// The list step rewrites a list only from a body whose end the server stated,
// and tries at most uploadsAtMost times while the server drops what it sends.
TEST(SeasonEntryTest, ListsOfStatedLengthOnlyAndTriesUpToTheLimit) {
    const std::string list = ",\"2026009 a\"\r\n,\"2026008 b\"\r\n";
    const std::string entry = sjis(u",\"2026001 x\"\r\n");
    using End = test::RawListServer::End;
    struct Case {
        const char* what;
        std::u16string code;
        End end;
        int dropPuts;
        SeasonEntry outcome;
        int puts;
        std::string held;
    };
    const Case cases[] = {
        {"no length, closed at a line end", u"2026001", End::Unstated, 0, SeasonEntry::Unstated, 0,
         list},
        {"chunked, to its last chunk", u"2026001", End::Chunked, 0, SeasonEntry::Added, 1,
         list + entry},
        {"Content-Length", u"2026001", End::Length, 0, SeasonEntry::Added, 1, list + entry},
        {"dropped one time less than the limit", u"2026001", End::Length, 2, SeasonEntry::Added, 3,
         list + entry},
        {"dropped every time", u"2026001", End::Length, 100, SeasonEntry::Lost, 3, list},
        {"a code too short for a list", u"ABC", End::Length, 0, SeasonEntry::NotListable, 0, list},
    };
    SeasonEntryPacing pacing{std::chrono::milliseconds(0), std::chrono::milliseconds(0), 3};
    HttpClient http;
    for (const Case& c : cases) {
        test::RawListServer server(list, c.end, c.dropPuts);
        SeasonEntryResult result =
            putMeetInSeasonList(http, server.base() + "/swim/2026/list.txt", c.code, u"x", pacing);
        EXPECT_EQ(result.outcome, c.outcome) << c.what;
        EXPECT_EQ(server.puts(), c.puts) << c.what;
        EXPECT_EQ(result.uploads, c.puts) << c.what;
        EXPECT_EQ(server.list(), c.held) << c.what;
    }
}

// Six publishers adding to one list at once: each entry ends in it, once.
TEST_F(PublishFilesTest, SixPublishersAtOnceEachFindTheirEntryOnce) {
    ASSERT_TRUE(nginx.running());
    HttpClient http;
    for (std::string season : {"2027", "2028", "2029"}) {
        std::barrier start(6);
        std::vector<SeasonEntry> outcomes(6);
        std::vector<std::thread> publishers;
        for (int i = 0; i < 6; ++i) {
            publishers.emplace_back([&, i] {
                start.arrive_and_wait();
                outcomes[i] = putMeetInSeasonList(http, nginx.base() + season + "/list.txt",
                                                  fromUtf8("202600" + std::to_string(i)), u"大会")
                                  .outcome;
            });
        }
        for (auto& t : publishers) t.join();
        std::string list = readFile(nginx.tree() / season / "list.txt");
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(outcomes[i], SeasonEntry::Added) << season << " " << i;
            EXPECT_EQ(countOf(list, "\"202600" + std::to_string(i) + " "), 1) << list;
        }
    }
}

// Item: only whole lines of a lap file go out.
TEST_F(PublishFilesTest, AHalfWrittenLineNeverReachesTheServer) {
    ASSERT_TRUE(nginx.running());
    RunningProgram watch(test::publishCommand(m.root(), arguments("--watch")),
                         m.root() / "watch.log");
    ASSERT_TRUE(waitFor([&] { return fs::exists(served("list.txt")); })) << watch.log();

    struct Case {
        const char* what;
        std::string first, second;  // written with a pause of a second between
    };
    const Case cases[] = {
        {"paused in a line", "1,31.25,G\r\n2,32.", "50,G\r\n3,33.75,G\r\n"},
        {"paused after a CR", "1,31.25,G\r", "\n2,32.50,G\r\n"},
        {"last line never ended", "1,31.25,G\r\n2,32.50", ""},
    };
    int heat = 90;
    for (const Case& c : cases) {
        std::string name = "r00" + std::to_string(heat++);
        fs::path server = served("2026001/lap/" + name + ".txt");
        std::string whole = c.first + c.second;
        std::vector<std::string> seen;
        std::atomic<bool> done{false};
        std::thread look([&] {
            while (!done) {
                std::string now = heldOnServer(server);
                if (seen.empty() || seen.back() != now) seen.push_back(now);
                std::this_thread::sleep_for(10ms);
            }
        });
        writeFile(meet() / "lap" / name, c.first);
        std::this_thread::sleep_for(1000ms);
        if (!c.second.empty()) {
            std::ofstream more(meet() / "lap" / name, std::ios::binary | std::ios::app);
            more << c.second;
        }
        bool arrived = waitFor([&] { return heldOnServer(server) == whole; }, 8s);
        done = true;
        look.join();
        EXPECT_TRUE(arrived) << c.what << "\n" << watch.log();
        for (const std::string& held : seen) {
            bool wholeLines = held.empty() || held.back() == '\n' || held.back() == '\r';
            EXPECT_TRUE(wholeLines || held == whole) << c.what << ": the server held [" << held
                                                     << "]";
        }
    }
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();
}

// Item: a lap file that never rests still reaches the server, its whole lines
// at most about a second after they were written.
TEST_F(PublishFilesTest, ALapFileThatNeverRestsIsSentLineByLine) {
    ASSERT_TRUE(nginx.running());
    RunningProgram watch(test::publishCommand(m.root(), arguments("--watch")),
                         m.root() / "watch.log");
    ASSERT_TRUE(waitFor([&] { return fs::exists(served("list.txt")); })) << watch.log();
    const fs::path lap = meet() / "lap" / "r0091";
    const fs::path server = served("2026001/lap/r0091.txt");
    auto line = [](int k) { return std::to_string(k % 10) + "," + std::to_string(30 + k) + ".25,G\r\n"; };
    using Clock = std::chrono::steady_clock;
    std::mutex guard;
    std::vector<Clock::time_point> written;  // when each line was first in the file
    // Rewritten every 0.1 s with a new split each second, the next one half written.
    auto rewrite = [&](std::chrono::seconds length) {
        std::string lines;
        auto start = Clock::now();
        int k = 0;
        for (; Clock::now() - start < length; std::this_thread::sleep_for(100ms)) {
            bool more = Clock::now() - start >= k * 1s;
            if (more) lines += line(k++);
            writeFile(lap, lines + line(k).substr(0, 4));
            std::lock_guard<std::mutex> lock(guard);
            if (more) written.push_back(Clock::now());
        }
        return lines + line(k);
    };
    std::string whole;
    std::thread timing([&] { whole = rewrite(6s); });
    auto stalest = Clock::duration::zero();
    for (auto end = Clock::now() + 6s; Clock::now() < end; std::this_thread::sleep_for(100ms)) {
        std::string held = heldOnServer(server);
        EXPECT_TRUE(held.empty() || held.back() == '\n') << "the server held [" << held << "]";
        size_t lines = countOf(held, "\n");
        std::lock_guard<std::mutex> lock(guard);
        if (lines < written.size()) stalest = std::max(stalest, Clock::now() - written[lines]);
    }
    timing.join();
    EXPECT_LE(stalest, 1500ms) << watch.log();
    // At rest, the rest of the file follows.
    writeFile(lap, whole);
    EXPECT_TRUE(waitFor([&] { return heldOnServer(server) == whole; })) << watch.log();
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();

    // A one-shot publish that cannot send the file whole ends in failure.
    std::thread busy([&] { rewrite(8s); });
    test::CommandResult run = publish();
    busy.join();
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("サーバーにまだないもの: lap/r0091.txt"), std::string::npos)
        << run.output;
}

// Item: only regular files are read, and no link leads out of the meet folder.
TEST_F(PublishFilesTest, APipeOrALinkOutOfTheMeetIsNeverSent) {
    ASSERT_TRUE(nginx.running());
    ASSERT_EQ(::mkfifo((meet() / "lap" / "r0098").c_str(), 0644), 0);
    writeFile(m.root() / "secret.txt", "not the meet's\r\n");
    fs::create_symlink(m.root() / "secret.txt", meet() / "lap" / "r0097");
    fs::create_symlink("r0001", meet() / "lap" / "r0096");            // inside: sent
    fs::create_symlink("../../secret.txt", meet() / "lap" / "r0095");  // out, by ..

    auto start = std::chrono::steady_clock::now();
    test::CommandResult run = runCommand("timeout 15 sh -c " +
                                         shellQuoted(test::publishCommand(m.root(), arguments())));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(countOf(run.output, "普通のファイルではないので送りません"), 1) << run.output;
    EXPECT_EQ(countOf(run.output, "大会フォルダの外を指すリンクは送りません"), 2) << run.output;
    EXPECT_FALSE(onServer(served("2026001/lap/r0098.txt")));
    EXPECT_FALSE(onServer(served("2026001/lap/r0097.txt")));
    EXPECT_FALSE(onServer(served("2026001/lap/r0095.txt")));
    EXPECT_EQ(heldOnServer(served("2026001/lap/r0096.txt")), readFile(meet() / "lap" / "r0001"));

    // The watch looks at the pipe again and again, and never waits on it.
    RunningProgram watch(test::publishCommand(m.root(), arguments("--watch")),
                         m.root() / "watch.log");
    ASSERT_TRUE(waitFor([&] {
        return watch.log().find("変更を見張っています") != std::string::npos;
    })) << watch.log();
    std::this_thread::sleep_for(1500ms);
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();
    EXPECT_LT(took, 2s);
    EXPECT_EQ(countOf(watch.log(), "普通のファイルではないので送りません"), 1) << watch.log();
}

// Item: the publisher checks the record files it sends, as the export does.
TEST_F(PublishFilesTest, ADamagedRecordFileIsHeldBackAndTheServerKeepsItsCopy) {
    ASSERT_TRUE(nginx.running());
    ASSERT_EQ(publish().status, 0);
    const std::string goodHeats = readFile(meet() / "taikai.dat");
    const std::string goodResults = readFile(meet() / "kekka" / "KEKKA.DAT");
    const std::string servedInd2 = heldOnServer(served("2026001/ind2.txt"));
    // The web data of the good files, meet.json and the competitors' files too.
    auto webData = [&] {
        std::map<std::string, std::string> held;
        for (const std::string& file : filesUnder(served("2026001/web")))
            held[file] = readFile(served("2026001/web/" + file));
        return held;
    };
    const auto goodWebData = webData();
    ASSERT_TRUE(goodWebData.count("meet.json") || goodWebData.count("meet.json.gz"));
    auto withCount16 = [](std::string bytes, std::int16_t count) {
        return test::RecordBytes(256).int16(0, count).str().substr(0, 2) + bytes.substr(2);
    };
    auto withCount32 = [](std::string bytes, std::int32_t count) {
        return test::RecordBytes(384).int32(0, count).str().substr(0, 4) + bytes.substr(4);
    };
    struct Case {
        const char* what;
        const char* file;  // in the meet folder
        std::string bytes;
    };
    const Case cases[] = {
        {"heats: count huge", "taikai.dat", withCount16(goodHeats, 32767)},
        {"heats: one heat more than held", "taikai.dat", withCount16(goodHeats, 20)},
        {"heats: count negative", "taikai.dat", withCount16(goodHeats, -3)},
        {"heats: cut short", "taikai.dat", goodHeats.substr(0, goodHeats.size() - 1)},
        {"heats: header cut", "taikai.dat", goodHeats.substr(0, 3)},
        {"heats: random bytes", "taikai.dat", "\x9a\x7f\x13\xe0<html>error</html>"},
        {"heats: empty", "taikai.dat", ""},
        {"results: empty", "kekka/KEKKA.DAT", ""},
        {"results: count huge", "kekka/KEKKA.DAT", withCount32(goodResults, 0x7fffffff)},
        {"results: count negative", "kekka/KEKKA.DAT", withCount32(goodResults, -1)},
        {"results: cut short", "kekka/KEKKA.DAT", goodResults.substr(0, goodResults.size() - 1)},
    };
    for (const Case& c : cases) {
        writeFile(meet() / c.file, c.bytes);
        test::CommandResult run = publish();
        EXPECT_EQ(run.status, 1) << c.what << run.output;
        EXPECT_EQ(countOf(run.output, "壊れています"), 1) << c.what << run.output;
        EXPECT_NE(run.output.find(fs::path(c.file).filename().string()), std::string::npos);
        EXPECT_EQ(heldOnServer(served("2026001/taikai.txt")), goodHeats) << c.what;
        EXPECT_EQ(heldOnServer(served("2026001/ind2.txt")), servedInd2) << c.what;
        EXPECT_EQ(webData(), goodWebData) << c.what;
        writeFile(meet() / "taikai.dat", goodHeats);
        writeFile(meet() / "kekka" / "KEKKA.DAT", goodResults);
    }
    ASSERT_EQ(publish().status, 0);

    // The watch holds the damaged file back, goes on, and sends it once good again.
    RunningProgram watch(test::publishCommand(m.root(), arguments("--watch")),
                         m.root() / "watch.log");
    ASSERT_TRUE(waitFor([&] {
        return watch.log().find("変更を見張っています") != std::string::npos;
    })) << watch.log();
    int told = 0;
    for (const std::string& damaged : {withCount16(goodHeats, -1), std::string()}) {
        writeFile(meet() / "taikai.dat", damaged);
        ASSERT_TRUE(waitFor([&] { return countOf(watch.log(), "壊れています") > told; }))
            << watch.log();
        std::this_thread::sleep_for(1200ms);
        EXPECT_EQ(heldOnServer(served("2026001/taikai.txt")), goodHeats);
        EXPECT_EQ(countOf(watch.log(), "壊れています"), ++told) << watch.log();
    }
    const std::string mended = withCount16(goodHeats + std::string(256, ' '), 20);
    writeFile(meet() / "taikai.dat", mended);
    EXPECT_TRUE(waitFor([&] { return heldOnServer(served("2026001/taikai.txt")) == mended; }))
        << watch.log();
    // The same look then makes the meet's web data of the mended table: only
    // with it on the server does the folder's whole meet stand there.
    EXPECT_TRUE(waitFor([&] {
        return heldOnServer(served("2026001/web/meet.json")).find("\"heatCount\":20,") !=
                   std::string::npos &&
               countOf(watch.log(), "ウェブ用データを送信しました") == 2;
    })) << watch.log();
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();
}

}  // namespace
}  // namespace quendro
