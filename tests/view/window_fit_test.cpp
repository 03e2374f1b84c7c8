// Every caption of the window shows whole at the window's fonts, at any zoom;
// the window scales as one and keeps its keyboard rules.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOption>
#include <QTest>
#include <cmath>
#include <optional>

#include "app/view/caption_label.h"
#include "app/view/main_view.h"
#include "app/view/zoom.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::sjis;
using test::TestMachine;
using test::writeFile;

class WindowFitTest : public ::testing::Test {
  protected:
    WindowFitTest() {
        writeFile(m.siteControlFile(), sjis(u"1,D:\\,3,D:\\kekka,KEKKA.DAT\r\n"));
        window.txtTaikai.setText(m.serverBase());
        window.Form_Load();
        // The widest captions the window shows: distances up to 1500 m, long
        // times, and an address with letters that reach under the line.
        window.optSuiro.select(0);
        for (auto& label : window.lblLap) label.caption = u"10:05.32";
        window.lblWeb.caption = u"http://127.0.0.1:65535/swim/2010/jpq/";
        view.refresh();
        view.show();
    }

    // What of a caption's text area is not shown: empty when all of it shows.
    static QRegion hidden(QWidget* w, const QRect& area) {
        return QRegion(area) - w->visibleRegion();
    }

    // Each caption, measured with its font's metrics against its control.
    // Returns the names of the controls whose caption does not show whole.
    std::vector<std::string> cutCaptions() {
        std::vector<std::string> cut;
        for (QWidget* w : view.findChildren<QWidget*>()) {
            std::string name = w->objectName().toStdString();
            QFontMetrics fm(w->font());
            QStyle* style = w->style();
            bool whole = true;
            if (auto* label = dynamic_cast<view::CaptionLabel*>(w)) {
                QStringList lines = label->lines();
                QRect room = label->room();
                view::CaptionPlacement at = label->placement();
                for (int i = 0; i < lines.size(); ++i) {
                    if (lines[i].isEmpty()) continue;
                    QRectF ink = fm.tightBoundingRect(lines[i]);
                    ink.translate(0, fm.ascent() + i * fm.lineSpacing());
                    ink = QRectF(ink.left() * at.sx, ink.top() * at.sy, ink.width() * at.sx,
                                 ink.height() * at.sy)
                              .translated(at.origin + room.topLeft());
                    // Whole pixels the ink touches, with a hair's allowance for rounding.
                    QRect pixels = ink.adjusted(0.01, 0.01, -0.01, -0.01).toAlignedRect();
                    if (!hidden(w, pixels).isEmpty()) whole = false;
                }
            } else if (auto* option = qobject_cast<QRadioButton*>(w)) {
                QStyleOptionButton o;
                o.initFrom(option);
                o.text = option->text();
                QRect text = style->subElementRect(QStyle::SE_RadioButtonContents, &o, option);
                whole = fm.horizontalAdvance(option->text()) <= text.width() &&
                        fm.height() <= text.height() && hidden(w, text).isEmpty();
            } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
                QStyleOptionButton o;
                o.initFrom(check);
                o.text = check->text();
                QRect text = style->subElementRect(QStyle::SE_CheckBoxContents, &o, check);
                whole = fm.horizontalAdvance(check->text()) <= text.width() &&
                        fm.height() <= text.height() && hidden(w, text).isEmpty();
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                QStyleOptionButton o;
                o.initFrom(button);
                o.text = button->text();
                QRect text = style->subElementRect(QStyle::SE_PushButtonContents, &o, button);
                whole = fm.horizontalAdvance(button->text()) <= text.width() &&
                        fm.height() <= text.height() && hidden(w, text).isEmpty();
            } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
                QStyleOptionGroupBox o;
                o.initFrom(frame);
                o.text = frame->title();
                o.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
                o.textAlignment = frame->alignment();
                QRect text =
                    style->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, frame);
                whole = fm.horizontalAdvance(frame->title()) <= text.width() &&
                        hidden(w, text).isEmpty();
            }
            if (!whole) cut.push_back(name);
        }
        return cut;
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

