#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/publish/lap_watch.h"
#include "cli/publish/meet_source.h"
#include "cli/publish/telling.h"
#include "platform/host_files.h"

namespace quendro {

// One file of the meet as the server holds it.
struct MeetFileOnServer {
    enum class Kind {
        Copy,    // sent byte for byte
        Lap,     // a lap file: whole lines only, the unfinished last one once at rest
        Heats,   // the heat table: sent when its records are whole
        Ind2,    // the competitor table made from the results file, when that is whole
    };
    std::u16string localPath;
    std::string name;  // in the meet folder: "kijun.txt", "lap/r0001.txt"
    Kind kind = Kind::Copy;
};

// The meet's data folder as the publisher sees it: its files, and which of
// them changed since the server last received them.
class MeetFolder {
  public:
    MeetFolder(HostFileSystem& files, const MeetSource& source, OnceTold& told)
        : files_(files), source_(source), told_(told) {}

    // The meet's files, lap files first by heat and the heat table last, so
    // that a viewer who imports meanwhile finds every heat's laps. A lap file
    // that is no regular file, or a link out of the meet folder, is left out
    // (and told once).
    std::vector<MeetFileOnServer> files();

    // True when the meet folder is there to be read: a folder that can be
    // listed and holds its meet header. A share that dropped (the folder gone,
    // a stale handle, an input/output error) or a mount point left empty is
    // not: the meet is not there, whatever the server holds stays.
    bool seen() const;
    // The folder as a message names it: the program's path and, when it
    // differs, where it is on this machine ("D:\meet (/mnt/timing/meet)").
    std::string shownFolder() const;

    FileStamp stampOf(const MeetFileOnServer& file) const;
    // One look at the file; true when it is to be sent now. A lap file goes
    // even while it moves (its whole lines only), the others once at rest.
    bool ready(const MeetFileOnServer& file) {
        return watch_.ready(file.name, stampOf(file), ChangeWatch::Clock::now(),
                            file.kind == MeetFileOnServer::Kind::Lap ? ChangeWatch::Pace::Busy
                                                                     : ChangeWatch::Pace::AtRest);
    }
    // True when the server holds the file, whole, as it is now.
    bool holds(const MeetFileOnServer& file) const { return watch_.holds(file.name, stampOf(file)); }
    ChangeWatch& watch() { return watch_; }

  private:
    std::filesystem::path hostPath(std::u16string_view path) const;

    HostFileSystem& files_;
    const MeetSource& source_;
    OnceTold& told_;
    ChangeWatch watch_;
};

}  // namespace quendro
