#include "app/swim_reading.h"

#include "store/server_addresses.h"
#include "laps/lap_file.h"
#include "laps/swim_selection.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "store/competitor_search.h"

namespace quendro {

std::vector<MeetSwim> meetSwims(const MainWindow& window) {
    std::vector<MeetSwim> swims;
    const auto& table = window.swimTable;
    for (int i = 1; i <= window.swimTableCount && i < static_cast<int>(table.size()); ++i) {
        swims.push_back(meetSwimOf(table[static_cast<size_t>(i)]));
    }
    return swims;
}

std::optional<MeetSwim> chosenSwim(const MainWindow& window) {
    const int who = window.lstNamae.listIndex();
    const int row = window.lstShumoku.listIndex();
    if (who < 0 || who >= window.hitCount || who >= static_cast<int>(window.hitRecords.size()) ||
        row < 0) {
        return std::nullopt;
    }
    // The rows of lstShumoku are the competitor's lines of the swim index, in order.
    const std::u16string key = competitorKey(window.hitRecords[static_cast<size_t>(who)]);
    int seen = 0;
    const auto& table = window.swimTable;
    for (int i = 1; i <= window.swimTableCount && i < static_cast<int>(table.size()); ++i) {
        const std::u16string& line = table[static_cast<size_t>(i)];
        if (leftChars(line, 4) != key) continue;
        if (seen++ == row) return meetSwimOf(line);
    }
    return std::nullopt;
}

std::optional<std::u16string> heatLapText(MainWindow& window, FileSystem& files,
                                          std::u16string_view heat) {
    std::string bytes;
    if (window.webMode != 0) {
        auto body = window.Inet1.openUrl(
            lapFileUrl(window.txtTaikai.text(), window.seasonYear, window.meetCode, heat));
        if (!body) return std::nullopt;
        // Read as the window reads its working copy, which ends in a line end.
        bytes = *body + "\r\n";
    } else if (files.readBytes(localLapFilePath(window.dataDir, heat), bytes) != FileStatus::Ok) {
        return std::nullopt;
    }
    return decodeShiftJis(bytes);
}

SwimSplits swimSplitsFrom(const MainWindow& window, const MeetSwim& swim,
                          const std::u16string& lapText) {
    SwimSplits splits;
    LaneSplits read = readLaneSplits(lapText, swim.lane + 1, window.chkQ.value() == 1);
    splits.recorded = std::move(read.splits);
    splits.goal = read.goal;
    splits.finalTime = swim.finalTime();
    splits.splitDistance = window.splitDistance;
    splits.eventDistance = swim.eventDistance();
    return splits;
}

std::optional<SwimSplits> readSwim(MainWindow& window, FileSystem& files, const MeetSwim& swim) {
    auto text = heatLapText(window, files, swim.heat);
    if (!text) return std::nullopt;
    return swimSplitsFrom(window, swim, *text);
}

namespace {

CompetitorTable openCompetitors(const MainWindow& window, FileSystem& files) {
    CompetitorFile file = competitorFileFor(window.webMode, window.resultDir, window.resultFile);
    return CompetitorTable(files, file.path, file.source);
}

}  // namespace

MeetCompetitors::MeetCompetitors(const MainWindow& window, FileSystem& files)
    : table_(openCompetitors(window, files)) {}

CompetitorRecord MeetCompetitors::competitor(std::int16_t ordinal) const {
    if (ordinal < 1 || ordinal > table_.competitorCount()) return {};
    return table_.competitor(ordinal);
}

}  // namespace quendro
