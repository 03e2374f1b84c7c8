#include "app/follow_swim.h"

#include <functional>

#include "app/main_window.h"
#include "store/server_addresses.h"
#include "laps/lap_file.h"
#include "laps/swim_splits.h"
#include "platform/shift_jis.h"

namespace quendro {

std::optional<FollowedSwim> followedSwimOf(const MainWindow& window) {
    int row = window.lstShumoku.listIndex();
    if (row < 0 || row >= window.swimCount || row >= static_cast<int>(window.swimKeys.size()))
        return std::nullopt;
    const auto r = static_cast<size_t>(row);
    FollowedSwim swim;
    swim.row = row;
    swim.heat = window.swimKeys[r];
    swim.lane = window.swimNumbers[r] + 1;
    swim.finalTime = window.swimTexts[r];
    swim.eventDistance = window.swimDistances[r];
    swim.splitDistance = window.splitDistance;
    swim.olderLayout = window.chkQ.value() == 1;
    swim.web = window.webMode != 0;
    swim.source = swim.web ? lapFileUrl(window.txtTaikai.text(), window.seasonYear, window.meetCode,
                                        swim.heat)
                           : localLapFilePath(window.dataDir, swim.heat);
    return swim;
}

LapFileCheck checkLapFile(const FollowedSwim& swim, const LapFileSeen& since,
                          InternetTransfer& inet, FileSystem& files) {
    LapFileCheck check;
    check.seen = since;
    if (swim.web) {
        auto answer =
            inet.openUrlIfChanged(swim.source, since.read ? since.validators : Validators{});
        if (!answer) {
            check.outcome = LapFileCheck::Outcome::Failed;
            return check;
        }
        check.seen.validators = answer->validators;
        if (!answer->changed) return check;
        // The window reads a downloaded lap file with a line end after it.
        check.bytes = std::move(answer->body) + "\r\n";
    } else {
        std::optional<FileVersion> version = files.fileVersion(swim.source);
        if (since.read && version && version == since.version) return check;
        if (files.readBytes(swim.source, check.bytes) != FileStatus::Ok) {
            check.outcome = LapFileCheck::Outcome::Failed;
            return check;
        }
        check.seen.version = version;
    }
    std::size_t digest = std::hash<std::string>{}(check.bytes);
    bool same = since.read && digest == since.digest;
    check.seen.digest = digest;
    check.seen.read = true;
    if (same)
        check.bytes.clear();
    else
        check.outcome = LapFileCheck::Outcome::Changed;
    return check;
}

bool refreshFollowedSwim(MainWindow& window, const FollowedSwim& swim, const std::string& bytes) {
    // Another swim chosen meanwhile: the answer belongs to the one left.
    if (followedSwimOf(window) != swim) return false;
    GridSplits splits =
        swimSplitsOf(decodeShiftJis(bytes), swim.lane, swim.olderLayout, swim.finalTime,
                     swim.eventDistance, swim.splitDistance);
    if (splits.count == window.splitCount && splits.times == window.splitTimes) return false;
    window.splitTimes = splits.times;
    window.splitCount = static_cast<std::int16_t>(splits.count);
    window.ShowLaps();
    return true;
}

}  // namespace quendro
