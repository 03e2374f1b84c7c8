#include "cli/publish/web_data.h"

#include <ctime>
#include <functional>

#include "laps/lap_file.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "reports/web_json.h"
#include "store/meet_file_reader.h"
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
    if (t.size() < 5) return t;
    const size_t minutes = t.size() - 2;
    return t.substr(0, minutes) + ":" + t.substr(minutes);
}

}  // namespace

void WebData::note(const MeetFileOnServer& file, const std::string& bytes, bool changed) {
    if (file.kind != MeetFileOnServer::Kind::Lap) {
        if (changed || !meet_) meetStale_ = true;
        return;
    }
    // "lap/r0012.txt": the heat's lap file as the server holds it.
    std::u16string heat = fromUtf8(file.name.substr(5, 4));
    auto held = lapBytes_.find(heat);
    if (held != lapBytes_.end() && held->second == bytes) return;
    lapBytes_[heat] = bytes;
    heatsStale_.insert(heat);
}

bool WebData::rebuild() {
    if (!readMeetFile(files_, source_.folder, source_.heatsPath, RecordFileKind::Heats).ok() ||
        !readMeetFile(files_, folderOf(source_.resultsPath), source_.resultsPath,
                      RecordFileKind::Results)
             .ok()) {
        return false;
    }
    auto meet = std::make_unique<WebMeet>();
    const MeetHeader& h = source_.header;
    meet->season = season_;
    meet->code = h.meetCode;
    meet->name = h.meetName;
    meet->abbreviation = h.abbreviation;
    meet->venue = h.venue;
    meet->firstDay = h.firstDay;
    meet->lastDay = h.lastDay;
    meet->poolIndex = poolIndexForCode(h.poolCode).value_or(0);
    meet->touchpadIndex = touchpadIndexFor(h.touchpads).value_or(0);
    HeatTable heats(files_, source_.heatsPath);
    CompetitorTable competitors(files_, source_.resultsPath, CompetitorSource::Results,
                                CompetitorReading::AllAtOnce);
    readWebMeet(*meet, heats, competitors);
    meet_ = std::move(meet);
    for (const std::u16string& heat : webHeatNumbers(*meet_)) heatsStale_.insert(heat);
    return true;
}

WebData::Due WebData::due() {
    Due due;
    if (meetStale_ && rebuild()) {
        // The meet's own files; its time of change moves only with its content.
        std::string content = webMeetJson(*meet_, u"");
        std::size_t digest = std::hash<std::string>{}(content);
        if (digest != meetJsonDigest_ || meetUpdated_.empty()) {
            meetJsonDigest_ = digest;
            meetUpdated_ = timeNow();
        }
        due.files.emplace_back("fold.json", webFoldJson());
        program_ = webProgram(*meet_);
        programId_ = programId(program_);
        for (auto& [path, bytes] : webCompetitorFiles(*meet_)) due.files.emplace_back(path, bytes);
        due.meetJson = webMeetJson(*meet_, fromUtf8(meetUpdated_));
    }
    if (!meet_) return due;
    for (const std::u16string& heat : heatsStale_) {
        // A lap file of a heat that the heat table does not hold makes no heat file.
        if (!meet_->heatSwims.count(heat)) continue;
        auto bytes = lapBytes_.find(heat);
        std::u16string text = bytes == lapBytes_.end() ? u"" : decodeShiftJis(bytes->second);
        HeatLaps laps(text, isOlderLapLayout(text));
        WebHeat made = webHeatOf(*meet_, heat, laps);
        activity_[heat] = heatActivityOf(made);
        due.files.emplace_back(webHeatPath(heat), webHeatJson(*meet_, made));
    }
    if (!due.meetJson.empty()) due.files.emplace_back("program.json", webProgramJson(program_));
    std::vector<HeatActivity> activity;
    activity.reserve(program_.size());
    for (const ProgramHeat& h : program_) {
        auto known = activity_.find(h.heat);
        activity.push_back(known == activity_.end() ? HeatActivity{} : known->second);
    }
    due.nowJson = webNowJson(program_, programId_, programStand(activity));
    return due;
}

}  // namespace quendro
