// quendro-publish as a service of a live meet: its secrets, the server's disk
// and worker, a server that goes away and comes back, a stop in a stalled
// upload. Against the project's nginx and a raw silent server.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "platform/text_rules.h"
#include "tests/cli/publish_fixture.h"
#include "tests/support/raw_server.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace quendro {
namespace {

using test::heldOnServer;

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

const std::string kUser = "quendro";
// "/" and "@" in a password; nginx's password file ends a password at ":".
const std::string kPassword = "Zq/9@x";

class PublishServiceTest : public ::testing::Test {
  protected:
    PublishServiceTest() {
        fs::copy(fs::path(QUENDRO_SOURCE_DIR) / "sample" / "meet", meet(),
                 fs::copy_options::recursive);
        fs::create_directories(m.root() / "home");
    }
    fs::path meet() const { return m.driveD() / "meet"; }
    // The program with a home of its own (no ~/.netrc unless the test writes one).
    std::string command(const std::string& base, const std::string& options = "",
                        const std::string& env = "") const {
        return test::publishCommand(
            m.root(), options + " --season 2026 " + shellQuoted(meet().string()) + " " + base,
            "HOME=" + shellQuoted((m.root() / "home").string()) + " " + env);
    }
    static bool holdsSecret(const std::string& text) { return text.find("Zq") != std::string::npos; }

