#include <gtest/gtest.h>

#include <QAbstractBarSeries>
#include <QAbstractItemView>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "app/view/analysis_hooks.h"
#include "app/view/input_hold.h"
#include "app/view/lap_analysis_window.h"
#include "app/view/main_view.h"
#include "app/view/threaded_transfer.h"
#include "laps/pace_table.h"
#include "platform/text_rules.h"
#include "tests/support/local_meet.h"
#include "tests/support/test_machine.h"
#include "tests/view/analysis_fixture.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::TestMachine;
using test::writeFile;

// The sample heat table and results file in a 50 m pool, with the lap files of
// heat 1 (100 m freestyle heats, lanes 4 to 6) and heat 4 (200 m, lane 5).
class AnalysisWindowTest : public test::AnalysisViewFixture {
  protected:
    AnalysisWindowTest() {
        fs::path meet = m.driveD() / "meet";
        writeFile(meet / "lap" / "r0001",
                  "4,31.25,,0,0,0,0,0,0\r\n5,33.40,,0,0,0,0,0,0\r\n6,35.02,,0,0,0,0,0,0\r\n"
                  "4,1:05.32,G,0,0,0,0,0,0\r\n5,1:10.15,G,0,0,0,0,0,0\r\n");
        writeFile(meet / "lap" / "r0004",
                  "5,30.80,,0,0,0,0,0,0\r\n5,1:04.40,,0,0,0,0,0,0\r\n5,1:39.10,,0,0,0,0,0,0\r\n"
                  "5,2:19.50,G,0,0,0,0,0,0\r\n");
        window.txtTaikai.setText(m.serverBase());
        test::openLocalMeet(window);
        view.refresh();
    }

    // The names of the chart's bar sets, in the order drawn.
    static QStringList barSets(QWidget* analysis) {
        QStringList names;
        for (QAbstractSeries* series : child<QChartView>(analysis, "lapChart")->chart()->series()) {
            if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
                for (QBarSet* set : bars->barSets()) names << set->label();
            }
        }
        return names;
    }
};

TEST_F(AnalysisWindowTest, EnterOpensItAComparisonLiesOverItAndTheChartIsSaved) {
    choose(0, 0);  // 山田太郎, 100 m heats, lane 4 of heat 1
    QTest::keyClick(child<QAbstractItemView>(&view, "lstShumoku"), Qt::Key_Return);
    auto* analysis = child<view::LapAnalysisWindow>(&view, "lapAnalysis");
    ASSERT_NE(analysis, nullptr);
    EXPECT_TRUE(analysis->isVisible());
    auto* table = child<QTableWidget>(analysis, "paceTable");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(cell(table, 0, 1), QStringLiteral("31.25"));
    EXPECT_EQ(cell(table, 1, 1), QStringLiteral("1:05.32"));
    EXPECT_EQ(cell(table, 1, 2), QStringLiteral("34.07"));
    EXPECT_EQ(cell(table, 1, 3), QString::fromUtf8("+1.41"));
    EXPECT_TRUE(child<QLabel>(analysis, "paceSummary")
                    ->text()
                    .contains(QString::fromUtf8("平均ラップ 32.66")));

    // Lane 5 of the same heat: 33.40 at 50 m, 1:10.15 at the finish.
    const auto& offered = analysis->comparable();
    auto lane5 = std::find_if(offered.begin(), offered.end(),
                              [](const MeetSwim& s) { return s.heat == u"0001" && s.lane == 4; });
    ASSERT_NE(lane5, offered.end());
    for (const MeetSwim& s : offered) EXPECT_EQ(s.eventDistance(), 100);
    const int choice = static_cast<int>(lane5 - offered.begin()) + 1;
    analysis->compareWith(choice);
    EXPECT_EQ(child<QComboBox>(analysis, "compare")->currentIndex(), choice);
    ASSERT_EQ(table->columnCount(), 8);
    EXPECT_EQ(cell(table, 0, 6), QString::fromUtf8("−2.15"));
    EXPECT_EQ(cell(table, 1, 6), QString::fromUtf8("−4.83"));
    EXPECT_EQ(cell(table, 1, 5), QStringLiteral("36.75"));
    EXPECT_TRUE(analysis->tableText().contains(
        QStringLiteral("50m\t31.25\t31.25\t-1.41\t33.40\t33.40\t-2.15\t-2.15\n")));

    const QString png = QStringLiteral(QUENDRO_SHOT_DIR "/lap_analysis_chart.png");
    QFile::remove(png);
    ASSERT_TRUE(analysis->saveChart(png));
    QImage image(png);
    EXPECT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 300);
    EXPECT_FALSE(analysis->saveChart(QStringLiteral("/no/such/folder/chart.png")));
    EXPECT_TRUE(analysis->grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/lap_analysis_window.png")));
}

