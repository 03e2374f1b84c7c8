#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/host_files.h"
#include "platform/internet_transfer.h"
#include "platform/machine.h"
#include "tests/support/grid_printer.h"

namespace quendro::fuzz {

// The real file system, kept inside one folder: every path that the program
// names is mapped to the host and refused (not found, or access denied for a
// change) when it leads outside the folder or holds a NUL. Fuzzed meet files name
// folders and files of their own; none of them may reach the rest of the machine.
// What is inside is done by the host's own file system.
class ConfinedFiles : public HostFileSystem {
  public:
    ConfinedFiles(DriveMap map, std::filesystem::path root);

    // Looked at or read: a path outside the folder names nothing.
    FileStatus readBytes(std::u16string_view path, std::string& bytes) override;
    std::unique_ptr<RecordFile> openRecords(std::u16string_view path, int recordLength,
                                            FileStatus& status) override;
    std::u16string folderName(std::u16string_view path) override;
    bool folderExists(std::u16string_view path) override;
    std::vector<std::u16string> subfolders(std::u16string_view path) override;
    std::u16string whereOnMachine(std::u16string_view path) override;
    std::optional<FileVersion> fileVersion(std::u16string_view path) override;

    // Changed: a path outside the folder may not be.
    FileStatus writeBytes(std::u16string_view path, std::string_view bytes) override;
    FileStatus appendBytes(std::u16string_view path, std::string_view bytes) override;
    std::unique_ptr<OutputFile> createFile(std::u16string_view path) override;
    FileStatus moveFile(std::u16string_view from, std::u16string_view to) override;
    FileStatus deleteFile(std::u16string_view path) override;
    FileStatus makeFolder(std::u16string_view path) override;

    // How many times a path outside the folder, or holding a NUL, was refused;
    // and how many of them were to be written, moved, deleted or made.
    int refused = 0;
    int refusedChanges = 0;

  private:
    bool inside(std::u16string_view path);
    bool insideForChange(std::u16string_view path);

    std::filesystem::path root_;
};

// A machine with no network at all: every download fails at once, as it does
// when no server answers, and nothing can be sent.
class NoNetwork : public InternetTransfer {
  public:
    std::optional<std::string> openUrl(std::u16string_view) override { return std::nullopt; }
    void setUrl(std::u16string url) override { url_ = std::move(url); }
    const std::u16string& url() const override { return url_; }
    bool execute(std::u16string_view, std::u16string_view) override { return false; }
    bool stillExecuting() override { return false; }
    bool executeFailed() override { return true; }

  private:
    std::u16string url_;
};

// A temporary folder of its own with the drives folder "drives" ("c" holds the
// working folder, "d" the meet folders; no other drive), the current folder
// work/bin (so the site control file is work/ctl/dr_kyo.ctl), confined files,
// no network, a fixed clock and a printer that lays its items out on a grid.
class FuzzMachine {
  public:
    FuzzMachine();
    ~FuzzMachine();
    FuzzMachine(const FuzzMachine&) = delete;
    FuzzMachine& operator=(const FuzzMachine&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path driveD() const { return root_ / "drives" / "d"; }
    std::filesystem::path siteControlFile() const { return root_ / "work" / "ctl" / "dr_kyo.ctl"; }
    ConfinedFiles& files() { return files_; }
    test::GridPrinter& printer() { return printer_; }
    Machine machine() { return Machine{files_, clock_, inet_, printer_, events_}; }

  private:
    std::filesystem::path root_;
    ConfinedFiles files_;
    FixedClock clock_{{2010, 6, 29, 9, 30, 0}};
    NoNetwork inet_;
    test::GridPrinter printer_;
    IdleEventLoop events_;
};

// Writes bytes to a host file, creating its folders.
void writeHostFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace quendro::fuzz
