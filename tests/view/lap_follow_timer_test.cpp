#include "app/view/lap_follow_timer.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <filesystem>

#include "app/view/main_view.h"
#include "tests/support/local_meet.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::TestMachine;
using test::writeFile;

// A local meet whose heat 1 is being swum: lane 4 has reached 50 m.
class LapFollowTimerTest : public ::testing::Test {
  protected:
    LapFollowTimerTest() {
        test::writeLocalMeet(m);
        writeFile(lapFile(), "4,31.30,,0,0,0,0,0,0\r\n");
        test::openLocalMeet(window);
        window.lstNamae.setListIndex(0);
        window.lstShumoku.setListIndex(0);  // heat 1, lane 4
        view.refresh();
    }
    fs::path lapFile() const { return m.driveD() / "meet" / "lap" / "r0001"; }
    QString cell(int i) {
        return view.findChild<QLabel*>(QStringLiteral("lblLap(%1)").arg(i))->text().trimmed();
    }

    TestMachine m;
    MainWindow window{m.machine()};
    view::MainView view{window, m.files()};
    int refreshed = 0;
    view::LapFollowTimer follow{window, m.machine().inet, m.files(),
                                [this] {
                                    ++refreshed;
                                    view.refresh();
                                },
                                std::chrono::milliseconds(100)};
};

TEST_F(LapFollowTimerTest, TheShownSwimsGridFollowsItsLapFile) {
    // One split so far: it stays at 50 m, the final time stands at 100 m.
    EXPECT_EQ(cell(0), QStringLiteral("31.30"));
    EXPECT_EQ(cell(1), QStringLiteral("1:05.32"));
    // Checks come and go; the file has not changed, the grid stays.
    QTRY_VERIFY_WITH_TIMEOUT(follow.checksDone() >= 2, 5000);
    EXPECT_EQ(refreshed, 0);

    writeFile(lapFile(), "4,31.25,,0,0,0,0,0,0\r\n4,1:05.32,G,0,0,0,0,0,0\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(cell(0), QStringLiteral("31.25"), 5000);
    EXPECT_EQ(cell(1), QStringLiteral("1:05.32"));
    EXPECT_EQ(window.splitCount, 2);
    EXPECT_EQ(refreshed, 1);
}

TEST_F(LapFollowTimerTest, ChoosingAnotherSwimStopsFollowingTheFirst) {
    window.lstShumoku.setListIndex(1);  // heat 2: no lap file yet
    view.refresh();
    EXPECT_EQ(window.splitCount, 0);
    int before = follow.checksDone();
    writeFile(lapFile(), "4,31.25,,0,0,0,0,0,0\r\n4,1:05.32,G,0,0,0,0,0,0\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(follow.checksDone() >= before + 3, 5000);
    EXPECT_EQ(window.splitCount, 0);
    EXPECT_EQ(refreshed, 0);
}

}  // namespace
}  // namespace quendro
