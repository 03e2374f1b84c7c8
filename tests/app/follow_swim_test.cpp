#include "app/follow_swim.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app/main_window.h"
#include "tests/support/local_meet.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::TestMachine;
using test::writeFile;

// Heat 1 of the sample records: competitor 1 swims in lane 4.
const std::string kHeat1 =
    "4,31.25,,0,0,0,0,0,0\r\n5,33.40,,0,0,0,0,0,0\r\n"
    "4,1:05.32,G,0,0,0,0,0,0\r\n5,1:10.15,G,0,0,0,0,0,0\r\n";
// The same heat while it is swum: lane 4 has reached 50 m only.
const std::string kHeat1Early = "4,31.30,,0,0,0,0,0,0\r\n5,33.40,,0,0,0,0,0,0\r\n";

class FollowSwimTest : public ::testing::Test {
  protected:
    FollowSwimTest() {
        window.txtTaikai.setText(m.serverBase());
        test::writeLocalMeet(m);
        writeFile(lapFile(), kHeat1Early);
        test::openLocalMeet(window);
        window.lstNamae.setListIndex(0);
        window.lstShumoku.setListIndex(0);  // heat 1, lane 4
    }
    fs::path lapFile() const { return m.driveD() / "meet" / "lap" / "r0001"; }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(FollowSwimTest, TheShownSwimAndWhereItsLapFileLies) {
    auto swim = followedSwimOf(window);
    ASSERT_TRUE(swim);
    EXPECT_EQ(swim->heat, u"0001");
    EXPECT_EQ(swim->lane, 4);
    EXPECT_EQ(swim->finalTime, u" 1:05.32");
    EXPECT_FALSE(swim->web);
    EXPECT_EQ(swim->source, u"D:\\meet\\lap\\r0001");

    window.webMode = 1;
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    EXPECT_EQ(followedSwimOf(window)->source, m.serverBase() + u"2026/2026001/lap/r0001.txt");

    window.lstShumoku.clear();
    EXPECT_FALSE(followedSwimOf(window));
}

// The row followed is held at the end of the swim list: its last row is a
// swim, the row at the count (the list got shorter under it) is none.
TEST_F(FollowSwimTest, TheLastRowOfTheSwimListAndTheOnePastIt) {
    window.lstShumoku.setListIndex(1);  // heat 2
    ASSERT_GE(window.swimCount, 2);
    window.swimCount = 2;
    ASSERT_TRUE(followedSwimOf(window));
    EXPECT_EQ(followedSwimOf(window)->row, 1);
    window.swimCount = 1;
    EXPECT_FALSE(followedSwimOf(window));
}

TEST_F(FollowSwimTest, LocalLapFileReadAgainOnlyWhenItsStampMoved) {
    FollowedSwim swim = *followedSwimOf(window);
    // The one split stays at 50 m; the final time stands at 100 m.
    EXPECT_EQ(window.splitCount, 2);
    EXPECT_EQ(window.lblLap[0].caption, u"   31.30");
    EXPECT_EQ(window.lblLap[1].caption, u" 1:05.32");

    // The first look reads; the file is what the grid shows, so nothing changes.
    LapFileCheck first = checkLapFile(swim, {}, m.machine().inet, m.files());
    ASSERT_EQ(first.outcome, LapFileCheck::Outcome::Changed);
    EXPECT_FALSE(refreshFollowedSwim(window, swim, first.bytes));
    LapFileCheck again = checkLapFile(swim, first.seen, m.machine().inet, m.files());
    EXPECT_EQ(again.outcome, LapFileCheck::Outcome::Unchanged);

    // The timing system writes the finish.
    writeFile(lapFile(), kHeat1);
    LapFileCheck changed = checkLapFile(swim, again.seen, m.machine().inet, m.files());
    ASSERT_EQ(changed.outcome, LapFileCheck::Outcome::Changed);
    EXPECT_TRUE(refreshFollowedSwim(window, swim, changed.bytes));
    EXPECT_EQ(window.splitCount, 2);
    EXPECT_EQ(window.splitTimes[0], u"   31.25");
    EXPECT_EQ(window.splitTimes[1], u" 1:05.32");
    EXPECT_EQ(window.lblLap[0].caption, u"   31.25");  // the grid shows it

    // Rewritten with the same bytes: the stamp moved, the splits did not.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    writeFile(lapFile(), kHeat1);
    LapFileCheck touched = checkLapFile(swim, changed.seen, m.machine().inet, m.files());
    EXPECT_EQ(touched.outcome, LapFileCheck::Outcome::Unchanged);

    // A look that knows the file's stamp but has not read it yet reads it.
    LapFileSeen stampOnly;
    stampOnly.version = touched.seen.version;
    ASSERT_TRUE(stampOnly.version);
    LapFileCheck unread = checkLapFile(swim, stampOnly, m.machine().inet, m.files());
    EXPECT_EQ(unread.outcome, LapFileCheck::Outcome::Changed);
    EXPECT_EQ(unread.bytes, kHeat1);

    // Gone: a failure, and the grid keeps what it shows.
    fs::remove(lapFile());
    EXPECT_EQ(checkLapFile(swim, touched.seen, m.machine().inet, m.files()).outcome,
              LapFileCheck::Outcome::Failed);
    EXPECT_EQ(window.splitCount, 2);
}

TEST_F(FollowSwimTest, AnAnswerForASwimNoLongerShownIsDropped) {
    FollowedSwim swim = *followedSwimOf(window);
    window.lstShumoku.setListIndex(1);  // another swim, heat 2
    auto shown = window.splitTimes;
    EXPECT_FALSE(refreshFollowedSwim(window, swim, kHeat1));
    EXPECT_EQ(window.splitTimes, shown);
}

TEST_F(FollowSwimTest, InternetModeDownloadsAndComparesTheBody) {
    m.server().serve("/swim/2026/2026001/lap/r0001.txt", kHeat1Early);
    window.webMode = 1;
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    FollowedSwim swim = *followedSwimOf(window);
    LapFileCheck first = checkLapFile(swim, {}, m.machine().inet, m.files());
    ASSERT_EQ(first.outcome, LapFileCheck::Outcome::Changed);
    // A server that does not answer conditions sends the same body again.
    EXPECT_EQ(checkLapFile(swim, first.seen, m.machine().inet, m.files()).outcome,
              LapFileCheck::Outcome::Unchanged);
    m.server().serve("/swim/2026/2026001/lap/r0001.txt", kHeat1);
    LapFileCheck changed = checkLapFile(swim, first.seen, m.machine().inet, m.files());
    ASSERT_EQ(changed.outcome, LapFileCheck::Outcome::Changed);
    EXPECT_TRUE(refreshFollowedSwim(window, swim, changed.bytes));
    EXPECT_EQ(window.splitCount, 2);
    // An error page is no lap file: the grid stays.
    m.server().serve("/swim/2026/2026001/lap/r0001.txt", "gone", 404);
    EXPECT_EQ(checkLapFile(swim, changed.seen, m.machine().inet, m.files()).outcome,
              LapFileCheck::Outcome::Failed);
}

}  // namespace
}  // namespace quendro
