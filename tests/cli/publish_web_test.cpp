// The web data on the project's nginx publisher: made by the publisher beside
// the meet's files, read back over HTTP, and kept current by the watch.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>

#include "platform/text_rules.h"
#include "tests/cli/publish_fixture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace quendro {
namespace {

using test::heldOnServer;

using test::readFile;
using test::RunningProgram;
using test::runCommand;
using test::shellQuoted;
using test::TestMachine;
using test::waitFor;

class PublishWebTest : public test::PublishedMeetTest {
  protected:
    // A file of the server, fetched as a browser fetches it.
    std::string get(const std::string& path) {
        return runCommand("curl -sf " + shellQuoted(nginx.base() + "2026/" + path)).output;
    }
};

TEST_F(PublishWebTest, PublishedMeetCarriesItsWebData) {
    ASSERT_TRUE(nginx.running());
    test::CommandResult run = runCommand(test::publishCommand(m.root(), arguments()));
    ASSERT_EQ(run.status, 0) << run.output;

    std::string meetJson = get("2026001/web/meet.json");
    EXPECT_TRUE(meetJson.starts_with("{\"version\":1,\"code\":\"2026001\",\"season\":\"2026\","
                                     "\"name\":\"第１回県選手権水泳競技大会\""))
        << meetJson;
    EXPECT_NE(meetJson.find("\"competitorCount\":46"), std::string::npos) << meetJson;
    std::string heat = get("2026001/web/heats/0012.json");
    EXPECT_TRUE(heat.starts_with("{\"version\":1,\"heat\":\"0012\",")) << heat;
    EXPECT_NE(heat.find("\"places\":[1"), std::string::npos) << heat;
    std::string meets = get("web/meets.json");
    EXPECT_TRUE(meets.starts_with("{\"version\":1,\"season\":\"2026\",\"meets\":[\n"
                                  "{\"code\":\"2026001\",\"name\":\"第１回県選手権水泳競技大会\""))
        << meets;
    EXPECT_FALSE(get("2026001/web/fold.json").empty());
    EXPECT_FALSE(get("2026001/web/competitors/0.json").empty());
    EXPECT_FALSE(get("2026001/web/numbers/1.json").empty());

    // Publishing again gives the same data; meets.json keeps one line for the meet.
    run = runCommand(test::publishCommand(m.root(), arguments()));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(heldOnServer(served("web/meets.json")), meets);
    EXPECT_EQ(heldOnServer(served("2026001/web/heats/0012.json")), heat);
    std::string again = heldOnServer(served("2026001/web/meet.json"));
    EXPECT_EQ(again.substr(0, again.find("\"updated\"")), meetJson.substr(0, meetJson.find("\"updated\"")));
}

TEST_F(PublishWebTest, AChangedLapFileReachesItsHeatWithinThreeSeconds) {
    ASSERT_TRUE(nginx.running());
    RunningProgram watch(test::publishCommand(m.root(), arguments("--watch")),
                         m.root() / "watch.log");
    const fs::path heatJson = served("2026001/web/heats/0001.json");
    ASSERT_TRUE(waitFor([&] { return fs::exists(served("web/meets.json")); }, 60s)) << watch.log();
    std::string before = heldOnServer(heatJson);
    ASSERT_FALSE(before.empty());
    const std::string meetBefore = heldOnServer(served("2026001/web/meet.json"));
    const std::string competitorsBefore = heldOnServer(served("2026001/web/competitors/0.json"));

    // A new time for lane 4 at the first split: a split never seen before.
    std::string lap = readFile(meet() / "lap" / "r0001");
    {
        std::ofstream file(meet() / "lap" / "r0001", std::ios::binary | std::ios::trunc);
        file << "4,19.87,,0,0,0,0,0,0\r\n" << lap;
    }
    auto changedAt = std::chrono::steady_clock::now();
    bool arrived = waitFor(
        [&] { return heldOnServer(heatJson).find("\"19.87\"") != std::string::npos; }, 3s);
    EXPECT_TRUE(arrived) << watch.log();
    EXPECT_LE(std::chrono::steady_clock::now() - changedAt, 3s);
    // The heat's file alone: the meet's and the competitors' stay as they were.
    EXPECT_EQ(heldOnServer(served("2026001/web/meet.json")), meetBefore);
    EXPECT_EQ(heldOnServer(served("2026001/web/competitors/0.json")), competitorsBefore);
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();
}

}  // namespace
}  // namespace quendro