TEST_F(WindowFitTest, EveryCaptionShowsWholeAtEveryZoom) {
    for (double zoom : {1.0, 2.0, 0.7, 1.5}) {
        view.setZoom(zoom);
        EXPECT_EQ(cutCaptions(), std::vector<std::string>()) << "zoom " << zoom;
        if (zoom == 1.0) view.grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/fit1.png"));
    }
    // Long times side by side in the lap grid keep a gap between their inks.
    auto inkAcross = [](view::CaptionLabel* label) {  // left and right of the ink in the window
        QFontMetrics fm(label->font());
        QRect room = label->room();
        view::CaptionPlacement at = label->placement();
        QRectF ink = fm.tightBoundingRect(label->lines()[0]);
        double left = label->x() + room.left() + at.origin.x();
        return std::pair(left + ink.left() * at.sx, left + ink.right() * at.sx);
    };
    window.lblLap[0].caption = u"11:57.31";  // ink that ends short of the text's end
    window.lblLap[1].caption = u"12:14.29";
    view.refresh();
    for (double zoom : {1.0, 0.7}) {
        view.setZoom(zoom);
        auto* first = widget<view::CaptionLabel>("lblLap(0)");
        double firstEnd = inkAcross(first).second;
        double nextStart = inkAcross(widget<view::CaptionLabel>("lblLap(1)")).first;
        QFontMetrics fm(first->font());
        EXPECT_GE(nextStart - firstEnd, fm.horizontalAdvance(u' ')) << "zoom " << zoom;
        // The whole text, the room of its last digit included, stays in the cell.
        EXPECT_LE(fm.horizontalAdvance(first->text()) * first->placement().sx,
                  first->room().width() + 0.01)
            << "zoom " << zoom;
    }
    // The narrowest room: the date separator ends where the second date box begins.
    auto* separator = widget<view::CaptionLabel>("Label6");
    view.setZoom(1.0);
    EXPECT_LT(separator->room().width(), separator->width());
}

TEST_F(WindowFitTest, TextBoxesShowTheirTextFromItsStart) {
    window.txtBasho.setText(u"東京辰巳国際水泳場メインプール（長水路）");
    view.refresh();
    auto* venue = widget<QLineEdit>("txtBasho");
    EXPECT_EQ(venue->cursorPosition(), 0);
    // No list shows a horizontal scroll bar over its rows.
    window.lstShumoku.addItem(std::u16string(60, u'長'));
    view.refresh();
    for (const char* name : {"lstNamae", "lstShumoku", "lstTaikai", "Dir1"}) {
        EXPECT_EQ(widget<QAbstractItemView>(name)->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff)
            << name;
    }
}

TEST_F(WindowFitTest, TheWholeWindowScales) {
    view.setZoom(2.0);
    EXPECT_EQ(view.size(), QSize(1454, 1038 + 40));
    EXPECT_EQ(widget<QLineEdit>("txtBango")->geometry(), QRect(240, 48, 194, 36));
    EXPECT_EQ(widget<QRadioButton>("optSuiro(1)")->geometry(), QRect(16, 64, 98, 34));
    EXPECT_EQ(widget<QPushButton>("cmdKakutei")->geometry(), QRect(992, 384, 226, 50));
    EXPECT_EQ(QFontInfo(widget<QLineEdit>("txtCode")->font()).pixelSize(), 24);
    EXPECT_TRUE(
        QPixmap(view.grab()).save(QStringLiteral(QUENDRO_SHOT_DIR "/main_window_zoom2.png")));

    // Ctrl + plus, minus and 0; the new zoom is told to whoever keeps it.
    double told = 0;
    view.onZoomChanged = [&told](double zoom) { told = zoom; };
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::keyClick(&view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(view.zoom(), 1.0);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view.zoom(), 0.9);
    EXPECT_EQ(told, 0.9);
    EXPECT_EQ(view.width(), 654);  // 10905 twips at 0.9

    // A step past the screen's edge moves the window back; one at which the
    // window with its borders is wider than the screen (804 at 1.1) is not taken.
    const QRect room = view.screen()->availableGeometry();
    view.move(room.right() - view.frameGeometry().width(), room.bottom() - 10);
    for (double zoom : {1.0, 1.0}) {
        QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(view.zoom(), zoom);
        EXPECT_TRUE(room.contains(view.frameGeometry())) << view.frameGeometry().bottom();
    }
}

