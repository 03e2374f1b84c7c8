// The publisher's web data: the JSON a browser reads, made by the core from
// the meet's files as they were sent, and sent beside them.
#include <chrono>
#include <ctime>

#include "cli/publish/publisher.h"
#include "cli/publish/season_entry.h"
#include "laps/lap_file.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "reports/web_json.h"
#include "store/record_shape.h"

namespace quendro {
namespace {

// The local time now with its offset: "2026-07-25T10:03:05+09:00".
std::string timeNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string t = text;
    if (t.size() >= 5) t.insert(t.size() - 2, ":");
    return t;
}

bool whole(FileSystem& files, std::u16string_view path, RecordFileKind kind) {
    std::string bytes;
    if (files.readBytes(path, bytes) != FileStatus::Ok) return false;
    return recordFileShape(bytes, kind) == RecordFileShape::Whole;
}

}  // namespace

void Publisher::noteForWeb(const MeetFileOnServer& file, const std::string& bytes, bool changed) {
    if (file.kind != MeetFileOnServer::Kind::Lap) {
        if (changed || !webMeet_) webMeetStale_ = true;
        return;
    }
    // "lap/r0012.txt": the heat's lap file as the server holds it.
    std::u16string heat = fromUtf8(file.name.substr(5, 4));
    auto held = lapBytes_.find(heat);
    if (held != lapBytes_.end() && held->second == bytes) return;
    lapBytes_[heat] = bytes;
    heatsStale_.insert(heat);
}

bool Publisher::putWebFile(const std::string& path, const std::string& bytes) {
    std::size_t digest = std::hash<std::string>{}(bytes);
    auto last = webDigest_.find(path);
    if (last != webDigest_.end() && last->second == digest) return true;
    std::string url = meetUrl() + "web/" + path;
    HttpAnswer answer = http_.put(url, bytes);
    if (!answer.ok()) {
        lastServerFailure_ =
            withoutPassword(url) + ": " +
            (answer.answered() ? "HTTP " + std::to_string(answer.status) : answer.error);
        return false;
    }
    webDigest_[path] = digest;
    ++webSent_;
    return true;
}

bool Publisher::rebuildWebMeet() {
    // A damaged heat table or results file is held back, as its file is.
    if (!whole(files_, source_->heatsPath, RecordFileKind::Heats) ||
        !whole(files_, source_->resultsPath, RecordFileKind::Results)) {
        return false;
    }
    auto meet = std::make_unique<WebMeet>();
    const MeetHeader& h = source_->header;
    meet->season = options_.season;
    meet->code = h.meetCode;
    meet->name = h.meetName;
    meet->abbreviation = h.abbreviation;
    meet->venue = h.venue;
    meet->firstDay = h.firstDay;
    meet->lastDay = h.lastDay;
    meet->poolIndex = poolIndexForCode(h.poolCode).value_or(0);
    meet->touchpadIndex = touchpadIndexFor(h.touchpads).value_or(0);
    HeatTable heats(files_, source_->heatsPath);
    CompetitorTable competitors(files_, source_->resultsPath, CompetitorSource::Results,
                                CompetitorReading::AllAtOnce);
    readWebMeet(*meet, heats, competitors);
    webMeet_ = std::move(meet);
    for (const std::u16string& heat : webHeatNumbers(*webMeet_)) heatsStale_.insert(heat);
    return true;
}

bool Publisher::sendWebData() {
    webSent_ = 0;
    if (webMeetStale_ && rebuildWebMeet()) {
        // The meet's own files; its time of change moves only with its content.
        std::string meetJson = webMeetJson(*webMeet_, u"");
        std::size_t digest = std::hash<std::string>{}(meetJson);
        if (digest != meetJsonDigest_ || meetUpdated_.empty()) {
            meetJsonDigest_ = digest;
            meetUpdated_ = timeNow();
        }
        if (!putWebFile("fold.json", webFoldJson())) return false;
        for (const auto& [path, bytes] : webCompetitorFiles(*webMeet_)) {
            if (!putWebFile(path, bytes)) return false;
        }
        if (!putWebFile("meet.json", webMeetJson(*webMeet_, fromUtf8(meetUpdated_)))) return false;
        webMeetStale_ = false;
    }
    if (!webMeet_) return true;
    for (auto heat = heatsStale_.begin(); heat != heatsStale_.end();) {
        // A lap file of a heat that the heat table does not hold makes no heat file.
        std::string path = webMeet_->heatSwims.count(*heat) ? webHeatPath(*heat) : "";
        if (!path.empty()) {
            auto bytes = lapBytes_.find(*heat);
            std::u16string text = bytes == lapBytes_.end() ? u"" : decodeShiftJis(bytes->second);
            HeatLaps laps(text, isOlderLapLayout(text));
            if (!putWebFile(path, webHeatJson(*webMeet_, webHeatOf(*webMeet_, *heat, laps))))
                return false;
        }
        heat = heatsStale_.erase(heat);
    }
    if (webSent_ > 0) {
        out_ << "ウェブ用データを送信しました: " << webSent_ << " ファイル ("
             << withoutPassword(meetUrl() + "web/") << ")\n";
    }
    if (listed_ && seasonLineListed_ != webSeasonLine(*webMeet_)) return addWebSeasonEntry(true);
    return true;
}

bool Publisher::addWebSeasonEntry(bool quietServer) {
    if (!webMeet_) return true;
    std::string url = seasonUrl() + "web/meets.json";
    const WebMeet& meet = *webMeet_;
    SeasonFileEntry entry;
    entry.holds = [&](const std::string& file) {
        auto with = webSeasonWith(file, meet);
        return with && *with == file;
    };
    entry.put = [&](const std::string& file, std::string& withEntry) {
        if (file.size() > kSeasonListMaxBytes) return SeasonListShape::TooLarge;
        auto with = webSeasonWith(file, meet);
        if (!with) return SeasonListShape::CutShort;
        withEntry = *with;
        return SeasonListShape::Whole;
    };
    SeasonEntryResult result = putEntryInSeasonFile(http_, url, entry);
    switch (result.outcome) {
        case SeasonEntry::Added:
        case SeasonEntry::AlreadyListed:
            told_.erase("meets.json");
            seasonLineListed_ = webSeasonLine(meet);
            return true;
        case SeasonEntry::Unreadable:
        case SeasonEntry::Refused:
            lastServerFailure_ = withoutPassword(url) + ": " + result.detail;
            if (!quietServer)
                err_ << "エラー: ウェブ用の大会一覧を送信できませんでした: " << lastServerFailure_
                     << "\n";
            return false;
        case SeasonEntry::CutShort:
        case SeasonEntry::TooLarge:
        case SeasonEntry::Lost:
            tellOnce("meets.json",
                     "エラー: ウェブ用の大会一覧 (meets.json) を書き換えられません: " +
                         withoutPassword(url));
            return false;
    }
    return false;
}

}  // namespace quendro