TEST_F(AnalysisWindowTest, ItFollowsTheChosenSwimAndTheLapOption) {
    choose(0, 0);
    auto* analysis = hooks.openAnalysis();
    ASSERT_NE(analysis, nullptr);
    auto* table = child<QTableWidget>(analysis, "paceTable");
    analysis->compareWith(1);

    choose(0, 2);  // the 200 m: four splits, the comparison dropped
    EXPECT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->columnCount(), 4);
    EXPECT_EQ(cell(table, 3, 1), QStringLiteral("2:19.60"));  // the official time
    EXPECT_EQ(cell(table, 3, 2), QStringLiteral("40.50"));
    EXPECT_TRUE(
        child<QLabel>(analysis, "paceSummary")->text().contains(QString::fromUtf8("2:19.50")));
    // Laps of 30.80 (the dive), 33.60, 34.70 and 40.50: the fastest is the
    // 100 m lap, and the first stands apart in the chart and the table.
    EXPECT_EQ(
        barSets(analysis),
        QStringList({QString::fromUtf8("ラップ"), QString::fromUtf8("第1ラップ（スタート込み）"),
                     QString::fromUtf8("最速"), QString::fromUtf8("最遅")}));
    EXPECT_EQ(table->item(1, 2)->background().color(), QColor(40, 150, 70).lighter(180));
    EXPECT_EQ(table->item(0, 2)->background().color(), QColor(150, 160, 175).lighter(140));
    EXPECT_TRUE(
        child<QLabel>(analysis, "paceSummary")
            ->text()
            .contains(QString::fromUtf8("最速 100m 33.60 / 最遅 200m 40.50（第1ラップを除く）")));
    QTest::qWait(200);  // the chart lays its new axes out
    EXPECT_TRUE(analysis->grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/lap_analysis_200m.png")));

    window.optLap.select(3);  // 100 m laps
    view.refresh();
    EXPECT_EQ(cell(table, 0, 2), QString());
    EXPECT_EQ(cell(table, 1, 2), QStringLiteral("1:04.40"));
    EXPECT_EQ(cell(table, 3, 2), QStringLiteral("1:15.20"));
    // Two laps: the first apart, no fastest or slowest of one lap after it.
    EXPECT_EQ(barSets(analysis), QStringList({QString::fromUtf8("ラップ"),
                                              QString::fromUtf8("第1ラップ（スタート込み）")}));

    choose(0, 1);  // the final: no lap file for its heat
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_TRUE(child<QLabel>(analysis, "analysisStatus")
                    ->text()
                    .contains(QString::fromUtf8("読めませんでした")));
}

// The main window's controls not shown as the model has them: hidden, or a
// label with a caption but no ink (black on grey) in its picture.
std::vector<std::string> unshownControls(MainWindow& window, view::MainView& view) {
    std::vector<std::string> unshown;
    for (Control* control : window.controls()) {
        auto* w = view.findChild<QWidget*>(QString::fromStdString(control->name));
        bool shown = w && w->isVisible() == control->visible;
        auto* label = qobject_cast<QLabel*>(w);
        if (shown && label && label->isVisible() && !label->text().trimmed().isEmpty()) {
            const QImage image = label->grab().toImage();
            shown = false;
            for (int i = 0; i < image.width() * image.height() && !shown; ++i)
                shown = qGray(image.pixel(i % image.width(), i / image.width())) < 128;
        }
        if (!shown) unshown.push_back(control->name);
    }
    return unshown;
}

