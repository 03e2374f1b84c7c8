#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "laps/swim_splits.h"
#include "meet/meet_session.h"
#include "platform/internet_transfer.h"

namespace quendro {

// The metres between two recorded splits of the meet, from its header's pool
// length and touchpads, as a confirm sets them (25 m and both ends when the
// header says nothing).
std::int16_t meetSplitDistance(const MeetHeader& header);

// One swim of a listed competitor, as the page and the printed list show it.
struct ListedSwim {
    int place = 0;  // the competitor's place in the list, from 0
    int row = 0;    // the swim's row among the competitor's swims, from 0
    std::int16_t ordinal = 0;
    const CompetitorRecord* competitor = nullptr;
    const SwimRow* swim = nullptr;
    std::u16string_view indexLine;  // the swim's line of the swim index
    GridSplits splits;
    bool lapFileRead = false;
};

struct WalkSummary {
    int competitors = 0;
    int swims = 0;
    // Swims whose lap file is there but could not be read (a server away, a
    // file too large, not a regular file): no splits. A lap file that does not
    // exist yet is no failure: its swims have no splits to give.
    int unread = 0;
    // The user stopped a download of the walk: nothing was visited.
    bool cancelled = false;
};

// Walks the listed competitors' swims in the page's order: each competitor in
// list order, each of the competitor's swims. Each heat's lap file is read or
// downloaded once (several at once from a server), in the order the page
// first needs it; only the splits of the listed swims are kept from it, as
// text, so that a whole meet's walk holds its splits and never its lap files.
// Each competitor is visited before the competitor's swims, also one without
// any; before the first, once every lap file has been read, the most splits
// that any listed swim has.
struct WalkVisits {
    std::function<void(int mostSplits)> read;
    std::function<void(int place, const CompetitorRecord& competitor)> competitor;
    std::function<void(const ListedSwim& swim)> swim;
};
WalkSummary walkListedSwims(const MeetSession& meet, const std::vector<std::int16_t>& listed,
                            bool olderLayout, std::int16_t splitDistance, const WalkVisits& visits,
                            DownloadProgress progress = {});

}  // namespace quendro
