#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/export/export_options.h"
#include "meet/meet_session.h"
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

// How an export ended; the program's exit status follows from it.
enum class ExportResult {
    Written,       // every listed swim has what its files hold (exit 0)
    LapsUnread,    // written, but some lap files could not be read (exit 3)
    MeetUnread,    // the meet could not be read: nothing written (exit 1)
    NotWritten,    // the output could not be written (exit 1)
    Cancelled,     // a lap file's download was stopped: nothing written (exit 1)
};
int exitStatusOf(ExportResult result);

// What an export made and what it has to say on the terminal.
struct ExportOutcome {
    ExportResult result = ExportResult::MeetUnread;
    std::vector<std::string> notes;  // for stderr, in Japanese
};

// Opens the meet of the source in a meet session (local folder or publisher),
// lists the competitors of the filter and writes the export: CSV, JSON, or the
// page the Html button writes. sourceFolder is the data folder in the
// program's form (a drive path). The output is opened only once the meet is
// read; a page goes out piece by piece as it is made.
ExportOutcome runExport(const ExportOptions& options, MeetSession& meet,
                        std::u16string_view sourceFolder, const SiteControl& site,
                        OutputFile& output);

}  // namespace quendro::cli
