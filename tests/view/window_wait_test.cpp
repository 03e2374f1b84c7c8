// The window waits for the server off its thread: it paints and says what it
// fetches, the user's input waits until the work ends, and Esc stops the work.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <utility>

#include "app/view/input_hold.h"
#include "app/view/main_view.h"
#include "app/view/progress.h"
#include "app/view/threaded_transfer.h"
#include "platform/text_rules.h"
#include "tests/support/test_machine.h"
#include "tools/meet_generator.h"

namespace quendro {
namespace {

using test::sjis;
using test::TestMachine;
using test::writeFile;

// A server on 127.0.0.1 that takes connections and never answers.
class SilentServer {
  public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(fd_, 16) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            ADD_FAILURE() << "no silent server";
        }
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() {
        if (fd_ >= 0) ::close(fd_);
    }
    std::u16string base() const { return u"http://127.0.0.1:" + decimalText(port_) + u"/swim/"; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

class WindowWaitTest : public ::testing::Test {
  protected:
    WindowWaitTest() {
        writeFile(m.siteControlFile(), sjis(u"1,D:\\,3,D:\\kekka,KEKKA.DAT\r\n"));
        hold.onEscape = [this] { inet.cancel(); };
        view.attachTransfer(inet);
        view.show();
    }

    TestMachine m;
    Machine base = m.machine();
    view::InputHold hold;
    view::ThreadedTransfer inet{base.inet, hold};
    MainWindow window{Machine{base.files, base.clock, inet, base.printer, base.events}};
    view::MainView view{window, m.files()};
};

TEST_F(WindowWaitTest, EscStopsAStalledDownloadAndHeldInputFollows) {
    SilentServer silent;
    window.txtTaikai.setText(silent.base());
    auto* number = view.findChild<QLineEdit*>(QStringLiteral("txtBango"));
    auto* status = view.findChild<QLabel*>(QStringLiteral("statusLine"));
    QString shownWhileWaiting;
    std::u16string typedWhileWaiting = u"-";
    // Once the window waits for the list, the user types and then presses Esc.
    auto showWait = inet.onWait;
    bool started = false;
    inet.onWait = [&, showWait](const std::u16string& words) {
        showWait(words);
        if (std::exchange(started, true)) return;
        QTimer::singleShot(300, [&] {
            shownWhileWaiting = status->text();
            QTest::keyClicks(number, QStringLiteral("12"));  // waits until the work ends
            typedWhileWaiting = window.txtBango.text();
            QTest::keyClick(number, Qt::Key_Escape);
        });
    };
    auto begin = std::chrono::steady_clock::now();
    view.perform([this] { window.Form_Load(); });
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

    EXPECT_LT(seconds, 5.0);  // the transfer's own limit is 20 s
    EXPECT_EQ(shownWhileWaiting, QString::fromUtf8("大会一覧を取得中 …"));
    EXPECT_EQ(typedWhileWaiting, u"");
    // The procedure ended on a download the user stopped, and says so.
    EXPECT_TRUE(window.statusText.starts_with(u"大会一覧を読み込めませんでした (中止しました)"))
        << toUtf8(window.statusText);
    EXPECT_EQ(status->toolTip(), QString::fromStdU16String(window.statusText));  // whole; the line may be cut
    EXPECT_EQ(window.lstTaikai.listCount(), 0);
    EXPECT_EQ(window.seasonYear, u"2010");  // start-up went on after the download
    // Then what was typed reaches the window, in order.
    QTest::qWait(50);
    EXPECT_EQ(window.txtBango.text(), u"12");
    EXPECT_EQ(number->text(), QStringLiteral("12"));

    // The next action fetches again: the stop held for one action only.
    window.txtTaikai.setText(m.serverBase());
    m.server().serve("/swim/2011/list.txt", sjis(u"\"1234567 県選\"\r\n"));
    view.perform([this] { window.txtNendo.setText(u"2011"); });
    EXPECT_EQ(window.lstTaikai.items(), std::vector<std::u16string>{u"1234567 県選"});
    EXPECT_EQ(window.statusText, u"");

    // Outside any action (the analysis window, an export) Esc stops the
    // download waited for, and the next such download is fetched again.
    QTimer::singleShot(200, [this] { inet.cancel(); });
    EXPECT_FALSE(inet.download(silent.base() + u"2011/list.txt").ok());
    EXPECT_TRUE(inet.download(m.serverBase() + u"2011/list.txt").ok());
}

// A server slow to answer: the window stands whole at once, with what this
// machine holds, and says that it fetches the season's meets; they come after.
TEST_F(WindowWaitTest, TheWindowStandsWholeWhileTheSeasonsMeetsAreFetched) {
    std::filesystem::create_directories(m.driveD() / "meet");
    writeFile(m.siteControlFile(), sjis(u"1,D:\\meet,3,D:\\kekka,KEKKA.DAT\r\n"));
    std::u16string header = u"X:\\kekka\\,KEKKA.DAT,2010001,県選手権,県選,20100725,20100726,プール,1";
    for (int i = 10; i <= 73; ++i) header += u",0";  // 25 m, touchpads at both ends
    writeFile(m.workingFolder() / "kijun.dat", sjis(header));
    writeFile(m.workingFolder() / "taikai.dat", "x");
    m.server().serve("/swim/2010/list.txt", sjis(u"\"2010001 県選手権\"\r\n"));
    m.server().holdBack("/swim/2010/list.txt", std::chrono::milliseconds(2500));
    window.txtTaikai.setText(m.serverBase());

    auto begin = std::chrono::steady_clock::now();
    auto seconds = [&begin] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    };
    double seenAt = -1;
    QStringList seen;
    QTimer::singleShot(700, [&] {
        seenAt = seconds();
        seen << view.findChild<QLineEdit*>(QStringLiteral("txtRyaku"))->text()
             << (view.findChild<QRadioButton*>(QStringLiteral("optSuiro(0)"))->isChecked()
                     ? QStringLiteral("25m")
                     : QStringLiteral("-"))
             << view.findChild<QLabel*>(QStringLiteral("lblShu(1)"))->text()
             << view.findChild<QLabel*>(QStringLiteral("lblVer"))->text().section(u'\n', 0, 0)
             << view.findChild<QWidget*>(QStringLiteral("Dir1"))->property("shownPath").toString()
             << view.findChild<QLabel*>(QStringLiteral("statusLine"))->text()
             << QString::number(view.findChild<QListView*>(QStringLiteral("lstTaikai"))->model()->rowCount());
        view.grab().save(QStringLiteral(QUENDRO_SHOT_DIR "/start_while_list_waits.png"));
    });
    view.perform([this] { window.Form_Load(); });

    EXPECT_LT(seenAt, 1.0);
    EXPECT_EQ(seen.join(u'|').toStdString(), "県選|25m| 50m|Ver 3.30|D:\\meet|大会一覧を取得中 …|0");
    // Then the answer: the list, and the window as a start ends.
    EXPECT_GE(seconds(), 2.5);
    EXPECT_EQ(window.lstTaikai.items(), std::vector<std::u16string>{u"2010001 県選手権"});
    EXPECT_EQ(window.lblWeb.caption, u"D:\\meet\\");
    EXPECT_EQ(window.statusText, u"確定 で大会を読み込みます");
    EXPECT_FALSE(std::filesystem::exists(m.workingFolder() / "taikai.dat"));
    EXPECT_TRUE(std::filesystem::exists(m.workingFolder() / "kijun.dat"));
}

TEST_F(WindowWaitTest, TheStatusLineCountsTheFilesOfTheWork) {
    std::string base = toUtf8(m.serverBase()) + "2010/1234567/lap/";
    for (const char* heat : {"0001", "0002", "0003"})
        m.server().serve("/swim/2010/1234567/lap/r" + std::string(heat) + ".txt", heat);
    std::vector<std::u16string> words;
    inet.onWait = [&words](const std::u16string& w) { words.push_back(w); };
    inet.beginAction({{view::Fetch::LapFile, 3}});
    for (const char* heat : {"0001", "0002", "0003"}) {
        auto body = inet.openUrl(fromUtf8(base + "r" + heat + ".txt"));
        ASSERT_TRUE(body);
        EXPECT_EQ(*body, heat);
    }
    EXPECT_FALSE(inet.endAction());
    EXPECT_EQ(words, (std::vector<std::u16string>{u"ラップを取得中 1/3", u"ラップを取得中 2/3",
                                                  u"ラップを取得中 3/3"}));
}

// A meet on the test server, imported through the window, with its competitors listed.
class WindowReportTest : public WindowWaitTest {
  protected:
    WindowReportTest() {
        tools::MeetShape shape;
        shape.heats = 24;
        shape.competitors = 30;
        shape.splits = 16;
        shape.full = false;
        shape.seed = 11;
        shape.resultFolder = u"D:\\gen\\kekka\\";
        std::filesystem::path served = m.root() / "served" / "2026" / "2026001";
        tools::writeServerMeet(served, shape);
        m.server().serveFolder("/swim/2026/2026001", served.string());
        std::filesystem::create_directories(m.driveD() / "out");
        window.txtTaikai.setText(m.serverBase());
        window.webMode = 1;
        window.seasonYear = u"2026";
        window.meetCode = u"2026001";
        window.Dir1.setPath(u"D:\\out");
        view.perform([this] { window.cmdKakutei.click(); });
    }