    TestMachine m;
};

// Item: secrets stay secret, control characters are shown escaped.
TEST_F(PublishServiceTest, NoMessageShowsThePasswordWhateverItHolds) {
    int closed = test::freeLoopbackPort();
    for (std::string password : {"Zq/9x", "Zq@9x", "Zq/9@x", "Zq%2F9x", "Zq:9x", "12/Zq9x"}) {
        test::CommandResult run = runCommand(command(
            "http://u:" + password + "@127.0.0.1:" + std::to_string(closed) + "/swim/"));
        EXPECT_NE(run.status, 0) << password;
        EXPECT_NE(run.output.find("送信できませんでした"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("警告"), std::string::npos) << run.output;
        EXPECT_FALSE(holdsSecret(run.output)) << run.output;
    }
    // A NUL in the abbreviation.
    writeFile(meet() / "kijun.dat", sjis(u"D:\\meet\\kekka\\,KEKKA.DAT,2026001,名,県") +
                                        std::string(1, '\0') + "X");
    test::CommandResult run =
        runCommand(command("http://127.0.0.1:" + std::to_string(closed) + "/swim/"));
    EXPECT_EQ(run.output.find('\0'), std::string::npos);
    EXPECT_NE(run.output.find(toUtf8(visibleText(std::u16string(1, u'\0')))), std::string::npos)
        << run.output;
}

TEST_F(PublishServiceTest, TheServerTakesTheUploadWithTheUserAndPasswordOfEachSource) {
    NginxPublisher::Options options;
    options.environment = "QUENDRO_PUBLISH_USER=" + kUser +
                          " QUENDRO_PUBLISH_PASSWORD=" + shellQuoted(kPassword) +
                          " QUENDRO_PUBLISHER_LOOPBACK=password";
    NginxPublisher nginx(m.root() / "publisher", options);
    ASSERT_TRUE(nginx.running());
    const std::string hostBase = nginx.base();
    const std::string netrc = "machine 127.0.0.1 login " + kUser + " password " + kPassword + "\n";
    writeFile(m.root() / "netrc", netrc);
    struct Case {
        const char* what;
        std::string options, env;
        bool homeNetrc;
        int status;
    };
    const Case cases[] = {
        {"no user and password", "", "", false, 1},
        {"the variables", "",
         "QUENDRO_PUBLISH_USER=" + kUser + " QUENDRO_PUBLISH_PASSWORD=" + shellQuoted(kPassword),
         false, 0},
        {"a wrong password", "",
         "QUENDRO_PUBLISH_USER=" + kUser + " QUENDRO_PUBLISH_PASSWORD=Zqwrong", false, 1},
        {"--netrc-file", "--netrc-file " + shellQuoted((m.root() / "netrc").string()), "", false,
         0},
        {"~/.netrc", "", "", true, 0},
    };
    for (const Case& c : cases) {
        fs::remove_all(nginx.tree() / "2026");
        if (c.homeNetrc) writeFile(m.root() / "home" / ".netrc", netrc);
        test::CommandResult run = runCommand(command(hostBase, c.options, c.env));
        EXPECT_EQ(run.status, c.status) << c.what << run.output;
        EXPECT_EQ(fs::exists(nginx.tree() / "2026" / "list.txt"), c.status == 0) << c.what;
        if (c.status != 0) {
            EXPECT_NE(run.output.find("HTTP 401"), std::string::npos) << run.output;
        }
        EXPECT_FALSE(holdsSecret(run.output)) << run.output;
        fs::remove(m.root() / "home" / ".netrc");
    }

    // A password in the address works, and a watch's command line no longer shows it.
    std::string encoded = "Zq%2F9%40x";
    std::string address = "http://" + kUser + ":" + encoded + "@" + hostBase.substr(7);
    RunningProgram watch(command(address, "--watch"), m.root() / "watch.log");
    ASSERT_TRUE(waitFor([&] {
        return fs::exists(nginx.tree() / "2026" / "list.txt") &&
               watch.log().find("変更を見張っています") != std::string::npos;
    })) << watch.log();
    std::string cmdline = readFile("/proc/" + std::to_string(watch.pid()) + "/cmdline");
    EXPECT_NE(cmdline.find("quendro-publish"), std::string::npos) << cmdline;
    EXPECT_EQ(cmdline.find(encoded), std::string::npos) << cmdline;
    EXPECT_FALSE(holdsSecret(cmdline)) << cmdline;
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();
    EXPECT_NE(watch.log().find("警告"), std::string::npos);
    EXPECT_FALSE(holdsSecret(watch.log())) << watch.log();
}

// Item: nginx's workers are never root, and a full disk leaves nothing behind.
TEST_F(PublishServiceTest, TheWorkersAreNotRoot) {
    NginxPublisher nginx(m.root() / "publisher");
    ASSERT_TRUE(nginx.running());
    std::vector<unsigned> workers = nginx.workerUsers();
    ASSERT_FALSE(workers.empty());
    for (unsigned uid : workers) {
        if (::geteuid() == 0)
            EXPECT_NE(uid, 0u);
        else
            EXPECT_EQ(uid, ::geteuid());
    }
}

TEST_F(PublishServiceTest, AFullDiskUnderTheTreeLeavesNoStrayFileAndTheOldCopy) {
    NginxPublisher::Options options;
    options.treeDiskBytes = 2 * 1024 * 1024;  // the meet's files and their web data
    NginxPublisher nginx(m.root() / "publisher", options);
    if (!nginx.treeMounted()) GTEST_SKIP() << nginx.why();
    ASSERT_TRUE(nginx.running());
    ASSERT_EQ(runCommand(command(nginx.base())).status, 0);
    {
        std::ofstream filler(nginx.tree() / "filler", std::ios::binary);
        std::string block(512, 'f');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
               filler.flush()) {
        }
    }
    std::vector<std::string> before = filesUnder(nginx.tree());
    const fs::path lap = nginx.tree() / "2026" / "2026001" / "lap" / "r0001.txt";
    const std::string old = heldOnServer(lap);
    std::string bigger;
    while (bigger.size() < 16 * 1024) bigger += "1,31.25,G,0,0,0,0,0,0,0\r\n";
    writeFile(meet() / "lap" / "r0001", bigger);
    for (int attempt = 0; attempt < 3; ++attempt) {
        test::CommandResult run = runCommand(command(nginx.base()));
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find("HTTP 5"), std::string::npos) << run.output;
    }
    EXPECT_EQ(filesUnder(nginx.tree()), before);
    EXPECT_EQ(heldOnServer(lap), old);
}

