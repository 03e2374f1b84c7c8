#pragma once

#include <filesystem>
#include <string>

namespace quendro::test {

// A small file system of its own (tmpfs) mounted over a folder for as long as
// the object lives: full after a few bytes, or read-only. Only root may mount;
// elsewhere mounted() is false and why() tells the reason, for a skipped test.
class SmallDisk {
  public:
    enum class Kind { Full, ReadOnly };
    // The folder's files are copied onto the new disk first, so that what was
    // there stays visible; a Full disk is then filled to its last byte.
    SmallDisk(std::filesystem::path folder, Kind kind);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

  private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    std::string why_;
};

}  // namespace quendro::test
