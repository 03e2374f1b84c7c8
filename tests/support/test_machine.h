#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/curl_transfer.h"
#include "platform/event_loop.h"
#include "platform/host_files.h"
#include "platform/machine.h"
#include "tests/support/grid_printer.h"
#include "tests/support/http_server.h"

namespace quendro::test {

// A folder of its own under the system's temporary folder, removed with the object.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Real files in a temporary folder: the drives folder holds "c" (a folder of its
// own, with the working folder c:\quendro\temp), "d" (the folder meet/) and "z"
// (the host's "/"); the
// current folder is work/bin, so the site control file is work/ctl/dr_kyo.ctl.
class TestMachine {
  public:
    explicit TestMachine(LocalDateTime today = {2010, 6, 29, 9, 30, 0});

    std::filesystem::path root() const { return temp_.path(); }
    std::filesystem::path driveC() const { return root() / "drives" / "c"; }
    std::filesystem::path driveD() const { return root() / "meet"; }
    std::filesystem::path siteControlFile() const { return root() / "work" / "ctl" / "dr_kyo.ctl"; }
    std::filesystem::path workingFolder() const { return driveC() / "quendro" / "temp"; }

    HostFileSystem& files() { return files_; }
    HttpTestServer& server() { return server_; }
    // The base address of the season folders on the test server, for txtTaikai:
    // a window under test never reaches beyond 127.0.0.1.
    std::u16string serverBase() const;
    Machine machine() { return Machine{files_, clock_, inet_, printer_, events_}; }
    // The same machine reaching servers through another transfer component.
    Machine machine(InternetTransfer& inet) { return Machine{files_, clock_, inet, printer_, events_}; }
    GridPrinter& printer() { return printer_; }
    CurlTransfer& inet() { return inet_; }

  private:
    TempFolder temp_;
    HostFileSystem files_;
    FixedClock clock_;
    // The server outlives the transfer: the transfer's kept connections close
    // first, and the server does not wait out their keep-alive when it stops.
    HttpTestServer server_;
    CurlTransfer inet_{files_, CurlTransfer::Limits{5, 20}};
    GridPrinter printer_;
    IdleEventLoop events_;
};

// Writes bytes to a host file, creating its folders.
void writeFile(const std::filesystem::path& file, std::string_view bytes);
std::string readFile(const std::filesystem::path& file);
// Text as Shift-JIS bytes.
std::string sjis(std::u16string_view text);

}  // namespace quendro::test
