#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "laps/report_laps.h"
#include "platform/files.h"
#include "platform/internet_transfer.h"

namespace quendro {

// The start of the status line's word for a lap file that could not be read.
inline constexpr std::u16string_view kLapFileWord = u"ラップファイルを読めませんでした: ";

// Where a swim choice finds the lap file of a heat: the lap folder of the meet
// folder, or the meet folder on the server by way of the working file t.txt.
struct LapSource {
    FileSystem& files;
    InternetTransfer& inet;
    bool web = false;
    std::u16string dataDir;
    std::u16string base;  // the text of txtTaikai
    std::u16string season;
    std::u16string meetCode;
    bool olderLayout = true;  // chkQ ticked: nine fields a record

    std::u16string url(const std::u16string& heat) const;
    // The bytes of a downloaded lap file become the working file t.txt: the
    // body and one line end.
    FileStatus store(const std::string& stored) const;
    // The lap file's bytes made into a heat file; empty bytes have no laps.
    HeatFile heatFile(std::string bytes) const;
    // The heat file of a download that brought no body: missing (404),
    // cancelled by the user, or the word of what went wrong.
    HeatFile notDownloaded(const std::u16string& heat, const Download& body) const;
    // The heat file of a download: stored in t.txt when it came, or the word
    // of what went wrong. With readBack the stored file is read again.
    HeatFile downloaded(const std::u16string& heat, Download body, bool readBack) const;
    // The heat's lap file as a single swim choice reads it.
    HeatFile load(const std::u16string& heat) const;
};

// One run of a report: the lap files of the heats it needs are each read (in
// internet mode downloaded, several at a time, in the order the report needs
// them) and parsed once, and folder listings are remembered for its length.
// At its end the working file t.txt holds what the swim choices would have left
// there had each downloaded its own lap file.
// Once the user stops a download of the run, the run is stopped: it loads no
// more lap files, and the report writes or prints nothing.
class ReportRun {
  public:
    ReportRun(LapSource source, const std::vector<std::u16string>& uses,
              DownloadProgress progress);
    ~ReportRun();
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    // The heat's lap file, for the next swim choice of the report.
    std::shared_ptr<const HeatFile> heat(const std::u16string& heat);
    bool cancelled() const { return cancelled_; }

    // How many of the last distinct heats of the plan keep their stored bytes
    // until the end, for t.txt.
    static constexpr size_t kKeptAtEnd = 4;

  private:
    HeatFile load(const std::u16string& heat, std::optional<size_t> planned);

    LapSource source_;
    ListingMemory listings_;
    std::vector<std::u16string> tail_;  // the last distinct heats of the plan
    std::unique_ptr<BatchDownload> batch_;
    ReportLaps laps_;
    std::u16string writtenHeat_;  // the heat whose bytes t.txt holds now
    std::u16string wantedHeat_;   // the heat of the last swim whose lap file was stored
    std::shared_ptr<const HeatFile> wanted_;
    bool cancelled_ = false;
};

}  // namespace quendro
