// A meet put on the project's nginx publisher by quendro-publish, and read back
// by the window model in internet mode with the real transfer component.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/follow_swim.h"
#include "app/main_window.h"
#include "platform/text_rules.h"
#include "store/ind2_table.h"
#include "tests/cli/publish_fixture.h"
#include "tests/support/nginx_publisher.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace quendro {
namespace {

using test::heldOnServer;

using test::NginxPublisher;
using test::readFile;
using test::runCommand;
using test::shellQuoted;
using test::sjis;
using test::TestMachine;
using test::writeFile;

const fs::path kSampleMeets = fs::path(QUENDRO_SOURCE_DIR) / "sample";

// The program, run in a folder of the test's own with a drives folder of its own.
std::string publishCommand(const fs::path& root, const std::string& arguments) {
    return "cd " + shellQuoted(root.string()) +
           " && exec env XDG_DATA_HOME=" + shellQuoted((root / "xdg").string()) + " " +
           shellQuoted(QUENDRO_PUBLISH_PROGRAM) + " " + arguments;
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

template <typename Done>
bool waitFor(Done done, std::chrono::milliseconds limit = 20s) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

class PublishEndToEndTest : public ::testing::Test {
  protected:
    PublishEndToEndTest() : nginx(m.root() / "publisher") {
        fs::copy(kSampleMeets / "meet", meetFolder(), fs::copy_options::recursive);
        fs::copy(kSampleMeets / "meet50", m.driveD() / "meet50", fs::copy_options::recursive);
        fs::create_directories(m.driveD() / "pages");
    }
    fs::path meetFolder() const { return m.driveD() / "meet"; }
    fs::path served(const std::string& path) const { return nginx.tree() / "2026" / path; }
    test::CommandResult publish(const std::string& options = "") {
        return runCommand(publishCommand(
            m.root(),
            options + " --season 2026 " + shellQuoted(meetFolder().string()) + " " + nginx.base()));
    }
    // The page of every competitor of the meet, written by a window in either mode.
    std::string htmlPage(MainWindow& window, const std::u16string& folder) {
        window.Dir1.setPath(folder);
        window.cmdKakutei.click();
        EXPECT_EQ(window.statusText.find(u"できません"), std::u16string::npos);
        EXPECT_EQ(window.hitCount, 46);
        window.cmdHtml.click();
        std::u16string host = folder.substr(2);
        for (auto& c : host) c = c == u'\\' ? u'/' : c;
        return readFile(m.driveD() / fs::path(toUtf8(host).substr(1)) / "県選手権9.html");
    }
    void chooseMeet(MainWindow& window, std::u16string_view code) {
        const auto& items = window.lstTaikai.items();
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].substr(0, 7) == code) {
                window.lstTaikai.setListIndex(static_cast<int>(i));
                return;
            }
        }
        ADD_FAILURE() << "meet not in the list";
    }

    TestMachine m;
    NginxPublisher nginx;
};

