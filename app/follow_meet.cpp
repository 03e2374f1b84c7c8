#include "app/follow_meet.h"

#include <set>

#include "app/main_window.h"
#include "platform/text_rules.h"
#include "store/record_files.h"

namespace quendro {

std::optional<FollowedMeet> followedMeetOf(const MainWindow& window) {
    if (!window.shownMeet || window.shownMeet->web != (window.webMode != 0)) return std::nullopt;
    return window.shownMeet;
}

bool wholeMeet(std::string_view heats, std::string_view competitors,
               RecordFileKind competitorKind, std::string_view heatsTaken, bool readBefore) {
    if (recordFileShape(heats, RecordFileKind::Heats) != RecordFileShape::Whole ||
        recordFileShape(competitors, competitorKind) != RecordFileShape::Whole)
        return false;
    if (readBefore) return true;
    std::int32_t competitorCount = competitors.empty() ? 0 : int32Field(competitors, 0);
    HeatTable table{std::string(heats)};
    HeatTable taken{std::string(heatsTaken)};
    for (std::int32_t k = 1; k <= table.heatCount(); ++k) {
        HeatRecord before = k <= taken.heatCount() ? taken.heat(k) : HeatRecord{};
        HeatRecord heat = table.heat(k);
        for (size_t lane = 0; lane < heat.laneCompetitor.size(); ++lane) {
            std::int16_t ordinal = heat.laneCompetitor[lane];
            if (ordinal > competitorCount && ordinal != before.laneCompetitor[lane]) return false;
        }
    }
    return true;
}

namespace {

// One of the two files: fetched again when it changed. False when it could not be.
bool lookAgain(const FollowedMeet& meet, int i, const MeetFilesSeen& since, MeetFilesSeen& seen,
               InternetTransfer& inet, FileSystem& files) {
    const std::u16string& source = i == 0 ? meet.heats : meet.competitors;
    auto differs = [&](std::string bytes) {
        if (!since.bytes[i] || *since.bytes[i] != bytes)
            seen.bytes[i] = std::make_shared<const std::string>(std::move(bytes));
    };
    if (meet.web) {
        auto answer = inet.openUrlIfChanged(source, since.read ? since.validators[i] : Validators{});
        if (!answer) return false;
        seen.validators[i] = answer->validators;
        if (answer->changed) differs(std::move(answer->body));
        return true;
    }
    std::optional<FileVersion> version = files.fileVersion(source);
    if (since.read && version && version == since.versions[i]) return true;
    std::string bytes;
    FileStatus status = files.readBytes(source, bytes);
    // A file not there (yet) is an empty file: a meet that has not begun.
    if (status != FileStatus::Ok && status != FileStatus::NotFound) return false;
    seen.versions[i] = version;
    differs(std::move(bytes));
    return true;
}

}  // namespace

MeetCheck checkMeetFiles(const FollowedMeet& meet, const MeetFilesSeen& since,
                         InternetTransfer& inet, FileSystem& files) {
    MeetCheck check;
    check.seen = since;
    for (int i = 0; i < 2; ++i) {
        if (!lookAgain(meet, i, since, check.seen, inet, files)) {
            check.outcome = MeetCheck::Outcome::Failed;
            check.seen = since;
            return check;
        }
    }
    bool arrived = !since.read || check.seen.bytes[0] != since.bytes[0] ||
                   check.seen.bytes[1] != since.bytes[1];
    bool readBefore = since.read && !arrived;  // the same bytes as the look before
    check.seen.read = true;
    if (!arrived && !since.pending) return check;
    static const std::string kNone;
    const std::string& heats = check.seen.bytes[0] ? *check.seen.bytes[0] : kNone;
    const std::string& competitors = check.seen.bytes[1] ? *check.seen.bytes[1] : kNone;
    const std::string& heatsTaken = since.heatsTaken ? *since.heatsTaken : kNone;
    if (!wholeMeet(heats, competitors, meet.competitorKind, heatsTaken, readBefore)) {
        check.outcome = MeetCheck::Outcome::Partial;
        check.seen.pending = true;
        return check;
    }
    check.seen.pending = false;
    check.seen.heatsTaken = check.seen.bytes[0];
    check.outcome = MeetCheck::Outcome::Changed;
    check.heats = check.seen.bytes[0] ? check.seen.bytes[0] : std::make_shared<const std::string>();
    check.competitors =
        check.seen.bytes[1] ? check.seen.bytes[1] : std::make_shared<const std::string>();
    return check;
}

MeetChange meetChangeOf(const std::vector<std::u16string>& before,
                        const std::vector<std::u16string>& after) {
    // Swims are known by heat and lane slot (characters 14 to 19); the time or
    // result code stands in characters 8 to 13.
    std::set<std::u16string> heatsBefore;
    std::set<std::pair<std::u16string, std::u16string>> swimsBefore;
    for (const std::u16string& line : before) {
        if (line.size() != 19) continue;
        heatsBefore.insert(line.substr(13, 4));
        swimsBefore.insert({line.substr(13, 6), line.substr(7, 6)});
    }
    MeetChange change;
    std::set<std::u16string> heatsNew;
    for (const std::u16string& line : after) {
        if (line.size() != 19) continue;
        std::u16string heat = line.substr(13, 4);
        if (!heatsBefore.contains(heat)) heatsNew.insert(heat);
        std::u16string time = line.substr(7, 6);
        if (time != u"000000" && !swimsBefore.contains({line.substr(13, 6), time}))
            ++change.newResults;
    }
    change.newHeats = static_cast<int>(heatsNew.size());
    return change;
}

namespace {

std::u16string clockText(const LocalDateTime& at) {
    return zeroFilled(at.hour, 2) + u":" + zeroFilled(at.minute, 2) + u":" +
           zeroFilled(at.second, 2);
}

}  // namespace

std::u16string meetUpdateWord(const LocalDateTime& at, const MeetChange& change) {
    return u"更新 " + clockText(at) + u"（新しい組 " + decimalText(change.newHeats) +
           u"・記録 " + decimalText(change.newResults) + u"）";
}

ReachNews serverReachAfter(ServerReach& reach, bool answered, const LocalDateTime& now) {
    if (answered) reach.lastAnswer = now;
    if (answered == !reach.away) return ReachNews::None;
    reach.away = !answered;
    return answered ? ReachNews::Back : ReachNews::Away;
}

std::u16string serverReachWord(ReachNews news, const ServerReach& reach) {
    if (news == ReachNews::None) return {};
    if (news == ReachNews::Back)
        return u"サーバーに再び届きました " + clockText(reach.lastAnswer.value_or(LocalDateTime{}));
    if (!reach.lastAnswer) return u"サーバーに届きません";
    return u"サーバーに届きません（最後の応答 " + clockText(*reach.lastAnswer) + u"）";
}

}  // namespace quendro
