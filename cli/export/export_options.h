#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quendro::cli {

enum class ExportFormat { Csv, Json, Html };

// quendro-export --format csv|json|html [--filter TEXT] [--results FILE]
//                [--output FILE] [--lap-layout old|new] [--cacert FILE] SOURCE
struct ExportOptions {
    ExportFormat format = ExportFormat::Csv;
    std::string filter;   // as typed into the number box: digits or a name
    std::string results;  // the results file, when the meet header does not find it
    std::string output;   // empty: standard output
    std::string source;   // a meet's data folder, or a meet folder URL on a publisher
    // Lap files of the older layout, nine fields a record (the window's "旧",
    // ticked unless told); false for records of three fields.
    bool olderLapLayout = true;
    // A certificate-authority file trusted beside the system's for an https
    // source; none: QUENDRO_CA_FILE, if set.
    std::optional<std::string> caFile;
    bool help = false;
};

// The options of a command line (without the program name); an error text
// when they cannot be used.
struct ParsedOptions {
    std::optional<ExportOptions> options;
    std::string error;
};
ParsedOptions parseExportOptions(const std::vector<std::string>& args);

extern const char* const kExportUsage;

}  // namespace quendro::cli
