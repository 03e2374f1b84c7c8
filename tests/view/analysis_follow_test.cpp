// The analysis window and the heat view with full event names, following a
// live meet; the saved chart with its title; the export keys anywhere in the
// main window.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "app/view/analysis_hooks.h"
#include "app/view/lap_analysis_window.h"
#include "app/view/lap_follow_timer.h"
#include "app/view/main_view.h"
#include "platform/text_rules.h"
#include "tests/support/local_meet.h"
#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"
#include "tests/view/analysis_fixture.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::TestMachine;
using test::writeFile;

const std::string kHeat1 =
    "4,31.25,,0,0,0,0,0,0\r\n5,33.40,,0,0,0,0,0,0\r\n6,35.02,,0,0,0,0,0,0\r\n"
    "4,1:05.32,G,0,0,0,0,0,0\r\n5,1:10.15,G,0,0,0,0,0,0\r\n";

class AnalysisFollowTest : public test::AnalysisViewFixture {
  protected:
    AnalysisFollowTest() {
        writeFile(meet() / "lap" / "r0001", kHeat1);
        test::openLocalMeet(window);
        view.refresh();
    }

    fs::path meet() const { return m.driveD() / "meet"; }
};

TEST_F(AnalysisFollowTest, TheEventByItsFullNameWhereTheGridCutsItShort) {
    // A 200 m individual medley heat for the first competitor, lane 1 of a
    // heat added at the end, with its lap file.
    const int heat = window.meetHeatCount + 1;
    const auto competitor = static_cast<std::int16_t>(window.hitRecords[0]);
    writeFile(meet() / "taikai.dat",
              test::withAddedHeat(readFile(meet() / "taikai.dat"), 21, competitor, 0, 21960));
    char lapName[16];
    std::snprintf(lapName, sizeof lapName, "r%04d", heat);
    writeFile(meet() / "lap" / lapName,
              "1,30.80,,0,0,0,0,0,0\r\n1,1:04.40,,0,0,0,0,0,0\r\n1,1:45.10,,0,0,0,0,0,0\r\n"
              "1,2:19.60,G,0,0,0,0,0,0\r\n");
    test::openLocalMeet(window);
    window.lstNamae.setListIndex(0);
    const auto& rows = window.lstShumoku.items();
    auto medley = std::find_if(rows.begin(), rows.end(), [](const std::u16string& row) {
        return row.find(u"個人メ") != std::u16string::npos;
    });
    ASSERT_NE(medley, rows.end());
    // The grid keeps its eight characters.
    EXPECT_TRUE(medley->starts_with(u" 200m個人メ 予選")) << toUtf8(*medley);
    choose(0, static_cast<int>(medley - rows.begin()));
    auto* analysis = hooks.openAnalysis();
    ASSERT_NE(analysis, nullptr);
    const QString title = child<QLabel>(analysis, "analysisTitle")->text();
    EXPECT_TRUE(title.endsWith(QString::fromUtf8(" 200m個人メドレー 予選 2:19.60"))) << title.toStdString();
    EXPECT_EQ(child<QTableWidget>(analysis, "paceTable")->rowCount(), 4);
    analysis->showHeat();
    auto* heatView = child<QWidget>(analysis, "heatSplits");
    ASSERT_NE(heatView, nullptr);
    const QString heatTitle = child<QLabel>(heatView, "heatTitle")->text();
    EXPECT_TRUE(heatTitle.startsWith(QString::fromUtf8("200m個人メドレー 予選  組 ")))
        << heatTitle.toStdString();
    EXPECT_TRUE(analysis->chartTitleText().contains(QString::fromUtf8("　200m個人メドレー 予選　県選手権")))
        << analysis->chartTitleText().toStdString();
    EXPECT_TRUE(analysis->grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/analysis_full_name.png")));
    EXPECT_TRUE(heatView->grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/heat_full_name.png")));
}

TEST_F(AnalysisFollowTest, TheSavedChartCarriesItsTitleAndTheSaveStartsInTheChosenFolder) {
    choose(0, 0);  // 100 m heats, lane 4 of heat 1
    auto* analysis = hooks.openAnalysis();
    ASSERT_NE(analysis, nullptr);
    const QString title = analysis->chartTitleText();
    EXPECT_TRUE(title.endsWith(QString::fromUtf8("　100m自由形 予選　県選手権"))) << title.toStdString();
    QString name = title;
    name.replace(QChar(0x3000), QLatin1Char('_')).replace(QLatin1Char(' '), QLatin1Char('_'));
    name += QStringLiteral(".png");
    EXPECT_EQ(analysis->suggestedChartPath(),
              QString::fromStdString((meet() / name.toStdString()).string()));

    const QString png = QStringLiteral(QUENDRO_SHOT_DIR "/lap_analysis_titled.png");
    QFile::remove(png);
    ASSERT_TRUE(analysis->saveChart(png));
    QImage image(png);
    ASSERT_FALSE(image.isNull());
    // The band above the chart holds the title: dark pixels on white.
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < image.width() / 2; ++x) dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 20);
    // In internet mode the save starts in the working folder.
    window.webMode = 1;
    // (The competitors are then the working folder's: the title's name may go.)
    QString there = analysis->chartTitleText();
    there.replace(QChar(0x3000), QLatin1Char('_')).replace(QLatin1Char(' '), QLatin1Char('_'));
    EXPECT_EQ(analysis->suggestedChartPath(),
              QString::fromStdString(
                  (m.workingFolder() / (there + QStringLiteral(".png")).toStdString()).string()));
}

