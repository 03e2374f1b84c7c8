// quendro-export: the swims of a meet's listed competitors as CSV, JSON or the
// HTML page, from a meet's data folder or from a publisher, without a window.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "cli/export/export_options.h"
#include "cli/export/export_run.h"
#include "platform/ca_file.h"
#include "platform/curl_transfer.h"
#include "platform/host_files.h"
#include "store/results_file.h"
#include "platform/text_rules.h"

namespace fs = std::filesystem;

namespace {

// A folder of its own for the run, removed at the end.
struct Scratch {
    fs::path path;
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "quendro-export-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};

// Standard output, written as it comes; a failure is told at commit().
class StandardOutput : public quendro::OutputFile {
  public:
    bool write(std::string_view bytes) override {
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(std::cout);
    }
    quendro::FileStatus commit() override {
        std::cout.flush();
        return std::cout ? quendro::FileStatus::Ok : quendro::FileStatus::IoError;
    }
};

// The output: standard output, or the file through the programs' one safe
// write (a link planted beside it is never followed; whole, or not at all).
std::unique_ptr<quendro::OutputFile> openOutput(const std::string& output) {
    if (output.empty() || output == "-") return std::make_unique<StandardOutput>();
    std::error_code error;
    fs::path target = fs::absolute(output, error);
    if (error) target = output;
    return quendro::createWholeFile(target);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace quendro;
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::ParsedOptions parsed = cli::parseExportOptions(args);
    if (!parsed.options) {
        std::cerr << "quendro-export: " << parsed.error << "\n\n" << cli::kExportUsage;
        return 2;
    }
    const cli::ExportOptions& options = *parsed.options;
    if (options.help) {
        std::cout << cli::kExportUsage;
        return 0;
    }

    Scratch scratch;
    if (scratch.path.empty()) {
        std::cerr << "quendro-export: 作業フォルダを作れません\n";
        return 1;
    }
    // From a publisher the meet's files are downloaded into a working folder of
    // this run, never into the window's.
    const bool fromServer = cli::isUrl(options.source);
    fs::path drives = fromServer ? scratch.path / "drives" : userDrivesFolder();
    HostFileSystem files(DriveMap(drives, fs::current_path()));

    std::u16string folder;
    if (!fromServer) folder = folderAsGiven(files.driveMap(), options.source);

    CurlTransfer::Limits limits;
    ChosenCaFile ca = chooseCaFile(options.caFile, std::getenv(kCaFileVariable));
    if (std::string refusal = caFileRefusal(ca); !refusal.empty()) {
        std::cerr << "quendro-export: " << refusal << "\n";
        return 2;
    }
    limits.caFile = caFileForTransfers(ca);
    CurlTransfer inet(files, limits);
    MeetSession meet(files, inet);
    std::unique_ptr<OutputFile> output = openOutput(options.output);

    cli::ExportOutcome outcome =
        cli::runExport(options, meet, folder, readSiteControl(files), *output);
    for (const auto& note : outcome.notes) std::cerr << "quendro-export: " << note << "\n";
    if (outcome.result == cli::ExportResult::NotWritten)
        std::cerr << "quendro-export: 書き込めませんでした: " << options.output << "\n";
    return cli::exitStatusOf(outcome.result);
}