TEST_F(AnalysisWindowTest, ZoomWithItOpenKeepsEveryControlOfTheMainWindowShowing) {
    view.show();
    choose(0, 0);
    ASSERT_NE(hooks.openAnalysis(), nullptr);
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setZoom(0.8);  // Ctrl+plus then fits the test's screen
    for (auto [key, zoom] : {std::pair{Qt::Key_Plus, 0.9}, {Qt::Key_0, 1.0}}) {
        QTest::keyClick(&view, key, Qt::ControlModifier);
        EXPECT_EQ(view.zoom(), zoom);
        EXPECT_EQ(unshownControls(window, view), std::vector<std::string>()) << key;
    }
    choose(0, 2);  // another swim: the 200 m, whose times fill the grid
    EXPECT_EQ(window.lblLap[3].caption, u" 2:19.60");
    EXPECT_EQ(unshownControls(window, view), std::vector<std::string>());
    EXPECT_TRUE(view.grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/zoom_beside_analysis.png")));
}

TEST_F(AnalysisWindowTest, TheHeatAtEverySplit) {
    choose(0, 0);
    auto* analysis = hooks.openAnalysis();
    ASSERT_NE(analysis, nullptr);
    analysis->showHeat();
    auto* heat = child<QWidget>(analysis, "heatSplits");
    ASSERT_NE(heat, nullptr);
    auto* table = child<QTableWidget>(heat, "heatTable");
    ASSERT_EQ(table->columnCount(), 3);  // lanes 4, 5 and 6
    EXPECT_TRUE(table->horizontalHeaderItem(0)->text().startsWith(QString::fromUtf8("4コース")));
    EXPECT_EQ(cell(table, 0, 0), QString::fromUtf8("31.25  1位\n31.25"));
    EXPECT_EQ(cell(table, 0, 1), QString::fromUtf8("33.40  2位\n33.40"));
    EXPECT_EQ(cell(table, 1, 0), QString::fromUtf8("1:05.32  1位\n34.07"));
    EXPECT_EQ(table->item(0, 0)->background().color(), QColor(255, 226, 140));  // the leader
    EXPECT_NE(table->item(0, 1)->background().color(), QColor(255, 226, 140));
    EXPECT_TRUE(heat->grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/heat_window.png")));
}

TEST_F(AnalysisWindowTest, ADoubleClickOpensItAndTheListExportsFromItsMenu) {
    window.lstNamae.setListIndex(0);
    view.refresh();
    auto* swims = child<QAbstractItemView>(&view, "lstShumoku");
    QTest::mouseClick(swims->viewport(), Qt::LeftButton, {},
                      swims->visualRect(swims->model()->index(0, 0)).center());
    QTest::mouseDClick(swims->viewport(), Qt::LeftButton, {},
                       swims->visualRect(swims->model()->index(0, 0)).center());
    auto* analysis = view.findChild<view::LapAnalysisWindow*>(QStringLiteral("lapAnalysis"));
    ASSERT_NE(analysis, nullptr);
    EXPECT_TRUE(analysis->isVisible());

    EXPECT_EQ(child<QWidget>(&view, "lstNamae")->contextMenuPolicy(), Qt::CustomContextMenu);
    hooks.exportList(false);
    // Six swims of the sample lie in heats without a lap file here.
    EXPECT_EQ(window.statusText,
              u"CSV を書き出しました（6 人、通過タイムのないレース 6 件）: D:\\meet\\県選9.csv");
    EXPECT_EQ(test::readFile(m.driveD() / "meet" / "県選9.csv").substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(child<QLabel>(&view, "statusLine")->text(),
              QString::fromStdU16String(window.statusText));
    // Ctrl+Shift+E anywhere in the window writes the JSON.
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::keyClick(view.windowHandle(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(fs::exists(m.driveD() / "meet" / "県選9.json"));
    window.selectedDir = u"D:\\no such folder\\";
    hooks.exportList(true);
    EXPECT_EQ(window.statusText, u"JSON を書き込めませんでした: D:\\no such folder\\県選9.json");
}

// The meet of the tests above, its lap files from the test server on
// 127.0.0.1, through the window's threaded transfer as the program uses it.
class AnalysisFromServerTest : public ::testing::Test {
  protected:
    AnalysisFromServerTest() {
        test::writeLocalMeet(m);
        view.attachTransfer(inet);
        window.txtTaikai.setText(m.serverBase());
        view.perform([this] { test::openLocalMeet(window); });
        // The meet's lap files are on the server now.
        window.webMode = 1;
        window.seasonYear = u"2026";
        window.meetCode = u"2026001";
        m.server().serve("/swim/2026/2026001/lap/r0001.txt",
                         "4,31.25,,0,0,0,0,0,0\r\n4,1:05.32,G,0,0,0,0,0,0\r\n");
        auto showWait = inet.onWait;
        inet.onWait = [this, showWait](const std::u16string& words) {
            waits.push_back(words);
            showWait(words);
        };
        view.refresh();
    }

    // Selects the row with a click, then opens the analysis with a double-click.
    void doubleClickSwim(int row) {
        auto* swims = view.findChild<QAbstractItemView*>(QStringLiteral("lstShumoku"));
        const QPoint at = swims->visualRect(swims->model()->index(row, 0)).center();
        QTest::mouseClick(swims->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(swims->viewport(), Qt::LeftButton, {}, at);
    }

    TestMachine m;
    Machine base = m.machine();
    view::InputHold hold;
    view::ThreadedTransfer inet{base.inet, hold};
    MainWindow window{Machine{base.files, base.clock, inet, base.printer, base.events}};
    view::MainView view{window, m.files()};
    view::AnalysisHooks hooks{window, m.files(), view};
    std::vector<std::u16string> waits;
};

TEST_F(AnalysisFromServerTest, TheStatusLineTellsTheTruthOnceTheAnalysisHasItsLaps) {
    auto* status = view.findChild<QLabel*>(QStringLiteral("statusLine"));
    ASSERT_NE(status, nullptr);
    window.lstNamae.setListIndex(0);
    view.refresh();
    doubleClickSwim(0);  // heat 1: on the server
    auto* analysis = view.findChild<view::LapAnalysisWindow*>(QStringLiteral("lapAnalysis"));
    ASSERT_NE(analysis, nullptr);
    EXPECT_EQ(analysis->findChild<QTableWidget*>(QStringLiteral("paceTable"))->rowCount(), 2);
    // The swim choice and then the analysis each waited for the lap file.
    ASSERT_GE(waits.size(), 2u);
    EXPECT_EQ(waits.front(), u"ラップを取得中 1/1");
    EXPECT_EQ(waits.back(), u"ラップを取得中 …");
    // Nothing is pending: the status line says what the window last said
    // (the import's word, which the swim choice left standing).
    EXPECT_TRUE(window.statusText.starts_with(u"読み込みました")) << toUtf8(window.statusText);
    EXPECT_EQ(status->text(), QString::fromStdU16String(window.statusText));

    // A swim whose lap file the server does not have: the word of the swim
    // choice, not the wait, stays on the status line.
    waits.clear();
    doubleClickSwim(2);  // heat 4
    ASSERT_GE(waits.size(), 2u);
    EXPECT_TRUE(window.statusText.starts_with(u"ラップファイルを読めませんでした"))
        << toUtf8(window.statusText);
    EXPECT_EQ(status->toolTip(), QString::fromStdU16String(window.statusText));  // whole; the line may be cut
    // How the halves are judged stands in the analysis window.
    EXPECT_EQ(analysis->findChild<QLabel*>(QStringLiteral("paceRule"))->text(),
              QString::fromStdU16String(paceRuleText()));
}

}  // namespace
}  // namespace quendro