TEST(Zoom, TheLargestStepThatFits) {
    struct Case {
        double wanted;
        int roomWidth, roomHeight;
        double expected;
    } cases[] = {
        {1.0, 1024, 768, 1.0},                          // fits as it is
        {2.0, 1024, 768, 1.25},  {1.0, 512, 384, 0.7},  // 1024 x 768 at a scale factor of 2
        {2.0, 1920, 1080, 2.0},  {1.0, 200, 100, 0.5},  // nothing fits: the smallest step
        {1.3, 4000, 4000, 1.25}, {1.0, 727, 539, 1.0},  // at the edge
        {1.0, 727, 538, 0.9},                           // a pixel short
    };
    auto atOne = [](double zoom) {  // a window of 727 x 539 at zoom 1
        return QSize(static_cast<int>(std::lround(727 * zoom)),
                     static_cast<int>(std::lround(539 * zoom)));
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view::fittingZoom(c.wanted, atOne, QSize(c.roomWidth, c.roomHeight)), c.expected)
            << c.roomWidth << "x" << c.roomHeight;
    }
    EXPECT_EQ(view::zoomIn(3.0), 3.0);
    EXPECT_EQ(view::zoomOut(0.5), 0.5);
    EXPECT_EQ(view::zoomOut(1.0), 0.9);
}

TEST(Zoom, TheWindowStaysWhollyOnItsScreen) {
    const QSize frame(735, 587);         // zoom 1 with borders and a title bar
    const QRect room(0, 28, 1024, 740);  // 1024 x 768 under a panel
    struct Case {
        std::optional<QPoint> kept;
        QPoint expected;
    } cases[] = {
        {std::nullopt, {144, 104}},        // none kept: the middle
        {QPoint(289, 181), {289, 181}},    // the right and bottom edges
        {QPoint(290, 182), {289, 181}},    // a pixel past them
        {QPoint(0, 28), {0, 28}},          // the left and top edges
        {QPoint(-1, 27), {0, 28}},         // a pixel past them
        {QPoint(1500, 1100), {289, 181}},  // kept on a larger screen
    };
    for (const Case& c : cases) EXPECT_EQ(view::placeWindow(frame, c.kept, room), c.expected);
    EXPECT_EQ(view::placeWindow(frame, QPoint(9, 9), QRect(0, 0, 640, 480)), QPoint(0, 0));
}

TEST_F(WindowFitTest, KeyboardAsOnTheDesktop) {
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    // The arrow keys move the selection within an option group, round its end,
    // over an option that is disabled.
    auto* fifty = widget<QRadioButton>("optSuiro(1)");
    fifty->setFocus();
    QTest::keyClick(fifty, Qt::Key_Down);
    EXPECT_EQ(window.optSuiro.selected(), 2);
    EXPECT_EQ(window.poolIndex, 2);
    EXPECT_TRUE(widget<QRadioButton>("optSuiro(2)")->hasFocus());
    QTest::keyClick(widget<QRadioButton>("optSuiro(2)"), Qt::Key_Right);
    EXPECT_EQ(window.optSuiro.selected(), 0);
    window.optSuiro.select(1);  // laps of 25 m are disabled at 50 m
    view.refresh();
    QTest::keyClick(widget<QRadioButton>("optLap(0)"), Qt::Key_Down);
    EXPECT_EQ(window.optLap.selected(), 2);
    QTest::keyClick(widget<QRadioButton>("optLap(2)"), Qt::Key_Up);
    EXPECT_EQ(window.optLap.selected(), 0);

    // Enter presses the focused button.
    auto* html = widget<QPushButton>("cmdHtml");
    html->setFocus();
    QTest::keyClick(html, Qt::Key_Return);
    EXPECT_TRUE(window.statusText.starts_with(u"HTML を書き込みました: D:\\"));

    // The list with the focus shows a frame that the others do not.
    auto* list = widget<QAbstractItemView>("lstShumoku");
    QImage before = list->grab().toImage();
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    QImage focused = list->grab().toImage();
    EXPECT_NE(before, focused);
    EXPECT_NE(focused.pixelColor(1, list->height() / 2), before.pixelColor(1, list->height() / 2));
}

TEST_F(WindowFitTest, TheVersionAndTheOlderLapLayoutExplainThemselves) {
    EXPECT_TRUE(widget<QWidget>("lblVer")->toolTip().startsWith(QStringLiteral("quendro 1.")));
    EXPECT_TRUE(widget<QWidget>("chkQ")->toolTip().contains(QString::fromUtf8("旧形式")));
}

}  // namespace
}  // namespace quendro
