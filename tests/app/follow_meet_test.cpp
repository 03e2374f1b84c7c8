#include "app/follow_meet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app/main_window.h"
#include "platform/event_loop.h"
#include "platform/text_rules.h"
#include "store/ind2_table.h"
#include "tests/support/local_meet.h"
#include "tests/support/nginx_publisher.h"
#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::RecordBytes;
using test::TestMachine;
using test::writeFile;

// The sample heat table: four heats; competitor 1 swims heat 1 in slot 3 and
// heat 4 in slot 4. The results file holds six competitors.
std::string sampleHeats() { return readFile(test::sampleRecords() / "taikai.dat"); }
std::string sampleResults() { return readFile(test::sampleRecords() / "KEKKA.DAT"); }

std::string withHeat(std::string heats, std::int16_t event, std::int16_t competitor, int slot,
                     std::int32_t time) {
    return test::withAddedHeat(std::move(heats), event, competitor, slot, time);
}
std::string withTime(std::string heats, int k, int slot, std::int32_t time) {
    return test::withLaneTime(std::move(heats), k, slot, time);
}
// A competitor file of n records of its length (count in the first four bytes).
std::string competitorFile(std::int32_t count, size_t length, size_t firstRecord) {
    RecordBytes header(length, '\0');
    header.int32(0, count);
    return header.str() + std::string((static_cast<size_t>(count) + firstRecord - 1) * length, ' ');
}

