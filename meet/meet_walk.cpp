#include "meet/meet_walk.h"

#include "laps/lap_grid.h"
#include "laps/report_laps.h"
#include "meet/report_run.h"

namespace quendro {

std::int16_t meetSplitDistance(const MeetHeader& header) {
    std::int16_t pool = 0;
    std::int16_t touchpads = 0;
    if (header.fieldCount >= 9) pool = poolIndexForCode(header.poolCode).value_or(pool);
    if (header.fieldCount >= 72) touchpads = touchpadIndexFor(header.touchpads).value_or(touchpads);
    return splitDistanceFor(pool, touchpads).value_or(25);
}

WalkSummary walkListedSwims(const MeetSession& meet, const std::vector<std::int16_t>& listed,
                            bool olderLayout, std::int16_t splitDistance,
                            const WalkVisits& visits, DownloadProgress progress) {
    WalkSummary summary;
    LapSource source{meet.files(), meet.inet(),  meet.fromServer(), meet.dataFolder(),
                     meet.base(),  meet.season(), meet.meetCode(),  olderLayout};
    std::vector<std::u16string> uses = reportHeatUses(
        meet.swimIndex(), meet.swimTable(), listed, static_cast<int>(listed.size()));
    ReportRun run(source, uses, std::move(progress));
    for (size_t p = 0; p < listed.size(); ++p) {
        const CompetitorRecord competitor = meet.competitor(listed[p]);
        const std::vector<SwimRow> swims = meet.swimsOf(listed[p]);
        const std::vector<std::u16string_view> lines =
            meet.swimIndex().linesOfKey(meet.swimTable(), competitorKey(listed[p]));
        ++summary.competitors;
        if (visits.competitor) visits.competitor(static_cast<int>(p), competitor);
        for (size_t s = 0; s < swims.size(); ++s) {
            const SwimRow& row = swims[s];
            std::shared_ptr<const HeatFile> file = run.heat(row.heat);
            ListedSwim swim;
            swim.place = static_cast<int>(p);
            swim.row = static_cast<int>(s);
            swim.ordinal = listed[p];
            swim.competitor = &competitor;
            swim.swim = &row;
            swim.indexLine = lines[s];
            swim.lapFileRead = file->read;
            const int lane = row.lane + 1;
            int count = file->read ? file->laps.copyLane(lane, swim.splits.times) : 0;
            swim.splits.count =
                placeFinalTime(swim.splits.times, count, file->read && file->laps.endsAtGoal(lane),
                               row.finalTime, row.eventDistance, splitDistance);
            ++summary.swims;
            if (!file->read && !file->missing) ++summary.unread;
            if (visits.swim) visits.swim(swim);
        }
    }
    return summary;
}

}  // namespace quendro