TEST_F(AnalysisFollowTest, TheAnalysisAndTheHeatFollowTheLapFile) {
    choose(0, 0);
    auto* analysis = hooks.openAnalysis();
    ASSERT_NE(analysis, nullptr);
    auto* table = child<QTableWidget>(analysis, "paceTable");
    // Lane 5 of the same heat laid over it.
    const auto& offered = analysis->comparable();
    auto lane5 = std::find_if(offered.begin(), offered.end(),
                              [](const MeetSwim& s) { return s.heat == u"0001" && s.lane == 4; });
    ASSERT_NE(lane5, offered.end());
    const int choice = static_cast<int>(lane5 - offered.begin()) + 1;
    analysis->compareWith(choice);
    analysis->showHeat();
    auto* heatTable = child<QTableWidget>(child<QWidget>(analysis, "heatSplits"), "heatTable");
    EXPECT_EQ(cell(table, 0, 1), QStringLiteral("31.25"));
    EXPECT_EQ(cell(heatTable, 0, 0), QString::fromUtf8("31.25  1位\n31.25"));

    int refreshed = 0;
    view::LapFollowTimer follow{window, m.machine().inet, m.files(),
                                [&] {
                                    ++refreshed;
                                    view.refresh();
                                    hooks.lapsChanged();
                                },
                                std::chrono::milliseconds(100)};
    QTRY_VERIFY_WITH_TIMEOUT(follow.checksDone() >= 2, 5000);
    // Lane 4 was timed again at 50 m: 34.50, behind lane 5.
    writeFile(meet() / "lap" / "r0001",
              "4,34.50,,0,0,0,0,0,0\r\n5,33.40,,0,0,0,0,0,0\r\n6,35.02,,0,0,0,0,0,0\r\n"
              "4,1:05.32,G,0,0,0,0,0,0\r\n5,1:10.15,G,0,0,0,0,0,0\r\n7,1:20.00,G,0,0,0,0,0,0\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(cell(table, 0, 1), QStringLiteral("34.50"), 5000);
    EXPECT_EQ(refreshed, 1);
    // The comparison stays, and the heat view shows the new order.
    EXPECT_EQ(child<QComboBox>(analysis, "compare")->currentIndex(), choice);
    EXPECT_EQ(table->columnCount(), 8);
    EXPECT_EQ(cell(heatTable, 0, 0), QString::fromUtf8("34.50  2位\n34.50"));
    EXPECT_EQ(cell(heatTable, 0, 1), QString::fromUtf8("33.40  1位\n33.40"));
}

// A take of the meet (as the meet follow makes, the choice kept): the open
// analysis reads the swim again and shows its new result.
TEST_F(AnalysisFollowTest, TheAnalysisFollowsATakeOfTheMeet) {
    choose(0, 0);  // heat 1, lane 4 (slot 3): 1:05.32
    auto* analysis = hooks.openAnalysis();
    ASSERT_NE(analysis, nullptr);
    auto* title = child<QLabel>(analysis, "analysisTitle");
    EXPECT_TRUE(title->text().endsWith(QStringLiteral("1:05.32"))) << title->text().toStdString();
    writeFile(meet() / "taikai.dat",
              test::withLaneTime(readFile(meet() / "taikai.dat"), 1, 3, 10450));
    writeFile(meet() / "lap" / "r0001", "4,31.25,,0,0,0,0,0,0\r\n4,1:04.50,G,0,0,0,0,0,0\r\n");
    test::openLocalMeet(window);
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(0);
    hooks.lapsChanged();
    EXPECT_TRUE(title->text().endsWith(QStringLiteral("1:04.50"))) << title->text().toStdString();
    auto* table = child<QTableWidget>(analysis, "paceTable");
    EXPECT_EQ(cell(table, 1, 1), QStringLiteral("1:04.50"));
    EXPECT_EQ(cell(table, 1, 2), QStringLiteral("33.25"));
}

// What a text box does with Ctrl+E under X11's key bindings: it takes the key
// for itself (the end of the line), before any shortcut of the window.
class EndOfLineKey : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_E || !(key->modifiers() & Qt::ControlModifier)) return false;
        key->accept();
        if (event->type() == QEvent::KeyPress) static_cast<QLineEdit*>(watched)->end(false);
        return true;
    }
};

