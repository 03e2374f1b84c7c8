// The small things of a first day: Enter in the boxes, a status line that fits
// its box, the toolkit's dialogs in Japanese.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/view/main_view.h"
#include "app/view/translations.h"
#include "platform/text_rules.h"
#include "tests/support/local_meet.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::TestMachine;

class ConveniencesTest : public ::testing::Test {
  protected:
    ConveniencesTest() {
        test::writeLocalMeet(m);
        test::openLocalMeet(window);
        view.refresh();
    }
    template <typename W>
    W* widget(const char* name) {
        W* found = view.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TestMachine m;
    MainWindow window{m.machine()};
    view::MainView view{window, m.files()};
};

TEST_F(ConveniencesTest, EnterInTheNumberBoxChoosesTheOneCompetitorListed) {
    ASSERT_GT(window.lstNamae.listCount(), 1);
    auto* box = widget<QLineEdit>("txtBango");
    // Two or more listed: Enter chooses no one.
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(window.lstNamae.listIndex(), -1);
    // The whole number of the first competitor lists that one alone.
    std::u16string number = window.lstNamae.items()[0].substr(0, 14);
    while (!number.empty() && number.back() == u' ') number.pop_back();
    QTest::keyClicks(box, QString::fromStdU16String(number));
    ASSERT_EQ(window.lstNamae.listCount(), 1);
    EXPECT_EQ(window.lstShumoku.listCount(), 0);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(window.lstNamae.listIndex(), 0);
    EXPECT_GT(window.lstShumoku.listCount(), 0);
    EXPECT_TRUE(view.grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/enter_chooses.png")));
}

TEST_F(ConveniencesTest, EnterInTheBaseAddressListsTheSeasonsMeetsAgain) {
    m.server().serve("/swim/2026/list.txt", test::sjis(u"\"2026001 県選手権\"\r\n"));
    window.txtNendo.setText(u"2026");
    window.optWeb.select(1);
    window.txtTaikai.setText(u"http://127.0.0.1:1/swim/");
    view.refresh();
    EXPECT_EQ(window.lstTaikai.listCount(), 0);
    // The user types the right address and presses Enter.
    auto* box = widget<QLineEdit>("txtTaikai");
    box->selectAll();
    QTest::keyClicks(box, QString::fromStdU16String(m.serverBase()));
    EXPECT_EQ(window.txtTaikai.text(), m.serverBase());
    EXPECT_EQ(window.lstTaikai.listCount(), 0);  // typing alone fetches nothing
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(window.lstTaikai.listCount(), 1);
    EXPECT_EQ(window.lstTaikai.items()[0], u"2026001 県選手権");
}

TEST_F(ConveniencesTest, ALongStatusLineIsCutAndShownWholeInItsTooltip) {
    auto* status = widget<QLabel>("statusLine");
    window.statusText = u"短い言葉";
    view.refresh();
    EXPECT_EQ(status->text(), QStringLiteral("短い言葉"));
    EXPECT_EQ(status->toolTip(), QStringLiteral("短い言葉"));

    std::u16string whole = u"ファイルがありません: ";
    for (int i = 0; i < 12; ++i) whole += u"D:\\とても長いフォルダの名前\\";
    window.statusText = whole;
    view.refresh();
    QString shown = status->text();
    EXPECT_TRUE(shown.endsWith(QChar(u'…'))) << shown.toStdString();
    EXPECT_TRUE(QString::fromStdU16String(whole).startsWith(shown.chopped(1)));
    EXPECT_LE(status->fontMetrics().horizontalAdvance(shown), status->width());
    EXPECT_EQ(status->toolTip(), QString::fromStdU16String(whole));
    EXPECT_EQ(view.statusWords(), QString::fromStdU16String(whole));
    // At another zoom the line is cut again to its new box.
    view.setZoom(2.0);
    EXPECT_TRUE(status->text().endsWith(QChar(u'…')));
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->width());
    EXPECT_TRUE(view.grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/status_cut.png")));
}

TEST(JapaneseDialogs, TheToolkitsButtonsSpeakJapanese) {
    ASSERT_TRUE(view::installJapaneseDialogs());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Cancel | QMessageBox::Save);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_NE(box.button(QMessageBox::Save)->text(), QStringLiteral("Save"));
}

}  // namespace
}  // namespace quendro
