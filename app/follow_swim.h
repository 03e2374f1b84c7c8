#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/internet_transfer.h"

namespace quendro {

class MainWindow;

// Following a live meet: while a swim is shown, its heat's lap file is looked at
// again every few seconds, and the grid is refreshed when the file changed. The
// window's own procedures are not involved: the view's timer runs the check off
// the window's thread and hands the result to refreshFollowedSwim.

// The swim the grid shows and where its lap file lies.
struct FollowedSwim {
    int row = -1;              // row of lstShumoku
    std::u16string heat;       // four digits
    int lane = 0;              // from 1
    std::u16string finalTime;  // the official final time or result word
    int eventDistance = 0;     // metres of the event
    int splitDistance = 0;     // metres between two recorded splits
    bool olderLayout = true;   // lap records of nine fields (chkQ)
    bool web = false;          // from the server (URL) or a local folder (path)
    std::u16string source;
    bool operator==(const FollowedSwim&) const = default;
};

// What the follow knows of the lap file as last read.
struct LapFileSeen {
    Validators validators;               // internet mode: of the last answer
    std::optional<FileVersion> version;  // local mode: size and time stamp
    std::size_t digest = 0;              // of the bytes
    bool read = false;
};

struct LapFileCheck {
    enum class Outcome { Unchanged, Changed, Failed };
    Outcome outcome = Outcome::Unchanged;
    std::string bytes;  // the lap file, when it changed
    LapFileSeen seen;   // to pass to the next check
};

// The swim that the selected row of lstShumoku stands for, as lstShumoku_Click
// read it; empty when no swim row is selected.
std::optional<FollowedSwim> followedSwimOf(const MainWindow& window);

// Looks whether the lap file changed since the last look: internet mode asks
// the server with a conditional download (an unchanged file costs a 304 and no
// body), local mode compares the file's size and time stamp and reads it only
// when they moved. The first look always reads. Blocks while it asks: run it
// off the window's thread (it uses only openUrlIfChanged, fileVersion and
// readBytes, which allow that).
LapFileCheck checkLapFile(const FollowedSwim& swim, const LapFileSeen& since,
                          InternetTransfer& inet, FileSystem& files);

// Shows the lap file's splits of the swim, when the window still shows that
// swim and the splits differ from those shown. True when the grid changed.
bool refreshFollowedSwim(MainWindow& window, const FollowedSwim& swim, const std::string& bytes);

}  // namespace quendro
