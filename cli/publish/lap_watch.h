#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace quendro {

// What a look at a file sees: whether it is there, its size and its time stamp.
// Only a regular file is there; a link is looked at through to its target.
struct FileStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::filesystem::path& file);

// A lap file whose last line has no line end yet is being written, or was left
// so: its last line goes out once the file has rested this long.
inline constexpr std::chrono::seconds kUnfinishedLineRest{2};

// The bytes of a lap file that may go to the server: up to its last line end
// (CR or LF), or all of them when unfinished lines may go.
std::string_view wholeLinesOf(std::string_view bytes, bool unfinishedLineToo);

// Tells which files are to be sent again. A file is ready when its stamp
// differs from the stamp it had when it was last sent and has not moved since
// the previous look: a file that the timing system is still writing changes
// between two looks and waits until it comes to rest. A file that may go busy
// (a lap file, whose whole lines only go out) goes at the first look that
// finds it changed, rest or not, so that a heat whose splits come faster than
// the looks still reaches the server. A lap
// file sent without its unfinished last line is ready again once it has rested
// kUnfinishedLineRest (by its time stamp, or by the looks that saw it
// unchanged). A file that could not be read is ready again at every look: a
// share that comes back brings it back with the stamp it had.
class ChangeWatch {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Held {
        Whole,   // the server holds the file as it was at the stamp
        Lines,   // the server holds its whole lines; the unfinished last one waits
        Back,    // the file was not sent (damaged): the server keeps its old copy
        Unread,  // it could not be read (gone since the look, a share away): the server
                 // keeps its old copy, and every look tries it again
    };
    enum class Pace {
        AtRest,  // only once it has not moved between two looks
        Busy,    // also while it moves, at the first look that finds it changed
    };
    // What became of the file as it was at stamp.
    void sent(const std::string& key, const FileStamp& stamp, Held held = Held::Whole);
    // One look at a file; true when it is to be sent now.
    bool ready(const std::string& key, const FileStamp& now, Clock::time_point at = Clock::now(),
               Pace pace = Pace::AtRest);
    // True when the last look found the file moved since the look before.
    bool moving(const std::string& key) const;
    // True when the file has not changed for kUnfinishedLineRest.
    bool rested(const std::string& key, const FileStamp& now,
                Clock::time_point at = Clock::now()) const;
    // True when the server holds the file, whole, as it is at now.
    bool holds(const std::string& key, const FileStamp& now) const;
    // True when the file was sent whole at least once.
    bool everSent(const std::string& key) const { return everSent_.count(key) > 0; }

  private:
    struct Seen {
        FileStamp stamp;
        Clock::time_point since;
        bool moved = false;  // at the last look
    };
    std::map<std::string, std::pair<FileStamp, Held>> sent_;
    std::map<std::string, Seen> seen_;
    std::map<std::string, bool> everSent_;
};

}  // namespace quendro
