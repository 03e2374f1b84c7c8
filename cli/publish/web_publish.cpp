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

bool Publisher::putWebFiles(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::pair<std::string, const std::string*>> due;
    std::vector<std::size_t> digests;
    for (const auto& [path, bytes] : files) {
        std::size_t digest = std::hash<std::string>{}(bytes);
        auto last = webDigest_.find(path);
        if (last != webDigest_.end() && last->second == digest) continue;
        due.emplace_back("web/" + path, &bytes);
        digests.push_back(digest);
    }
    if (due.empty()) return true;
    if (!learnStorage()) return false;
    std::vector<HttpAnswer> answers = putMeetFiles(due);
    bool whole = true;
    for (size_t k = 0; k < due.size(); ++k) {
        const HttpAnswer& answer = answers[k];
        if (!answer.ok()) {
            if (whole) lastServerFailure_ = putFailure(due[k].first, answer);
            whole = false;
            continue;
        }
        webDigest_[due[k].first.substr(4)] = digests[k];
        ++webSent_;
    }
    return whole;
}

bool Publisher::rebuildWebMeet() {
    // A damaged heat table or results file is held back, as its file is.
    if (!readMeetFile(files_, source_->folder, source_->heatsPath, RecordFileKind::Heats).ok() ||
        !readMeetFile(files_, folderOf(source_->resultsPath), source_->resultsPath,
                      RecordFileKind::Results)
             .ok()) {
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
    // The heats' files and the meet's other files go together; meet.json, which
    // a browser reads first, after them.
    std::vector<std::pair<std::string, std::string>> files;
    std::string meetJson;
    if (webMeetStale_ && rebuildWebMeet()) {
        // The meet's own files; its time of change moves only with its content.
        std::string content = webMeetJson(*webMeet_, u"");
        std::size_t digest = std::hash<std::string>{}(content);
        if (digest != meetJsonDigest_ || meetUpdated_.empty()) {
            meetJsonDigest_ = digest;
            meetUpdated_ = timeNow();
        }
        files.emplace_back("fold.json", webFoldJson());
        for (auto& [path, bytes] : webCompetitorFiles(*webMeet_)) files.emplace_back(path, bytes);
        meetJson = webMeetJson(*webMeet_, fromUtf8(meetUpdated_));
    }
    if (!webMeet_) return true;
    for (const std::u16string& heat : heatsStale_) {
        // A lap file of a heat that the heat table does not hold makes no heat file.
        if (!webMeet_->heatSwims.count(heat)) continue;
        auto bytes = lapBytes_.find(heat);
        std::u16string text = bytes == lapBytes_.end() ? u"" : decodeShiftJis(bytes->second);
        HeatLaps laps(text, isOlderLapLayout(text));
        files.emplace_back(webHeatPath(heat), webHeatJson(*webMeet_, webHeatOf(*webMeet_, heat, laps)));
    }
    // What failed stays due; what went is skipped next time by its digest.
    if (!putWebFiles(files)) return false;
    heatsStale_.clear();
    if (!meetJson.empty()) {
        if (!putWebFiles({{"meet.json", meetJson}})) return false;
        webMeetStale_ = false;
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
