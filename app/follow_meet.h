#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/internet_transfer.h"
#include "store/record_shape.h"

namespace quendro {

class MainWindow;

// Following a live meet: while a meet is shown, its heat table and competitor
// file are looked at again every few seconds, and when they changed the window
// takes them whole, as a confirm would, keeping the chosen competitor, swim and
// lap option. The view's timer runs the check off the window's thread and hands
// what came to MainWindow::TakeFollowedMeet.

// Where the shown meet's heat table and competitor file lie: the meet folder's
// files on the server, or the files of the local data folder.
struct FollowedMeet {
    bool web = false;
    std::u16string heats;        // URL of taikai.txt, or the path of taikai.dat
    std::u16string competitors;  // URL of ind2.txt, or the path of the results file
    RecordFileKind competitorKind = RecordFileKind::Ind2;
    bool operator==(const FollowedMeet&) const = default;
};

// The meet the window shows, when it was confirmed in the mode the window is
// in now; empty before the first confirm or after a change of mode.
std::optional<FollowedMeet> followedMeetOf(const MainWindow& window);

// What the follow knows of the two files as last read.
struct MeetFilesSeen {
    Validators validators[2];                // internet mode: of the last answers
    std::optional<FileVersion> versions[2];  // local mode: sizes and time stamps
    std::shared_ptr<const std::string> bytes[2];
    std::shared_ptr<const std::string> heatsTaken;  // the heat table of the last whole meet
    bool read = false;
    bool pending = false;  // the bytes held were not yet a whole meet
};

struct MeetCheck {
    enum class Outcome {
        Unchanged,  // nothing new since the last look
        Changed,    // a whole meet came: heats and competitors
        Partial,    // something new, but not yet a whole meet (half uploaded)
        Failed,     // a file could not be fetched or read
    };
    Outcome outcome = Outcome::Unchanged;
    std::shared_ptr<const std::string> heats;
    std::shared_ptr<const std::string> competitors;
    MeetFilesSeen seen;  // to pass to the next check
};

// Whether the two files read on a look make one whole meet, not an upload half
// done. Each file holds every record its header counts. A heat table uploaded
// before its competitor file names competitors that are not there yet; but a
// heat table may also name a competitor past the count for good (read as an
// empty record). So a lane naming a competitor the file does not hold holds
// the meet back only while that is new (its heat is not in heatsTaken, the
// heat table of the last whole meet, or named another competitor there), and
// only until the same bytes of both files are read on a second look in a row
// (readBefore): an upload ends, a meet that stays so is taken.
bool wholeMeet(std::string_view heats, std::string_view competitors,
               RecordFileKind competitorKind, std::string_view heatsTaken, bool readBefore);

// Looks whether the meet's files changed since the last look: internet mode
// asks the server with conditional downloads (an unchanged file costs a 304),
// local mode compares sizes and time stamps and reads a file only when they
// moved. Blocks while it asks: run it off the window's thread (it uses only
// openUrlIfChanged, fileVersion and readBytes, which allow that).
MeetCheck checkMeetFiles(const FollowedMeet& meet, const MeetFilesSeen& since,
                         InternetTransfer& inet, FileSystem& files);

// What a new swim index brought against the one shown: heats that have swims
// now and had none, and swims whose time or result is new.
struct MeetChange {
    int newHeats = 0;
    int newResults = 0;
    bool operator==(const MeetChange&) const = default;
};
MeetChange meetChangeOf(const std::vector<std::u16string>& before,
                        const std::vector<std::u16string>& after);

// The status line's word for a meet that was followed: "更新 12:03:05（新しい組 2・記録 5）".
std::u16string meetUpdateWord(const LocalDateTime& at, const MeetChange& change);

// What the follow knows of the server of a meet it follows in internet mode.
struct ServerReach {
    std::optional<LocalDateTime> lastAnswer;  // when it last answered a look
    bool away = false;  // the looks since get no answer, and the status line said so
};

// What a look tells of the server, once each: Away on the first look it does
// not answer (no answer, an error status, a stall), Back on the first it
// answers after those; None otherwise. An answer is stamped now.
enum class ReachNews { None, Away, Back };
ReachNews serverReachAfter(ServerReach& reach, bool answered, const LocalDateTime& now);

// The status line's word for the news, from the reach after the look:
// "サーバーに届きません（最後の応答 02:57:22）" (without the time when the server
// has not answered a look yet), "サーバーに再び届きました 02:58:01".
std::u16string serverReachWord(ReachNews news, const ServerReach& reach);

// How a take of a followed meet ended.
enum class MeetTake {
    NotTaken,   // the window shows another meet now, or the files are those shown
    Taken,      // the new meet is shown
    Failed,     // the working files could not be written: the meet shown stays
};

}  // namespace quendro