TEST_F(PublishEndToEndTest, PublishedMeetReadsInInternetModeAsInLocalMode) {
    ASSERT_TRUE(nginx.running());
    test::CommandResult run = publish();
    ASSERT_EQ(run.status, 0) << run.output;

    // The server layout the viewer reads.
    EXPECT_EQ(heldOnServer(served("2026001/kijun.txt")), readFile(meetFolder() / "kijun.dat"));
    EXPECT_EQ(heldOnServer(served("2026001/taikai.txt")), readFile(meetFolder() / "taikai.dat"));
    EXPECT_EQ(heldOnServer(served("2026001/ind2.txt")),
              ind2FromResults(readFile(meetFolder() / "kekka" / "KEKKA.DAT")).bytes);
    EXPECT_EQ(heldOnServer(served("2026001/lap/r0012.txt")), readFile(meetFolder() / "lap" / "r0012"));
    EXPECT_EQ(heldOnServer(served("list.txt")), sjis(u",\"2026001 県選手権\"\r\n"));
    // Publishing again adds no second entry.
    run = publish();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(heldOnServer(served("list.txt")), sjis(u",\"2026001 県選手権\"\r\n"));

    MainWindow local(m.machine());
    local.optWeb.select(0);
    std::string localPage = htmlPage(local, u"D:\\meet");

    MainWindow web(m.machine());
    web.txtTaikai.setText(fromUtf8(nginx.base()));
    web.txtNendo.setText(u"2026");
    web.optWeb.select(0);  // the window starts with the internet option selected
    web.optWeb.select(1);
    chooseMeet(web, u"2026001");
    std::string webPage = htmlPage(web, u"D:\\pages");

    EXPECT_GT(localPage.size(), 20000u);
    EXPECT_TRUE(webPage == localPage) << "the pages differ";
    // The 1500 m: one swim of 60 splits, its last the final time.
    bool found = false;
    for (int p = 0; p < web.hitCount && !found; ++p) {
        web.lstNamae.setListIndex(p);
        for (int s = 0; s < web.swimCount; ++s) {
            if (web.lstShumoku.items()[static_cast<size_t>(s)].substr(0, 8) != u"1500m自由形")
                continue;
            web.lstShumoku.setListIndex(s);
            found = true;
            EXPECT_EQ(web.splitCount, 60);
            EXPECT_EQ(web.splitTimes[59], web.swimTexts[static_cast<size_t>(s)]);
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(PublishEndToEndTest, WebUpFromLocalModeShowsTheMeetInTheInternetList) {
    ASSERT_TRUE(nginx.running());
    ASSERT_EQ(publish().status, 0);
    MainWindow local(m.machine());
    local.txtTaikai.setText(fromUtf8(nginx.base()));
    local.txtNendo.setText(u"2026");
    local.optWeb.select(0);
    local.Dir1.setPath(u"D:\\meet50");
    local.cmdKakutei.click();
    ASSERT_EQ(local.txtCode.text(), u"2026002");
    local.cmdWebUp.click();
    EXPECT_EQ(local.statusText.find(u"できません"), std::u16string::npos);

    // Uploaded as list.dat, read by every viewer as list.txt.
    EXPECT_EQ(heldOnServer(served("list.dat")),
              sjis(u",\"2026001 県選手権\"\r\n,\"2026002 長水路\"\r\n"));
    local.optWeb.select(1);
    EXPECT_EQ(local.lstTaikai.items(),
              (std::vector<std::u16string>{u"", u"2026001 県選手権", u"", u"2026002 長水路"}));

    // The publisher adds to the list that viewers see, the uploaded one.
    fs::copy(m.driveD() / "meet50", m.driveD() / "meet51", fs::copy_options::recursive);
    writeFile(m.driveD() / "meet51" / "kijun.dat",
              sjis(u"D:\\x\\kekka\\,KEKKA.DAT,2026003,記録会,記録会,20260901"));
    test::CommandResult run = runCommand(publishCommand(
        m.root(),
        "--season 2026 " + shellQuoted((m.driveD() / "meet51").string()) + " " + nginx.base()));
    ASSERT_EQ(run.status, 0) << run.output;
    local.optWeb.select(0);
    local.optWeb.select(1);
    EXPECT_EQ(local.lstTaikai.items().size(), 6u) << run.output;
    EXPECT_EQ(local.lstTaikai.items()[5], u"2026003 記録会");
}

TEST_F(PublishEndToEndTest, FailuresEndWithAStatusAndNoListEntry) {
    ASSERT_TRUE(nginx.running());
    int closed = test::freeLoopbackPort();
    test::CommandResult run = runCommand(
        publishCommand(m.root(), "--season 2026 " + shellQuoted(meetFolder().string()) +
                                     " http://127.0.0.1:" + std::to_string(closed) + "/swim/"));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("送信できませんでした"), std::string::npos) << run.output;

    // Under a hidden name the server takes nothing: nothing half-published, no list.
    run = runCommand(publishCommand(m.root(), "--season 2026 " +
                                                  shellQuoted(meetFolder().string()) + " " +
                                                  nginx.base().substr(0, nginx.base().size() - 5) +
                                                  ".hidden/"));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("HTTP 403"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("大会一覧には加えません"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(nginx.tree() / "2026"));

    run = runCommand(publishCommand(
        m.root(),
        "--season 2026 " + shellQuoted((m.root() / "nothing").string()) + " " + nginx.base()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("フォルダがありません"), std::string::npos) << run.output;
    EXPECT_EQ(runCommand(publishCommand(m.root(), "only-one-argument")).status, 2);
}

TEST_F(PublishEndToEndTest, WatchSendsAChangedLapFileAndTheShownSwimFollows) {
    ASSERT_TRUE(nginx.running());
    fs::path log = m.root() / "watch.log";
    pid_t watcher = fork();
    ASSERT_GE(watcher, 0);
    if (watcher == 0) {
        std::string command =
            publishCommand(m.root(), "--watch --season 2026 " + shellQuoted(meetFolder().string()) +
                                         " " + nginx.base()) +
            " >" + shellQuoted(log.string()) + " 2>&1";
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_TRUE(waitFor([&] {
        return readFile(log).find("変更を見張っています") != std::string::npos;
    })) << readFile(log);
    fs::path accessLog =
        m.root() / "publisher" / ("nginx-" + std::to_string(nginx.port())) / "logs" / "access.log";
    size_t logBefore = readFile(accessLog).size();
    const int webDataSentBefore = countOf(readFile(log), "ウェブ用データを送信しました");

    // A viewer in internet mode shows a swim.
    MainWindow web(m.machine());
    web.txtTaikai.setText(fromUtf8(nginx.base()));
    web.txtNendo.setText(u"2026");
    web.optWeb.select(0);  // the window starts with the internet option selected
    web.optWeb.select(1);
    chooseMeet(web, u"2026001");
    web.cmdKakutei.click();
    web.lstNamae.setListIndex(0);
    web.lstShumoku.setListIndex(0);
    auto swim = followedSwimOf(web);
    ASSERT_TRUE(swim);
    ASSERT_GT(web.splitCount, 1);
    InternetTransfer& inet = m.machine().inet;
    // Validators of a file changed in the second of the answer are not kept:
    // a second after the upload they are, and nginx answers 304.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    LapFileCheck seen = checkLapFile(*swim, {}, inet, m.files());
    ASSERT_EQ(seen.outcome, LapFileCheck::Outcome::Changed);
    EXPECT_FALSE(refreshFollowedSwim(web, *swim, seen.bytes));  // what the grid shows
    EXPECT_FALSE(seen.seen.validators.empty());
    seen = checkLapFile(*swim, seen.seen, inet, m.files());
    EXPECT_EQ(seen.outcome, LapFileCheck::Outcome::Unchanged);  // 304 from nginx

    // The timing system rewrites the heat: the swimmer's first split changes.
    const std::string heat = "r" + toUtf8(swim->heat);
    std::string lane = "\n" + std::to_string(swim->lane) + ",";
    std::string text = "\n" + readFile(meetFolder() / "lap" / heat);
    size_t time = text.find(lane);
    ASSERT_NE(time, std::string::npos);
    time += lane.size();
    text.replace(time, text.find(',', time) - time, "10.00");
    text.erase(0, 1);
    writeFile(meetFolder() / "lap" / heat, text);

    ASSERT_TRUE(waitFor([&] {
        seen = checkLapFile(*swim, seen.seen, inet, m.files());
        return seen.outcome == LapFileCheck::Outcome::Changed;
    })) << readFile(log);
    EXPECT_EQ(heldOnServer(served("2026001/lap/" + heat + ".txt")), text);
    EXPECT_TRUE(refreshFollowedSwim(web, *swim, seen.bytes));
    EXPECT_EQ(web.splitTimes[0], u"   10.00");
    EXPECT_EQ(web.lblLap[0].caption, u"   10.00");

    // Only what changed was sent: the heat's file for the browsers follows its
    // lap file in the same look.
    const std::string heatJson =
        "\"PUT /swim/2026/2026001/web/heats/" + toUtf8(swim->heat) + ".json";
    // The publisher's own line comes once the look has sent the web data: a
    // stop after it finds the server holding the folder.
    EXPECT_TRUE(waitFor([&] {
        return countOf(readFile(accessLog).substr(logBefore), heatJson) > 0 &&
               countOf(readFile(log), "ウェブ用データを送信しました") == webDataSentBefore + 1;
    })) << readFile(log);
    std::string sent = readFile(accessLog).substr(logBefore);
    // The lap file, and the browsers' file of its heat.
    EXPECT_EQ(countOf(sent, "\"PUT "), 2) << sent;
    EXPECT_EQ(countOf(sent, "\"PUT /swim/2026/2026001/lap/" + heat + ".txt"), 1) << sent;
    EXPECT_EQ(countOf(sent, heatJson), 1) << sent;

    kill(watcher, SIGTERM);
    int status = 0;
    waitpid(watcher, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFile(log);
}

}  // namespace
}  // namespace quendro
