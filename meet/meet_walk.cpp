#include "meet/meet_walk.h"

#include <algorithm>
#include <unordered_map>

#include "laps/lap_grid.h"
#include "laps/report_laps.h"
#include "meet/report_run.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

// A listed swim as the walk plans it (its line of the swim index), and the
// splits its heat gave.
struct PlannedSwim {
    std::u16string_view line;
    int place = 0;
    int row = 0;
    int count = 0;
    bool read = false;
    bool unread = false;  // the lap file is there but could not be read
    // The split texts, UTF-8, each ended by a line feed and each with its
    // leading blanks told by one digit ("   30.84" is "330.84"), in one piece
    // of the exact size: the largest meet's hundred thousand swims keep their
    // splits in a few tens of megabytes.
    std::string splits;
};

void keepSplits(PlannedSwim& planned, const GridSplits& splits) {
    planned.count = std::min(splits.count, kMaxSplits);
    std::string texts[kMaxSplits];
    size_t size = 0;
    for (int k = 0; k < planned.count; ++k) {
        std::string text = toUtf8(splits.times[static_cast<size_t>(k)]);
        size_t blanks = std::min<size_t>(text.find_first_not_of(' '), text.size());
        // More than nine blanks stand as they are, behind a "#".
        texts[k] = blanks <= 9 ? char('0' + blanks) + text.substr(blanks) : "#" + text;
        size += texts[k].size() + 1;
    }
    planned.splits.reserve(size);
    for (int k = 0; k < planned.count; ++k) (planned.splits += texts[k]) += '\n';
}

GridSplits splitsOf(const PlannedSwim& planned) {
    GridSplits splits;
    splits.count = planned.count;
    size_t start = 0;
    for (int k = 0; k < planned.count; ++k) {
        size_t end = planned.splits.find('\n', start);
        std::string_view kept = std::string_view(planned.splits).substr(start, end - start);
        std::string text = kept.front() == '#' ? std::string(kept.substr(1))
                                               : std::string(static_cast<size_t>(kept.front() - '0'), ' ') +
                                                     std::string(kept.substr(1));
        splits.times[static_cast<size_t>(k)] = fromUtf8(text);
        start = end + 1;
    }
    return splits;
}

// A heat's lap file: read from the lap folder, or one answer of the batch.
HeatFile heatFileOf(const LapSource& source, BatchDownload* batch, size_t k,
                    const std::u16string& heat) {
    if (!batch) return source.load(heat);
    Download body = batch->body(k);
    if (body.ok()) return source.heatFile(std::move(body.body) + "\r\n");
    return source.notDownloaded(heat, body);
}

}  // namespace

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
    // The plan: every listed swim in page order, and the swims of each heat.
    std::vector<PlannedSwim> plan;
    std::vector<std::u16string> order;  // heats in first-use order
    std::unordered_map<std::u16string, std::vector<size_t>> usesOf;
    for (size_t p = 0; p < listed.size(); ++p) {
        const std::vector<SwimRow> swims = meet.swimsOf(listed[p]);
        const std::vector<std::u16string_view> lines =
            meet.swimIndex().linesOfKey(meet.swimTable(), competitorKey(listed[p]));
        for (size_t s = 0; s < swims.size() && s < lines.size(); ++s) {
            std::vector<size_t>& uses = usesOf[swims[s].heat];
            if (uses.empty()) order.push_back(swims[s].heat);
            uses.push_back(plan.size());
            PlannedSwim planned;
            planned.line = lines[s];
            planned.place = static_cast<int>(p);
            planned.row = static_cast<int>(s);
            plan.push_back(std::move(planned));
        }
    }

    // Each heat's lap file once, in the order the page first needs it; only
    // the listed swims' splits stay.
    LapSource source{meet.files(), meet.inet(),  meet.fromServer(), meet.dataFolder(),
                     meet.base(),  meet.season(), meet.meetCode(),  olderLayout};
    std::unique_ptr<BatchDownload> batch;
    if (source.web) {
        std::vector<std::u16string> urls;
        urls.reserve(order.size());
        for (const auto& heat : order) urls.push_back(source.url(heat));
        batch = meet.inet().openUrls(std::move(urls), std::move(progress));
    }
    ListingMemory listings(meet.files());
    int mostSplits = 0;
    WalkSummary summary;
    for (size_t k = 0; k < order.size(); ++k) {
        HeatFile file = heatFileOf(source, batch.get(), k, order[k]);
        if (file.cancelled) {
            // Stopped by the user: nothing is visited, so that nothing of a
            // part of the meet goes out as if it were the whole.
            summary.cancelled = true;
            return summary;
        }
        for (size_t use : usesOf[order[k]]) {
            PlannedSwim& planned = plan[use];
            const SwimRow swim = swimRowOf(planned.line);
            GridSplits splits;
            const int lane = swim.lane + 1;
            int count = file.read ? file.laps.copyLane(lane, splits.times) : 0;
            splits.count = placeFinalTime(splits.times, count, file.read && file.laps.endsAtGoal(lane),
                                          swim.finalTime, swim.eventDistance, splitDistance);
            keepSplits(planned, splits);
            planned.read = file.read;
            planned.unread = !file.read && !file.missing;
            mostSplits = std::max(mostSplits, splits.count);
        }
    }
    batch.reset();
    if (visits.read) visits.read(mostSplits);

    // The page's order.
    size_t next = 0;
    for (size_t p = 0; p < listed.size(); ++p) {
        const CompetitorRecord competitor = meet.competitor(listed[p]);
        ++summary.competitors;
        if (visits.competitor) visits.competitor(static_cast<int>(p), competitor);
        for (; next < plan.size() && plan[next].place == static_cast<int>(p); ++next) {
            const PlannedSwim& planned = plan[next];
            const SwimRow row = swimRowOf(planned.line);
            ListedSwim swim;
            swim.place = planned.place;
            swim.row = planned.row;
            swim.ordinal = listed[p];
            swim.competitor = &competitor;
            swim.swim = &row;
            swim.indexLine = planned.line;
            swim.splits = splitsOf(planned);
            swim.lapFileRead = planned.read;
            ++summary.swims;
            if (planned.unread) ++summary.unread;
            if (visits.swim) visits.swim(swim);
        }
    }
    return summary;
}

}  // namespace quendro