TEST(AnalysisHooksKeys, TheExportKeysWorkFromATextBoxAndTheChoiceStays) {
    TestMachine m;
    test::writeLocalMeet(m);
    writeFile(m.driveD() / "meet" / "lap" / "r0001", kHeat1);
    MainWindow window{m.machine()};
    view::MainView view{window, m.files()};
    auto* box = view.findChild<QLineEdit*>(QStringLiteral("txtBango"));
    ASSERT_NE(box, nullptr);
    EndOfLineKey textBoxKeys;
    box->installEventFilter(&textBoxKeys);
    view::AnalysisHooks hooks{window, m.files(), view};
    test::openLocalMeet(window);
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(2);  // the first competitor's 200 m
    view.refresh();

    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    box->setFocus();
    box->setText(QStringLiteral("12"));
    box->setCursorPosition(0);
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClick(view.windowHandle(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(fs::exists(m.driveD() / "meet" / "県選9.csv"));
    EXPECT_TRUE(window.statusText.starts_with(u"CSV を書き出しました")) << toUtf8(window.statusText);
    EXPECT_EQ(box->cursorPosition(), 0);  // the text box did not take the key
    QTest::keyClick(view.windowHandle(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(fs::exists(m.driveD() / "meet" / "県選9.json"));
    EXPECT_TRUE(window.statusText.starts_with(u"JSON を書き出しました")) << toUtf8(window.statusText);
    EXPECT_EQ(window.lstNamae.listIndex(), 0);
    EXPECT_EQ(window.lstShumoku.listIndex(), 2);
    auto* swims = view.findChild<QAbstractItemView*>(QStringLiteral("lstShumoku"));
    ASSERT_NE(swims, nullptr);
    EXPECT_EQ(swims->currentIndex().row(), 2);
    // Ctrl with another letter, and Ctrl+Alt+E, still reach the text box.
    box->setText(QStringLiteral("1201"));
    box->setCursorPosition(4);
    QTest::keyClick(view.windowHandle(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->selectedText(), QStringLiteral("1201"));
    fs::remove(m.driveD() / "meet" / "県選9.csv");
    box->setCursorPosition(0);
    QTest::keyClick(view.windowHandle(), Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(fs::exists(m.driveD() / "meet" / "県選9.csv"));
    EXPECT_EQ(box->cursorPosition(), 4);
}

}  // namespace
}  // namespace quendro