    size_t lapRequests() {
        size_t laps = 0;
        for (const auto& request : m.server().requests())
            laps += request.find("/lap/") != std::string::npos;
        return laps;
    }
};

TEST_F(WindowReportTest, AReportFetchesItsLapFilesSeveralAtATimeAndCountsThem) {
    ASSERT_GT(window.hitCount, 0);
    size_t before = lapRequests();
    m.server().setLatency(std::chrono::milliseconds(150));
    std::vector<std::u16string> words;
    auto showWait = inet.onWait;
    inet.onWait = [&, showWait](const std::u16string& w) {
        showWait(w);
        words.push_back(w);
    };
    view.perform([this] { window.cmdHtml.click(); });

    size_t heats = lapRequests() - before;
    ASSERT_GT(heats, 1u);
    EXPECT_GT(m.server().mostAtOnce(), 1);
    EXPECT_EQ(window.htmlOutcome, WriteOutcome::Written);
    // The count is the batch's: lap files ended of the heats the report needs.
    std::u16string of = u"/" + decimalText(static_cast<long>(heats));
    size_t counted = 0;
    for (const auto& w : words) {
        if (!w.starts_with(u"ラップを取得中 ") || w.ends_with(u"…")) continue;
        EXPECT_TRUE(w.ends_with(of)) << toUtf8(w);
        ++counted;
    }
    EXPECT_GT(counted, 0u);
}

TEST_F(WindowReportTest, EscStopsAStalledReportSoon) {
    ASSERT_GT(window.hitCount, 0);
    SilentServer silent;
    window.txtTaikai.setText(silent.base());
    auto* number = view.findChild<QLineEdit*>(QStringLiteral("txtBango"));
    auto showWait = inet.onWait;
    bool pressed = false;
    inet.onWait = [&, showWait](const std::u16string& w) {
        showWait(w);
        if (!w.starts_with(u"ラップを取得中") || std::exchange(pressed, true)) return;
        QTimer::singleShot(300, [&] { QTest::keyClick(number, Qt::Key_Escape); });
    };
    auto begin = std::chrono::steady_clock::now();
    view.perform([this] { window.cmdHtml.click(); });
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

    EXPECT_TRUE(pressed);
    EXPECT_LT(seconds, 4.0);  // the transfer's own stall limit is 10 s
    EXPECT_EQ(window.htmlOutcome, WriteOutcome::Cancelled);
    EXPECT_EQ(window.statusText, kCancelledWord);

    // The stop held for that report only: the next one fetches again.
    window.txtTaikai.setText(m.serverBase());
    size_t before = lapRequests();
    begin = std::chrono::steady_clock::now();
    view.perform([this] { window.cmdHtml.click(); });
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_LT(seconds, 4.0);  // the stopped batch let go of its transfers at once
    EXPECT_GT(lapRequests(), before);
    EXPECT_EQ(window.htmlOutcome, WriteOutcome::Written);
}

TEST(Progress, WhatIsFetchedIsToldByTheFile) {
    using view::Fetch;
    struct Case {
        std::u16string url;
        Fetch fetch;
    } cases[] = {
        {u"http://h/swim/2010/list.txt", Fetch::MeetList},
        {u"http://h/swim/2010/1234567/taikai.txt", Fetch::MeetFile},
        {u"http://h/swim/2010/1234567/kijun.txt", Fetch::MeetFile},
        {u"http://h/swim/2010/1234567/lap/r0012.txt", Fetch::LapFile},
        {u"http://h/swim/2010/1234567/r0012.txt", Fetch::Other},
        {u"http://h/swim/2010/list.dat", Fetch::Other},
    };
    for (const Case& c : cases) EXPECT_EQ(view::fetchOf(c.url), c.fetch) << toUtf8(c.url);
    EXPECT_EQ(view::progressWords(Fetch::LapFile, 12, 133), u"ラップを取得中 12/133");
    EXPECT_EQ(view::progressWords(Fetch::MeetList, 1, 0), u"大会一覧を取得中 …");
    EXPECT_EQ(view::progressWords(Fetch::LapFile, 4, 3), u"ラップを取得中 …");  // more than told
}

}  // namespace
}  // namespace quendro
