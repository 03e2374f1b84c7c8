#pragma once

#include <memory>
#include <vector>

#include "platform/drive_map.h"
#include "platform/files.h"

namespace quendro {

// The one safe write of the programs: the bytes go to a new file of its own
// beside the target (made exclusively, so that no planted link is followed)
// and take the target's place by a rename, whole, or not at all. A target
// that stands and is no file (a folder, a device, a pipe) is refused (BadName);
// a bare name is a file of the current folder.
FileStatus writeWholeFile(const std::filesystem::path& host, std::string_view bytes);
// The same for a file written piece by piece: it takes the target's place at
// commit(), whole, or leaves it as it was.
std::unique_ptr<OutputFile> createWholeFile(const std::filesystem::path& host);

// The real file system, reached through the drive map.
class HostFileSystem : public FileSystem {
  public:
    explicit HostFileSystem(DriveMap map) : map_(std::move(map)) {}

    FileStatus readBytes(std::u16string_view path, std::string& bytes) override;
    FileStatus readBytesInside(std::u16string_view folder, std::u16string_view path,
                               std::string& bytes) override;
    FileStatus writeBytes(std::u16string_view path, std::string_view bytes) override;
    FileStatus appendBytes(std::u16string_view path, std::string_view bytes) override;
    FileStatus moveFile(std::u16string_view from, std::u16string_view to) override;
    FileStatus deleteFile(std::u16string_view path) override;
    FileStatus makeFolder(std::u16string_view path) override;
    std::u16string folderName(std::u16string_view path) override;
    bool folderExists(std::u16string_view path) override;
    std::unique_ptr<RecordFile> openRecords(std::u16string_view path, int recordLength,
                                            FileStatus& status) override;
    void closeAll() override;
    // Written to a file of its own beside the target and renamed over it at commit().
    std::unique_ptr<OutputFile> createFile(std::u16string_view path) override;
    void rememberListings(bool on) override { map_.rememberListings(on); }
    std::vector<std::u16string> drives() override;
    std::vector<std::u16string> subfolders(std::u16string_view path) override;
    std::u16string currentFolder() override;
    std::u16string whereOnMachine(std::u16string_view path) override;
    // Safe to call from another thread, like readBytes.
    std::optional<FileVersion> fileVersion(std::u16string_view path) override;

    const DriveMap& driveMap() const { return map_; }

    // A descriptor that closeAll() can close under its owner.
    struct Handle {
        int fd = -1;
        ~Handle();
        void close();
    };

  private:
    DriveMap map_;
    std::vector<std::weak_ptr<Handle>> open_;
};

}  // namespace quendro
