#include <functional>

#include "app/main_window.h"
#include "meet/status_words.h"
#include "store/meet_import.h"
#include "store/record_files.h"
#include "store/working_folder.h"

namespace quendro {

void MainWindow::TakeSwimIndex(const HeatTable& heats) {
    meetHeatCount = static_cast<std::int16_t>(heats.heatCount());
    swimTable = buildSwimIndex(heats);
    swimTableCount = static_cast<std::int16_t>(swimTable.size() - 1);
    swimTable.resize(static_cast<size_t>(meetHeatCount) * 10 + 1);
    swimIndex_.build(swimTable, swimTableCount);
}

MeetTake MainWindow::TakeFollowedMeet(const FollowedMeet& meet, const std::string& heats,
                                      const std::string& competitors) {
    // Another meet confirmed, or another mode chosen, since the check began.
    if (followedMeetOf(*this) != meet) return MeetTake::NotTaken;
    FileSystem& files = machine_.files;
    HeatTable table{heats};
    std::vector<std::u16string> index = buildSwimIndex(table);
    std::vector<std::u16string> shown(swimTable.begin(),
                                      swimTable.begin() + std::min<size_t>(swimTable.size(),
                                                                           static_cast<size_t>(swimTableCount) + 1));
    std::size_t competitorHash = std::hash<std::string>{}(competitors);
    if (meet.web) {
        // The working files are what the window shows: the same bytes, nothing new.
        std::string heatsHeld, competitorsHeld;
        bool same = files.readBytes(kWorkingHeats, heatsHeld) == FileStatus::Ok &&
                    files.readBytes(kWorkingCompetitors, competitorsHeld) == FileStatus::Ok &&
                    heatsHeld == heats && competitorsHeld == competitors;
        if (same) return MeetTake::NotTaken;
        // Both files, or neither: the working files always make one meet.
        FileStatus written = replaceWorkingFiles(
            files, {{kWorkingHeats, heats}, {kWorkingCompetitors, competitors}});
        if (written != FileStatus::Ok) {
            statusText = workingFolderWord(written);
            return MeetTake::Failed;
        }
    } else {
        // The local files are read where they lie; the first look after a
        // confirm learns the competitor file the confirm listed from.
        bool sameCompetitors = !takenCompetitors_ || *takenCompetitors_ == competitorHash;
        takenCompetitors_ = competitorHash;
        if (index == shown && sameCompetitors) return MeetTake::NotTaken;
    }
    if (meet.web) takenCompetitors_ = competitorHash;

    // What was chosen: the competitor by ordinal, the swim by heat and lane.
    std::optional<std::int16_t> competitor;
    if (int row = lstNamae.listIndex(); row >= 0 && row < static_cast<int>(hitRecords.size()))
        competitor = hitRecords[static_cast<size_t>(row)];
    std::optional<std::pair<std::u16string, std::int16_t>> swim;
    if (int row = lstShumoku.listIndex(); row >= 0 && row < swimCount)
        swim = {swimKeys[static_cast<size_t>(row)], swimNumbers[static_cast<size_t>(row)]};
    const auto keptTimes = splitTimes;
    const auto keptCount = splitCount;

    MeetChange change = meetChangeOf(shown, index);
    TakeSwimIndex(table);
    SearchCompetitors();
    if (competitor) {
        for (int row = 0; row < hitCount; ++row) {
            if (hitRecords[static_cast<size_t>(row)] != *competitor) continue;
            lstNamae.setListIndex(row);  // lists the competitor's swims again
            break;
        }
    }
    if (swim && lstNamae.listIndex() >= 0) {
        for (int row = 0; row < swimCount; ++row) {
            const auto r = static_cast<size_t>(row);
            if (swimKeys[r] != swim->first || swimNumbers[r] != swim->second) continue;
            // The swim stays chosen with the splits it showed; its lap file is
            // not read again here (the follow of the shown swim does that, off
            // the window's thread).
            std::function<void()> click = std::move(lstShumoku.onClick);
            lstShumoku.onClick = nullptr;
            lstShumoku.setListIndex(row);
            lstShumoku.onClick = std::move(click);
            splitTimes = keptTimes;
            splitCount = keptCount;
            ShowLaps();
            break;
        }
    }
    statusText = meetUpdateWord(machine_.clock.now(), change);
    return MeetTake::Taken;
}

void MainWindow::TellFollowedMeetLook(const FollowedMeet& meet, ServerReach& reach,
                                      bool answered) {
    if (!meet.web || followedMeetOf(*this) != meet) return;
    const std::u16string awayWord = serverReachWord(ReachNews::Away, reach);
    ReachNews news = serverReachAfter(reach, answered, machine_.clock.now());
    if (news == ReachNews::Away || (news == ReachNews::Back && statusText == awayWord))
        statusText = serverReachWord(news, reach);
}

}  // namespace quendro