TEST(WholeMeet, EveryCompetitorNamedAndEveryCountedRecordThere) {
    const std::string heats = withHeat(sampleHeats(), 2, 7, 0, 3125);  // names competitor 7
    const std::string moved = withHeat(sampleHeats(), 2, 7, 1, 3125);  // in the next lane
    const std::string added = withHeat(heats, 3, 6, 0, 3000);          // heat 6 names 6
    struct Case {
        const char* what;
        std::string heats;
        std::string competitors;
        RecordFileKind kind;
        bool whole;
        std::string taken = "";   // the heat table of the last whole meet
        bool readBefore = false;  // the same bytes on the look before
    };
    const Case cases[] = {
        {"competitor 7 of 7", heats, competitorFile(7, 128, 1), RecordFileKind::Ind2, true},
        {"competitor 7 of 6", heats, competitorFile(6, 128, 1), RecordFileKind::Ind2, false},
        {"results file, 7 of 7", heats, competitorFile(7, 384, 10), RecordFileKind::Results, true},
        {"results file, 7 of 6", heats, competitorFile(6, 384, 10), RecordFileKind::Results, false},
        {"competitor file a byte short", heats,
         competitorFile(7, 128, 1).substr(0, 8 * 128 - 1), RecordFileKind::Ind2, false},
        {"heat table a byte short", heats.substr(0, heats.size() - 1), competitorFile(7, 128, 1),
         RecordFileKind::Ind2, false},
        {"heat table exactly its records", heats.substr(0, 15 * 256), competitorFile(7, 128, 1),
         RecordFileKind::Ind2, true},
        {"both empty: a meet not begun", "", "", RecordFileKind::Ind2, true},
        {"heats without competitors", heats, "", RecordFileKind::Ind2, false},
        {"a changed heat names 7 of 7", moved, competitorFile(7, 128, 1), RecordFileKind::Ind2,
         true, heats},
        {"a changed heat names 7 of 6", moved, competitorFile(6, 128, 1), RecordFileKind::Ind2,
         false, heats},
        {"a changed heat names 7 of 6, read the look before", moved, competitorFile(6, 128, 1),
         RecordFileKind::Ind2, true, heats, true},
        {"an unchanged heat names 7 of 6, a new one 6", added, competitorFile(6, 128, 1),
         RecordFileKind::Ind2, true, heats},
        {"heat table a byte short, read the look before", heats.substr(0, heats.size() - 1),
         competitorFile(7, 128, 1), RecordFileKind::Ind2, false, "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wholeMeet(c.heats, c.competitors, c.kind, c.taken, c.readBefore), c.whole)
            << c.what;
}

TEST(MeetChange, NewHeatsAndNewResultsAgainstTheShownIndex) {
    const std::u16string a = u"0001021003125000100";   // heat 1 slot 0, 31.25
    const std::u16string b = u"0002021000000000101";   // heat 1 slot 1, no time yet
    const std::u16string bTimed = u"0002021003300000101";
    const std::u16string c = u"0003021000000000200";   // heat 2, no time yet
    const std::u16string cTimed = u"0003021004000000200";
    struct Case {
        std::vector<std::u16string> before, after;
        MeetChange change;
    };
    const Case cases[] = {
        {{u"", a, b}, {u"", a, b}, {0, 0}},
        {{u"", a, b}, {u"", a, bTimed}, {0, 1}},
        {{u"", a, b}, {u"", a, b, c}, {1, 0}},
        {{u"", a, b}, {u"", a, bTimed, cTimed}, {1, 2}},
        {{u""}, {u"", a, b, c}, {2, 1}},
        {{u"", a, bTimed}, {u"", a, b}, {0, 0}},  // a time taken back is no new result
    };
    for (const Case& c : cases) EXPECT_EQ(meetChangeOf(c.before, c.after), c.change);
}

TEST(MeetChange, TheStatusLineSaysWhenAndWhatCame) {
    EXPECT_EQ(meetUpdateWord({2026, 7, 25, 12, 3, 5}, {2, 5}), u"更新 12:03:05（新しい組 2・記録 5）");
    EXPECT_EQ(meetUpdateWord({2026, 7, 25, 9, 0, 0}, {0, 0}), u"更新 09:00:00（新しい組 0・記録 0）");
}

class FollowMeetTest : public ::testing::Test {
  protected:
    FollowMeetTest() {
        test::writeLocalMeet(m);
        writeFile(meet() / "lap" / "r0001", "4,31.30,,0,0,0,0,0,0\r\n");
        test::openLocalMeet(window);
    }
    fs::path meet() const { return m.driveD() / "meet"; }
    // A look at the files, then their take by the window.
    MeetTake followOnce() {
        check = checkMeetFiles(*followedMeetOf(window), check.seen, m.machine().inet, m.files());
        if (check.outcome != MeetCheck::Outcome::Changed) return MeetTake::NotTaken;
        return window.TakeFollowedMeet(*followedMeetOf(window), *check.heats, *check.competitors);
    }

    TestMachine m;
    MainWindow window{m.machine()};
    MeetCheck check;
};

TEST_F(FollowMeetTest, TheConfirmedMeetIsFollowedInItsOwnMode) {
    auto meetShown = followedMeetOf(window);
    ASSERT_TRUE(meetShown);
    EXPECT_FALSE(meetShown->web);
    EXPECT_EQ(meetShown->heats, u"D:\\meet\\taikai.dat");
    EXPECT_EQ(meetShown->competitors, u"D:\\meet\\kekka\\KEKKA.DAT");
    EXPECT_EQ(meetShown->competitorKind, RecordFileKind::Results);
    window.optWeb.select(1);  // another mode: the local meet is no longer shown
    EXPECT_FALSE(followedMeetOf(window));
    MainWindow fresh(m.machine());
    EXPECT_FALSE(followedMeetOf(fresh));  // nothing confirmed yet
}

TEST(ServerReach, OneWordWhenTheServerStopsAnsweringAndOneWhenItAnswersAgain) {
    const LocalDateTime last{2026, 7, 25, 2, 57, 22}, now{2026, 7, 25, 2, 58, 1};
    struct Case {
        std::optional<LocalDateTime> lastAnswer;
        bool away, answered;
        ReachNews news;
        std::u16string word;
    };
    const Case cases[] = {
        {last, false, true, ReachNews::None, u""},
        {last, false, false, ReachNews::Away, u"サーバーに届きません（最後の応答 02:57:22）"},
        {last, true, false, ReachNews::None, u""},
        {last, true, true, ReachNews::Back, u"サーバーに再び届きました 02:58:01"},
        {std::nullopt, false, false, ReachNews::Away, u"サーバーに届きません"},
    };
    for (const Case& c : cases) {
        ServerReach reach{c.lastAnswer, c.away};
        EXPECT_EQ(serverReachAfter(reach, c.answered, now), c.news);
        EXPECT_EQ(serverReachWord(c.news, reach), c.word);
        EXPECT_EQ(reach.away, !c.answered);
        EXPECT_EQ(reach.lastAnswer.has_value() && reach.lastAnswer->second == 1, c.answered);
    }
}

TEST_F(FollowMeetTest, AHeatAddedAndAResultChangedAppearWithTheChoiceKept) {
    window.optLap.select(2);  // laps over 50 m
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(0);  // heat 1, lane 4
    const auto shownTimes = window.splitTimes;
    const int swimsBefore = window.swimCount;
    const std::u16string statusBefore = window.statusText;

    // The first look after the confirm finds what the confirm read.
    EXPECT_EQ(followOnce(), MeetTake::NotTaken);
    EXPECT_EQ(check.outcome, MeetCheck::Outcome::Changed);
    EXPECT_EQ(window.statusText, statusBefore);
    // Nothing moved: the next look reads nothing.
    EXPECT_EQ(followOnce(), MeetTake::NotTaken);
    EXPECT_EQ(check.outcome, MeetCheck::Outcome::Unchanged);
    // A look that knows the files' stamps but has not read them yet reads them.
    MeetFilesSeen stampsOnly;
    stampsOnly.versions[0] = check.seen.versions[0];
    stampsOnly.versions[1] = check.seen.versions[1];
    ASSERT_TRUE(stampsOnly.versions[0] && stampsOnly.versions[1]);
    MeetCheck unread =
        checkMeetFiles(*followedMeetOf(window), stampsOnly, m.machine().inet, m.files());
    ASSERT_EQ(unread.outcome, MeetCheck::Outcome::Changed);
    EXPECT_EQ(*unread.heats, sampleHeats());
    EXPECT_EQ(*unread.competitors, sampleResults());

    // The timing system adds a heat for competitor 1 and times again its swim of heat 2 (slot 4).
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    writeFile(meet() / "taikai.dat", withTime(withHeat(sampleHeats(), 5, 1, 2, 6000), 2, 4, 3999));
    EXPECT_EQ(followOnce(), MeetTake::Taken);
    EXPECT_EQ(window.swimCount, swimsBefore + 1);
    EXPECT_EQ(window.lstNamae.listIndex(), 0);
    EXPECT_EQ(window.lstShumoku.listIndex(), 0);
    EXPECT_EQ(window.optLap.selected(), 2);
    EXPECT_EQ(window.splitTimes, shownTimes);
    EXPECT_EQ(window.meetHeatCount, 5);
    EXPECT_EQ(window.statusText, u"更新 09:30:00（新しい組 1・記録 2）");
}

TEST_F(FollowMeetTest, AHeatTableAheadOfItsCompetitorsIsNotTaken) {
    followOnce();
    const auto table = window.swimTable;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // Competitor 7 is not in the results file yet.
    writeFile(meet() / "taikai.dat", withHeat(sampleHeats(), 5, 7, 0, 6000));
    EXPECT_EQ(followOnce(), MeetTake::NotTaken);
    EXPECT_EQ(check.outcome, MeetCheck::Outcome::Partial);
    EXPECT_EQ(window.swimTable, table);
    // Nothing moves: an upload would have ended, so the heat table stays so and
    // is taken (competitor 7 is read as an empty record).
    EXPECT_EQ(followOnce(), MeetTake::Taken);
    EXPECT_EQ(window.meetHeatCount, 5);
    // The heat table taken back to six competitors is taken too.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    writeFile(meet() / "taikai.dat", withHeat(sampleHeats(), 5, 6, 0, 6000));
    EXPECT_EQ(followOnce(), MeetTake::Taken);
    EXPECT_EQ(window.meetHeatCount, 5);
}

TEST_F(FollowMeetTest, AnotherMeetConfirmedMeanwhileIsNotOverwritten) {
    FollowedMeet old = *followedMeetOf(window);
    window.optWeb.select(1);
    EXPECT_EQ(window.TakeFollowedMeet(old, withHeat(sampleHeats(), 5, 1, 0, 6000), sampleResults()),
              MeetTake::NotTaken);
    EXPECT_EQ(window.meetHeatCount, 4);
}

// The sample meet on the project's nginx publisher, its files placed as an
// upload leaves them, confirmed by the window in internet mode.
void confirmOnNginx(const test::NginxPublisher& nginx, MainWindow& window) {
    const std::string ind2 = ind2FromResults(sampleResults()).bytes;
    std::u16string headerText = u"X:\\meet\\kekka\\,KEKKA.DAT,2026001,県選手権,県選,20260725,20260726,プール,0";
    for (int i = 10; i <= 73; ++i) headerText += u",0";
    std::string header = test::sjis(headerText);
    nginx.place("2026/2026001/taikai.txt", sampleHeats());
    nginx.place("2026/2026001/ind2.txt", ind2);
    nginx.place("2026/2026001/kijun.txt", header);
    nginx.place("2026/list.txt", test::sjis(u",\"2026001 県選手権\"\r\n"));
    window.txtTaikai.setText(fromUtf8(nginx.base()));
    window.txtNendo.setText(u"2026");
    window.optWeb.select(0);
    window.optWeb.select(1);
    // The list's line ",\"2026001 県選手権\"" lists an empty entry, then the meet.
    ASSERT_EQ(window.lstTaikai.listCount(), 2) << toUtf8(window.statusText);
    window.lstTaikai.setListIndex(1);
    window.cmdKakutei.click();
}

// A heat table ahead of its competitor table is not taken on its first look.
TEST(FollowMeetOnNginx, AHalfUploadedMeetIsNotTakenOnItsFirstLook) {
    TestMachine m;
    test::NginxPublisher nginx(m.root() / "publisher");
    ASSERT_TRUE(nginx.running()) << nginx.why();
    const std::string ind2 = ind2FromResults(sampleResults()).bytes;
    MainWindow window(m.machine());
    confirmOnNginx(nginx, window);
    ASSERT_EQ(window.importOutcome, ImportOutcome::Imported) << toUtf8(window.statusText);
    window.lstNamae.setListIndex(0);
    window.lstShumoku.setListIndex(1);  // heat 2, lane 5
    auto meet = followedMeetOf(window);
    ASSERT_TRUE(meet);
    EXPECT_TRUE(meet->web);

    InternetTransfer& inet = m.machine().inet;
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // validators kept from now
    MeetCheck check = checkMeetFiles(*meet, {}, inet, m.files());
    ASSERT_EQ(check.outcome, MeetCheck::Outcome::Changed);
    EXPECT_EQ(window.TakeFollowedMeet(*meet, *check.heats, *check.competitors), MeetTake::NotTaken);
    EXPECT_FALSE(check.seen.validators[0].empty());
    check = checkMeetFiles(*meet, check.seen, inet, m.files());
    EXPECT_EQ(check.outcome, MeetCheck::Outcome::Unchanged);  // two 304s

    // The heat table arrives first, naming competitor 7.
    const std::string newHeats = withTime(withHeat(sampleHeats(), 5, 7, 0, 6000), 2, 4, 3999);
    nginx.place("2026/2026001/taikai.txt", newHeats);
    check = checkMeetFiles(*meet, check.seen, inet, m.files());
    EXPECT_EQ(check.outcome, MeetCheck::Outcome::Partial);
    EXPECT_EQ(readFile(m.workingFolder() / "taikai.dat"), sampleHeats());
    // The same bytes on the look after would be taken (not here: the window
    // takes the upload once it ended).
    EXPECT_EQ(checkMeetFiles(*meet, check.seen, inet, m.files()).outcome,
              MeetCheck::Outcome::Changed);

    // Then the competitor table with competitor 7: the whole meet is taken.
    std::string ind2Seven = ind2.substr(0, 7 * 128) + ind2.substr(6 * 128, 128);
    ind2Seven[0] = 7;
    nginx.place("2026/2026001/ind2.txt", ind2Seven);
    check = checkMeetFiles(*meet, check.seen, inet, m.files());
    ASSERT_EQ(check.outcome, MeetCheck::Outcome::Changed);
    EXPECT_EQ(window.TakeFollowedMeet(*meet, *check.heats, *check.competitors), MeetTake::Taken);
    EXPECT_EQ(readFile(m.workingFolder() / "taikai.dat"), newHeats);
    EXPECT_EQ(readFile(m.workingFolder() / "ind2.dat"), ind2Seven);
    EXPECT_EQ(window.hitCount, 7);
    EXPECT_EQ(window.meetHeatCount, 5);
    EXPECT_EQ(window.lstNamae.listIndex(), 0);
    EXPECT_EQ(window.lstShumoku.listIndex(), 1);
    EXPECT_EQ(window.statusText, u"更新 09:30:00（新しい組 1・記録 2）");
}

// A clock the test sets.
class SetClock : public Clock {
  public:
    LocalDateTime at{2026, 7, 25, 2, 57, 22};
    LocalDateTime now() const override { return at; }
};

// The publisher stops and starts again while the window follows its meet.
TEST(FollowMeetOnNginx, TheStatusLineSaysWhenTheServerStopsAndWhenItAnswersAgain) {
    TestMachine m;
    test::NginxPublisher nginx(m.root() / "publisher");
    ASSERT_TRUE(nginx.running()) << nginx.why();
    SetClock clock;
    IdleEventLoop events;
    MainWindow window(Machine{m.files(), clock, m.inet(), m.printer(), events});
    confirmOnNginx(nginx, window);
    ASSERT_EQ(window.importOutcome, ImportOutcome::Imported) << toUtf8(window.statusText);
    const FollowedMeet meet = *followedMeetOf(window);
    MeetCheck check;
    ServerReach reach;
    auto look = [&](int minute, int second) {
        clock.at.minute = minute;
        clock.at.second = second;
        check = checkMeetFiles(meet, check.seen, m.inet(), m.files());
        window.TellFollowedMeetLook(meet, reach, check.outcome != MeetCheck::Outcome::Failed);
    };
    const std::u16string confirmed = window.statusText;
    look(57, 22);
    EXPECT_EQ(window.statusText, confirmed);  // an answer is no news

    nginx.stop();
    look(57, 40);
    EXPECT_EQ(check.outcome, MeetCheck::Outcome::Failed);
    EXPECT_EQ(window.statusText, u"サーバーに届きません（最後の応答 02:57:22）");
    window.statusText = u"印刷しました";  // the user's action since
    look(57, 43);
    EXPECT_EQ(window.statusText, u"印刷しました");  // the absence is told once
    ASSERT_TRUE(nginx.start()) << nginx.why();
    look(58, 1);
    EXPECT_EQ(window.statusText, u"印刷しました");  // and the user's word stands
    EXPECT_FALSE(reach.away);

    nginx.stop();
    look(58, 4);
    EXPECT_EQ(window.statusText, u"サーバーに届きません（最後の応答 02:58:01）");
    ASSERT_TRUE(nginx.start()) << nginx.why();
    look(58, 10);
    EXPECT_EQ(window.statusText, u"サーバーに再び届きました 02:58:10");
}

}  // namespace
}  // namespace quendro
