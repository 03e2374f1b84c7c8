#include "reports/web_data.h"

#include <algorithm>

#include "laps/code_tables.h"
#include "laps/heat_places.h"
#include "laps/lap_grid.h"
#include "laps/swim_selection.h"
#include "laps/swim_splits.h"
#include "store/meet_import.h"
#include "store/name_match.h"

namespace quendro {
namespace {

// The cells without the empty ones at the end; each trimmed.
std::vector<std::u16string> trimmedCells(const SplitTexts& cells) {
    std::vector<std::u16string> out;
    for (const auto& cell : cells) out.push_back(trimmed(cell));
    while (!out.empty() && out.back().empty()) out.pop_back();
    return out;
}

}  // namespace

std::int16_t WebMeet::splitDistance() const {
    return splitDistanceFor(poolIndex, touchpadIndex).value_or(25);
}

void readWebMeet(WebMeet& meet, const HeatTable& heats, const CompetitorTable& competitors) {
    meet.heatCount = heats.heatCount();
    meet.swimTable = buildSwimIndex(heats);
    meet.swims.clear();
    meet.heatSwims.clear();
    meet.swims.reserve(meet.swimTable.size());
    for (size_t i = 1; i < meet.swimTable.size(); ++i) {
        meet.swims.push_back(meetSwimOf(meet.swimTable[i]));
        meet.heatSwims[meet.swims.back().heat].push_back(i - 1);
    }
    meet.swimIndex.build(meet.swimTable, static_cast<int>(meet.swimTable.size()) - 1);
    meet.competitors.clear();
    meet.competitors.reserve(static_cast<size_t>(competitors.competitorCount()));
    for (std::int32_t k = 1; k <= competitors.competitorCount(); ++k)
        meet.competitors.push_back(competitors.competitor(k));
}

WebCompetitor webCompetitorOf(const WebMeet& meet, int ordinal) {
    WebCompetitor c;
    c.ordinal = ordinal;
    if (ordinal < 1 || ordinal > static_cast<int>(meet.competitors.size())) return c;
    const CompetitorRecord& r = meet.competitors[static_cast<size_t>(ordinal - 1)];
    c.number = trimmed(r.numberText);
    c.name = trimmed(r.competitorName);
    c.team = trimmed(r.reportText);
    c.grade = chGaku(r.gradeCode);
    c.key = nameKey(r.competitorName);
    return c;
}

std::vector<WebSwim> webSwimsOf(const WebMeet& meet, int ordinal) {
    std::vector<WebSwim> swims;
    for (const SwimRow& row :
         meet.swimIndex.swimsOf(meet.swimTable, competitorKey(static_cast<std::int16_t>(ordinal)))) {
        // The event and stage of the row's own line: the row is its text.
        MeetSwim swim;
        if (auto inHeat = meet.heatSwims.find(row.heat); inHeat != meet.heatSwims.end()) {
            for (size_t i : inHeat->second) {
                if (meet.swims[i].lane == row.lane) swim = meet.swims[i];
            }
        }
        swims.push_back({row.text, eventFullName(swim.eventCode), chMt(swim.stageCode),
                         trimmed(row.finalTime), row.heat, row.lane + 1});
    }
    return swims;
}

std::vector<std::u16string> webHeatNumbers(const WebMeet& meet) {
    std::vector<std::u16string> heats;
    for (const auto& [heat, positions] : meet.heatSwims) heats.push_back(heat);
    return heats;
}

WebHeat webHeatOf(const WebMeet& meet, std::u16string_view heat, const HeatLaps& laps) {
    WebHeat result;
    result.heat = heat;
    std::vector<const MeetSwim*> swims;
    auto inHeat = meet.heatSwims.find(std::u16string(heat));
    if (inHeat != meet.heatSwims.end()) {
        for (size_t i : inHeat->second) swims.push_back(&meet.swims[i]);
    }
    std::stable_sort(swims.begin(), swims.end(),
                     [](const MeetSwim* a, const MeetSwim* b) { return a->lane < b->lane; });
    if (!swims.empty()) {
        result.event = eventFullName(swims.front()->eventCode);
        result.stage = chMt(swims.front()->stageCode);
    }
    const std::int16_t splitDistance = meet.splitDistance();
    const std::array<bool, 5> enabled = lapOptionsEnabled(splitDistance);
    std::vector<std::vector<std::optional<int>>> times;
    for (const MeetSwim* s : swims) {
        WebLane lane;
        lane.competitor = webCompetitorOf(meet, s->ordinal);
        lane.lane = s->lane + 1;
        const std::u16string finalTime = s->finalTime();
        lane.final = trimmed(finalTime);
        // The grid's cells, as choosing the swim in the window fills them.
        SplitTexts cells;
        int count = laps.copyLane(lane.lane, cells);
        lane.splitCount = placeFinalTime(cells, count, laps.endsAtGoal(lane.lane), finalTime,
                                         s->eventDistance(), splitDistance);
        lane.cumulative = trimmedCells(cells);
        for (size_t option = 1; option < 5; ++option) {
            if (!enabled[option])
                continue;
            lane.laps[option] =
                trimmedCells(lapCells(static_cast<std::int16_t>(option), splitDistance, cells));
        }
        // The places as the heat's window ranks them.
        SwimSplits splits;
        LaneSplits read = laps.lane(lane.lane);
        result.splits = result.splits || !read.splits.empty();
        result.finals = result.finals || !lane.final.empty();
        splits.recorded = std::move(read.splits);
        splits.goal = read.goal;
        splits.finalTime = finalTime;
        splits.splitDistance = splitDistance;
        splits.eventDistance = s->eventDistance();
        times.push_back(placingTimes(splits));
        result.lanes.push_back(std::move(lane));
    }
    HeatPlaces places = heatPlaces(times);
    std::vector<std::u16string> finals;
    for (const WebLane& lane : result.lanes) finals.push_back(lane.final);
    const std::vector<std::optional<int>> byFinal = finalPlaces(finals);
    for (size_t l = 0; l < result.lanes.size(); ++l) {
        result.lanes[l].places = places.places[l];
        result.lanes[l].place = byFinal[l];
    }
    for (int k = 0; k < places.splits; ++k) {
        std::optional<int> leader;
        for (size_t l = 0; l < result.lanes.size() && !leader; ++l) {
            if (places.leads[l][static_cast<size_t>(k)]) leader = result.lanes[l].lane;
        }
        result.leaders.push_back(leader);
    }
    return result;
}

}  // namespace quendro