// Item: the watch is a service.
TEST_F(PublishServiceTest, TheWatchWaitsForTheServerAndTellsAnOutageOnce) {
    NginxPublisher::Options options;
    options.startNow = false;
    NginxPublisher nginx(m.root() / "publisher", options);
    const fs::path list = nginx.tree() / "2026" / "list.txt";
    RunningProgram watch(command(nginx.base(), "--watch"), m.root() / "watch.log");
    ASSERT_TRUE(waitFor([&] {
        return watch.log().find("送信が止まりました") != std::string::npos;
    })) << watch.log();
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(nginx.start());
    ASSERT_TRUE(waitFor([&] {
        return fs::exists(list) && watch.log().find("再開しました") != std::string::npos;
    })) << watch.log();
    EXPECT_EQ(countOf(watch.log(), "送信が止まりました"), 1) << watch.log();
    EXPECT_EQ(countOf(watch.log(), "再開しました"), 1) << watch.log();

    // Away for a few seconds while a heat is rewritten again and again: one
    // line tells it, and none says the server is back while it is away.
    nginx.stop();
    std::string text = readFile(meet() / "lap" / "r0002");
    for (int split = 0; split < 4; ++split) {
        text += std::to_string(split + 6) + ",59.9" + std::to_string(split) + ",G\r\n";
        writeFile(meet() / "lap" / "r0002", text);
        std::this_thread::sleep_for(1s);
    }
    EXPECT_EQ(countOf(watch.log(), "送信が止まりました"), 2) << watch.log();
    EXPECT_EQ(countOf(watch.log(), "再開しました"), 1) << watch.log();
    ASSERT_TRUE(nginx.start());
    const fs::path lap = nginx.tree() / "2026" / "2026001" / "lap" / "r0002.txt";
    // The line comes after the look that sent the heat has also sent its web data.
    std::string heldAtResume;
    EXPECT_TRUE(waitFor([&] {
        heldAtResume = heldOnServer(lap);
        return countOf(watch.log(), "再開しました") == 2;
    })) << watch.log();
    EXPECT_EQ(heldAtResume, text);
    std::string log = watch.log();
    EXPECT_EQ(countOf(log, "送信が止まりました"), 2) << log;
    EXPECT_EQ(countOf(log, "再開しました"), 2) << log;
    EXPECT_NE(log.find("再開しました（1 ファイルを送信）"), std::string::npos) << log;
    EXPECT_EQ(countOf(log, "エラー"), 0) << log;
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();
}

// Item: the closing word of a run is what the server answers at its end.
TEST_F(PublishServiceTest, TheClosingWordIsReadBackFromTheServer) {
    NginxPublisher nginx(m.root() / "publisher");
    const std::string lap = "2026/2026001/lap/r0001.txt";
    struct Case {
        const char* what;
        std::function<void()> meanwhile;  // after the watch has sent the meet
        std::string word;
        int status;
    };
    const Case cases[] = {
        {"as sent", [] {}, "サーバーはフォルダと同じです", 0},
        {"another client's garbage",
         [&] {
             bool packed = fs::exists(nginx.tree() / (lap + ".gz"));
             nginx.place(packed ? lap + ".gz" : lap, "<html>garbage</html>");
         },
         "サーバーの版がフォルダと違うもの: " + nginx.base() + lap, 1},
        {"server away", [&] { nginx.stop(); }, "確認できませんでした", 1},
    };
    for (const Case& c : cases) {
        if (!nginx.running()) {
            ASSERT_TRUE(nginx.start());
        }
        RunningProgram watch(command(nginx.base(), "--watch"),
                             m.root() / ("watch-" + std::to_string(&c - cases) + ".log"));
        ASSERT_TRUE(waitFor([&] {
            return countOf(watch.log(), "ウェブ用データを送信しました") > 0;
        })) << watch.log();
        c.meanwhile();
        std::chrono::milliseconds took{};
        EXPECT_EQ(watch.stop(SIGTERM, took), c.status) << c.what << watch.log();
        EXPECT_LT(took, 2s) << c.what;
        EXPECT_NE(watch.log().find(c.word), std::string::npos) << c.what << watch.log();
        EXPECT_EQ(countOf(watch.log(), "サーバーはフォルダと同じです"), c.status == 0 ? 1 : 0)
            << c.what << watch.log();
    }
}

TEST_F(PublishServiceTest, AStopDuringAStalledUploadEndsWithinTwoSeconds) {
    test::RawServer silent([](test::RawServer& server, int) { server.holdSilent(); });
    RunningProgram watch(command(silent.base() + "/swim/", "--watch"), m.root() / "watch.log");
    ASSERT_TRUE(waitFor([&] { return silent.connections() > 0; })) << watch.log();
    std::this_thread::sleep_for(1500ms);
    std::chrono::milliseconds took{};
    int status = watch.stop(SIGTERM, took);
    EXPECT_LT(took, 2s);
    EXPECT_EQ(status, 1) << watch.log();
    EXPECT_NE(watch.log().find("サーバーにまだないもの"), std::string::npos) << watch.log();
}

}  // namespace
}  // namespace quendro
