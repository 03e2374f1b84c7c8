#pragma once

#include <string>

#include "cli/publish/lap_watch.h"
#include "cli/publish/meet_folder.h"
#include "cli/publish/meet_source.h"
#include "platform/files.h"
#include "store/meet_file_reader.h"

namespace quendro {

// The bytes of one meet file as the server is to hold them, at one look.
struct MeetPayload {
    enum class State {
        Ready,     // bytes to send
        Waiting,   // nothing to send yet: a lap file without one whole line
        HeldBack,  // damaged or unreadable here: the server keeps its last good copy
    };
    State state = State::Ready;
    std::string bytes;
    ChangeWatch::Held held = ChangeWatch::Held::Whole;  // Lines: the unfinished last line waits
    MeetFileProblem problem = MeetFileProblem::None;    // why it was held back
};

// Reads the file through the one reader of every program (inside its folder,
// regular, a record file whole and not empty): a lap file's whole lines only
// (its unfinished last line too when unfinishedLineToo), the results file as
// the competitor table ind2.txt.
MeetPayload meetPayloadOf(FileSystem& files, const MeetSource& source,
                          const MeetFileOnServer& file, bool unfinishedLineToo);

}  // namespace quendro
