// The web data on the project's nginx publisher: made by the publisher beside
// the meet's files, read back over HTTP, and kept current by the watch.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
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

// Where the meet stands follows the heat table and the lap files under the
// watch: a lap change that moves no state leaves now.json alone; finals taken
// back make a heat with splits the one swimming; another event changes the
// program, and the states name the new program.
TEST_F(PublishWebTest, TheProgramAndItsStatesFollowTheWatch) {
    ASSERT_TRUE(nginx.running());
    RunningProgram watch(test::publishCommand(m.root(), arguments("--watch")),
                         m.root() / "watch.log");
    const fs::path now = served("2026001/web/now.json");
    const fs::path program = served("2026001/web/program.json");
    ASSERT_TRUE(waitFor([&] { return fs::exists(served("web/meets.json")); }, 60s)) << watch.log();
    const std::string doneNow = heldOnServer(now);
    const std::string firstProgram = heldOnServer(program);
    ASSERT_NE(doneNow.find("\"states\":\"DDDDDDDDDDDDDDDDDDD\""), std::string::npos) << doneNow;

    std::string lap = readFile(meet() / "lap" / "r0001");
    {
        std::ofstream file(meet() / "lap" / "r0001", std::ios::binary | std::ios::trunc);
        file << "4,19.87,,0,0,0,0,0,0\r\n" << lap;
    }
    const fs::path heat = served("2026001/web/heats/0001.json");
    ASSERT_TRUE(waitFor([&] { return heldOnServer(heat).find("\"19.87\"") != std::string::npos; }, 5s));
    EXPECT_EQ(heldOnServer(now), doneNow);

    // Heat 19 without its finals: its lap file makes it the heat swimming.
    std::string table = readFile(meet() / "taikai.dat");
    const size_t heat19 = (19 + 9) * 256;
    std::fill(table.begin() + heat19 + 46, table.begin() + heat19 + 94, '\0');
    auto write = [&] {
        std::ofstream file(meet() / "taikai.dat", std::ios::binary | std::ios::trunc);
        file << table;
    };
    write();
    EXPECT_TRUE(waitFor([&] {
        return heldOnServer(now).find("\"states\":\"DDDDDDDDDDDDDDDDDDS\",\"until\":0,\"now\":\"0019\"") !=
               std::string::npos;
    }, 5s)) << heldOnServer(now);
    EXPECT_EQ(heldOnServer(program), firstProgram);

    // Heat 19 another event: a new program, and states that name it.
    table[heat19 + 11] = 7;  // 1500m自由形
    table[heat19 + 12] = 0;
    write();
    EXPECT_TRUE(waitFor([&] {
        return heldOnServer(program).find("{\"heat\":\"0019\",\"event\":\"1500m自由形\"") !=
               std::string::npos;
    }, 5s)) << heldOnServer(program);
    const std::string newProgram = heldOnServer(program);
    const std::string id = newProgram.substr(newProgram.find("\"id\":") + 5, 18);
    EXPECT_TRUE(waitFor([&] { return heldOnServer(now).find("\"program\":" + id) != std::string::npos; },
                        5s)) << heldOnServer(now);
    std::chrono::milliseconds took{};
    EXPECT_EQ(watch.stop(SIGTERM, took), 0) << watch.log();
}

}  // namespace
}  // namespace quendro
