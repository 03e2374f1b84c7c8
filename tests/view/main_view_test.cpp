#include "app/view/main_view.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "platform/text_rules.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::sjis;
using test::TestMachine;
using test::writeFile;

class MainViewTest : public ::testing::Test {
  protected:
    MainViewTest() {
        writeFile(m.siteControlFile(), sjis(u"1,D:\\,3,D:\\kekka,KEKKA.DAT\r\n"));
        window.txtTaikai.setText(m.serverBase());
        window.Form_Load();
        view.refresh();
    }

    template <typename W>
    W* widget(const char* name) {
        W* found = view.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The name of the next control that Tab reaches from w.
    static QString nextTabStop(QWidget* w) {
        do {
            w = w->nextInFocusChain();
        } while (
            !((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->objectName().isEmpty()));
        return w->objectName();
    }

    TestMachine m;
    MainWindow window{m.machine()};
    view::MainView view{window, m.files()};
};

TEST_F(MainViewTest, ControlsStandAtTheirTwips) {
    EXPECT_EQ(view.windowTitle(), QString::fromUtf8("競技会結果"));
    EXPECT_EQ(view.width(), 727);  // 10905 twips
    EXPECT_EQ(widget<QLineEdit>("txtBango")->geometry(), QRect(120, 24, 97, 18));
    EXPECT_EQ(widget<QGroupBox>("frmSuiro")->geometry(), QRect(8, 8, 65, 73));
    auto* fifty = widget<QRadioButton>("optSuiro(1)");
    EXPECT_EQ(fifty->parentWidget(), widget<QGroupBox>("frmSuiro"));
    EXPECT_EQ(fifty->geometry(), QRect(8, 32, 49, 17));  // inside its frame
    EXPECT_EQ(widget<QLabel>("lblLap(59)")->geometry(), QRect(224, 488, 49, 17));
    EXPECT_EQ(widget<QPushButton>("cmdKakutei")->geometry(), QRect(496, 192, 113, 25));
    // Tab goes from the number box to the competitor list, then to the swims.
    EXPECT_EQ(nextTabStop(widget<QLineEdit>("txtBango")), QStringLiteral("lstNamae"));
    EXPECT_EQ(nextTabStop(widget<QWidget>("lstNamae")), QStringLiteral("lstShumoku"));
}

TEST_F(MainViewTest, CaptionsFontsAndStatesComeFromTheModel) {
    auto* confirm = widget<QPushButton>("cmdKakutei");
    EXPECT_EQ(confirm->text(), QString::fromUtf8("確       定"));
    EXPECT_EQ(confirm->toolTip(), QString::fromUtf8("指定の競技会データを読み込みます"));
    EXPECT_FALSE(widget<QPushButton>("cmdWebUp")->isEnabled());
    EXPECT_TRUE(widget<QRadioButton>("optSuiro(1)")->isChecked());
    EXPECT_FALSE(widget<QRadioButton>("optSuiro(0)")->isChecked());
    EXPECT_EQ(widget<QLabel>("lblVer")->text().split(QChar(u'\n')).size(), 3);
    EXPECT_EQ(widget<QLabel>("lblWeb")->text(), QString::fromUtf8("D:\\"));
    EXPECT_EQ(widget<QLineEdit>("txtNendo")->text(), QStringLiteral("2010"));

    EXPECT_EQ(QFontInfo(widget<QLineEdit>("txtCode")->font()).family(),
              QStringLiteral("IPAGothic"));
    EXPECT_EQ(QFontInfo(widget<QLineEdit>("txtNa")->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_TRUE(widget<QLabel>("Label7")->font().bold());
    EXPECT_EQ(widget<QLabel>("lblWeb")->font().pointSizeF(), 8.25);
}

TEST_F(MainViewTest, WhatTheUserDoesReachesTheModel) {
    // A text set by the program shows from its start; the user clicks after it to type on.
    EXPECT_EQ(widget<QLineEdit>("txtNendo")->cursorPosition(), 0);
    widget<QLineEdit>("txtNendo")->end(false);
    QTest::keyClicks(widget<QLineEdit>("txtNendo"), QStringLiteral("9"));
    EXPECT_EQ(window.seasonYear, u"20109");
    widget<QRadioButton>("optSetti(1)")->click();
    EXPECT_EQ(window.optSetti.selected(), 1);
    EXPECT_EQ(window.touchpadIndex, 1);
    EXPECT_FALSE(widget<QRadioButton>("optSetti(0)")->isChecked());

    // A change made by code shows after the next refresh.
    window.statusText = u"ダウンロードできません";
    window.txtNa.setText(u"県選手権");
    view.refresh();
    EXPECT_EQ(widget<QLineEdit>("txtNa")->text(), QString::fromUtf8("県選手権"));
    EXPECT_EQ(widget<QLabel>("statusLine")->text(), QString::fromUtf8("ダウンロードできません"));
}

TEST_F(MainViewTest, TheWindowSaysWhatItDoesBeforeADownloadBlocksIt) {
    window.webMode = 1;
    window.seasonYear = u"2010";
    window.meetCode = u"2010001";
    window.txtNa.setText(u"前の大会");
    view.refresh();
    QString name;
    QString source;
    auto draw = window.onShowWork;
    ASSERT_TRUE(draw);
    window.onShowWork = [&] {
        draw();
        name = widget<QLineEdit>("txtNa")->text();
        source = widget<QLabel>("lblWeb")->text();
    };
    window.cmdKakutei.click();  // the test server has no such meet
    EXPECT_EQ(name, QString::fromUtf8("読み込み中"));
    EXPECT_EQ(source.toStdU16String(), m.serverBase() + u"2010/2010001/");
    // The download failed: the meet shown before stays.
    view.refresh();
    EXPECT_EQ(widget<QLineEdit>("txtNa")->text(), QString::fromUtf8("前の大会"));
}

// The competitor list shows the model's rows through an item model: a new set
// of rows is one reset, and a click selects the row in the model.
TEST_F(MainViewTest, TheCompetitorListFollowsItsModel) {
    auto* list = widget<QListView>("lstNamae");
    EXPECT_EQ(list->model()->rowCount(), 0);
    std::vector<std::u16string> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back(u"1" + std::u16string(4 - std::to_string(i).size(), u'0') +
                       fromUtf8(std::to_string(i)) + u"           山田太郎        ");
    window.lstNamae.assignItems(rows);
    int resets = 0;
    QObject::connect(list->model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    view.refresh();
    view.refresh();  // nothing changed: nothing redrawn
    EXPECT_EQ(resets, 1);
    ASSERT_EQ(list->model()->rowCount(), 5000);
    EXPECT_EQ(list->model()->index(4999, 0).data().toString().toStdU16String(), rows[4999]);

    window.hitRecords.assign(5001, 1);
    window.hitCount = 5000;
    list->setCurrentIndex(list->model()->index(2, 0));  // as a click does
    EXPECT_EQ(window.lstNamae.listIndex(), 2);
    window.lstNamae.setListIndex(4);  // chosen by code: shown after the refresh
    view.refresh();
    EXPECT_EQ(list->currentIndex().row(), 4);
    EXPECT_TRUE(view.grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/competitor_list.png")));
    window.lstNamae.clear();
    view.refresh();
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_FALSE(list->currentIndex().isValid());
}

TEST_F(MainViewTest, TheWindowIsDrawn) {
    QPixmap shot = view.grab();
    EXPECT_EQ(shot.width(), 727);
    EXPECT_TRUE(shot.save(QStringLiteral(QUENDRO_SHOT_DIR "/main_window.png")));
}

}  // namespace
}  // namespace quendro
