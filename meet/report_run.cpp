#include "meet/report_run.h"

#include <algorithm>

#include "store/server_addresses.h"
#include "meet/status_words.h"
#include "laps/lap_file.h"
#include "platform/address_sign_in.h"
#include "platform/shift_jis.h"
#include "store/meet_code.h"
#include "store/working_folder.h"

namespace quendro {

std::u16string LapSource::url(const std::u16string& heat) const {
    return lapFileUrl(base, season, meetCode, heat);
}

FileStatus LapSource::store(const std::string& stored) const {
    FileStatus written = files.writeBytes(kWorkingLapFile, stored);
    if (written == FileStatus::PathNotFound && ensureWorkingFolder(files))
        written = files.writeBytes(kWorkingLapFile, stored);
    return written;
}

HeatFile LapSource::heatFile(std::string bytes) const {
    HeatFile file;
    file.read = true;
    if (!bytes.empty()) file.laps = HeatLaps(decodeShiftJis(bytes), olderLayout);
    return file;
}

HeatFile LapSource::notDownloaded(const std::u16string& heat, const Download& body) const {
    HeatFile failed;
    failed.missing = body.failure == DownloadFailure::ErrorStatus && body.status == 404;
    failed.cancelled = body.failure == DownloadFailure::Cancelled;
    if (failed.cancelled) {
        failed.failure = kCancelledWord;
    } else if (url(heat).empty()) {
        failed.failure = std::u16string(kLapFileWord) + meetCodeRefusal(meetCode);
    } else {
        failed.failure = std::u16string(kLapFileWord) + u"(" + downloadFailureWord(body) + u") " +
                         withoutPassword(url(heat));
    }
    return failed;
}

HeatFile LapSource::downloaded(const std::u16string& heat, Download body, bool readBack) const {
    if (!body.ok()) return notDownloaded(heat, body);
    HeatFile failed;
    std::string stored = std::move(body.body);
    stored += "\r\n";
    FileStatus written = store(stored);
    if (written != FileStatus::Ok) {
        failed.failure = workingFolderWord(written);
        return failed;
    }
    if (readBack) {
        std::string bytes;
        if (files.readBytes(kWorkingLapFile, bytes) != FileStatus::Ok) {
            failed.failure = std::u16string(kLapFileWord);
            return failed;
        }
        return heatFile(std::move(bytes));
    }
    return heatFile(std::move(stored));
}

HeatFile LapSource::load(const std::u16string& heat) const {
    if (web) return downloaded(heat, inet.download(url(heat)), true);
    std::u16string path = localLapFilePath(dataDir, heat);
    std::string bytes;
    if (FileStatus status = files.readBytes(path, bytes); status != FileStatus::Ok) {
        HeatFile failed;
        failed.missing = status == FileStatus::NotFound || status == FileStatus::PathNotFound;
        failed.failure = std::u16string(kLapFileWord) + path;
        return failed;
    }
    return heatFile(std::move(bytes));
}

ReportRun::ReportRun(LapSource source, const std::vector<std::u16string>& uses,
                     DownloadProgress progress)
    : source_(std::move(source)),
      listings_(source_.files),
      laps_(uses, [this](const std::u16string& heat, std::optional<size_t> planned) {
          return load(heat, planned);
      }) {
    const std::vector<std::u16string>& order = laps_.heatsInOrder();
    // The heats last in the plan are the ones whose bytes t.txt may have to
    // hold at the end.
    for (auto it = uses.rbegin(); it != uses.rend() && tail_.size() < kKeptAtEnd; ++it) {
        if (std::find(tail_.begin(), tail_.end(), *it) == tail_.end()) tail_.push_back(*it);
    }
    if (source_.web) {
        std::vector<std::u16string> urls;
        urls.reserve(order.size());
        for (const auto& heat : order) urls.push_back(source_.url(heat));
        batch_ = source_.inet.openUrls(std::move(urls), std::move(progress));
    }
}

ReportRun::~ReportRun() {
    if (!source_.web || wantedHeat_.empty() || wantedHeat_ == writtenHeat_) return;
    if (wanted_ && wanted_->stored) {
        source_.store(*wanted_->stored);
    } else if (!cancelled_) {
        source_.load(wantedHeat_);  // beyond the plan: fetched once more
    }
}

HeatFile ReportRun::load(const std::u16string& heat, std::optional<size_t> planned) {
    if (cancelled_) return source_.notDownloaded(heat, cancelledDownload());
    if (!source_.web) return source_.load(heat);
    Download body = planned && batch_ ? batch_->body(*planned)
                                      : source_.inet.download(source_.url(heat));
    bool keep = body.ok() && std::find(tail_.begin(), tail_.end(), heat) != tail_.end();
    std::optional<std::string> kept;
    if (keep) kept = body.body + "\r\n";
    HeatFile file = source_.downloaded(heat, std::move(body), false);
    if (file.cancelled) cancelled_ = true;
    if (file.read) {
        writtenHeat_ = heat;
        if (keep) file.stored = std::move(kept);
    }
    return file;
}

std::shared_ptr<const HeatFile> ReportRun::heat(const std::u16string& heat) {
    std::shared_ptr<const HeatFile> file = laps_.heat(heat);
    if (source_.web && file->read) {
        wantedHeat_ = heat;
        wanted_ = file;
    }
    return file;
}

}  // namespace quendro
