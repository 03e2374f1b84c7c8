#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "store/record_shape.h"

namespace quendro {

// Why a file of a meet was not taken. Every program reads the meet's files
// through the one reader below, so that a file the window refuses is refused
// by the export and the publisher too.
enum class MeetFileProblem {
    None,
    Missing,        // no such file
    NotRegular,     // a folder, a pipe, a device: never opened
    OutsideFolder,  // a link that leads out of the meet's folder
    Unreadable,     // there, but it cannot be read
    Empty,          // a record file of no bytes: a file being written, never a meet
    CutShort,       // a record file whose header counts records it does not hold
    NegativeCount,  // a record file whose header counts fewer than no records
};

// The bytes of a meet file, or why they were not taken.
struct MeetFileRead {
    MeetFileProblem problem = MeetFileProblem::None;
    std::string bytes;
    bool ok() const { return problem == MeetFileProblem::None; }
};

// Whether the bytes of a record file (read or downloaded) can be taken: not
// empty, and every record its header counts is there. A heat that names a
// competitor past the competitor file's count is still taken: that competitor
// reads as an empty record.
MeetFileProblem recordBytesProblem(std::string_view bytes, RecordFileKind kind);

// Reads a file of the meet lying in folder: a regular file inside it, opened
// without waiting; a record file (kind given) is checked as above.
MeetFileRead readMeetFile(FileSystem& files, std::u16string_view folder,
                          std::u16string_view path, std::optional<RecordFileKind> kind);

// The folder of a path: everything up to its last "\" or "/", that one included.
std::u16string folderOf(std::u16string_view path);

// The status line's and stderr's word for a problem, naming the file as given,
// in its one form (shownPath).
std::u16string meetFileProblemWord(MeetFileProblem problem, std::u16string_view file);

// A meet's folder that is not there is told as such, before any file of it
// ("フォルダがありません: D:\meet\"): a mistyped folder is not a missing header.
std::u16string missingFolderWord(std::u16string_view folder);

}  // namespace quendro
