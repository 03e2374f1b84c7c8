#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "cli/export/export_options.h"
#include "platform/files.h"

namespace quendro::cli {

// A meet folder on a publisher, cut into the base address of its season
// folders, the season and the meet code: "http://h/swim/2026/2026001/" gives
// "http://h/swim/", "2026", "2026001". Empty when the address has no two
// folders below its host.
struct MeetUrl {
    std::u16string base;
    std::u16string season;
    std::u16string meetCode;
};
std::optional<MeetUrl> parseMeetUrl(std::u16string_view url);
bool isUrl(std::string_view source);

// Where the results file of a local meet may be, when the meet header's folder
// (on the data folder's drive) does not hold it: the header's folder taken
// from the data folder's own name on ("D:\meet\kekka\" for a data folder
// "Z:\work\meet\" gives "Z:\work\meet\kekka\"), then the data folder itself.
std::vector<std::u16string> resultFileCandidates(std::u16string_view dataDir,
                                                 std::u16string_view headerResultDir,
                                                 std::u16string_view resultFile);

// What an export made: the bytes, or what went wrong, and notes for the terminal.
struct ExportOutcome {
    bool ok = false;
    std::string bytes;
    std::string error;
    std::vector<std::string> notes;
};

// Opens the meet of the source in the window model as a user would (local
// folder or publisher), lists the competitors of the filter and makes the
// export. sourceFolder is the data folder in the program's form (a drive path);
// scratch is a host folder for the page the Html command writes.
ExportOutcome runExport(const ExportOptions& options, MainWindow& window, FileSystem& files,
                        std::u16string_view sourceFolder, const std::filesystem::path& scratch);

}  // namespace quendro::cli
