#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace quendro {

// What a look at a file sees: whether it is there, its size and its time stamp.
struct FileStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::filesystem::path& file);

// Tells which files are to be sent again. A file is ready when its stamp
// differs from the stamp it had when it was last sent and has not moved since
// the previous look: a file that the timing system is still writing changes
// between two looks and waits until it comes to rest.
class ChangeWatch {
  public:
    // The stamp of a file just sent.
    void sent(const std::string& key, const FileStamp& stamp);
    // One look at a file; true when it is to be sent now.
    bool ready(const std::string& key, const FileStamp& now);

  private:
    std::map<std::string, FileStamp> sent_;
    std::map<std::string, FileStamp> seen_;
};

}  // namespace quendro
