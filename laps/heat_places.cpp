#include "laps/heat_places.h"

#include <algorithm>

#include "laps/code_tables.h"
#include "laps/lap_times.h"

namespace quendro {

std::vector<std::optional<int>> placesAt(const std::vector<std::optional<int>>& times) {
    std::vector<std::optional<int>> places(times.size());
    for (size_t i = 0; i < times.size(); ++i) {
        if (!times[i]) continue;
        int ahead = 0;
        for (const auto& other : times) {
            if (other && *other < *times[i]) ++ahead;
        }
        places[i] = ahead + 1;
    }
    return places;
}

std::vector<std::optional<int>> placingTimes(const SwimSplits& swim) {
    std::vector<std::optional<int>> times = cumulativeHundredths(swim);
    if (isResultText(swim.finalTime) && !times.empty()) times.back().reset();
    return times;
}

std::vector<std::optional<int>> finalPlaces(const std::vector<std::u16string>& finals) {
    std::vector<std::optional<int>> times;
    times.reserve(finals.size());
    for (const auto& final : finals) times.push_back(hundredthsOf(final));
    return placesAt(times);
}

HeatPlaces heatPlaces(const std::vector<std::vector<std::optional<int>>>& cumulativeByLane) {
    HeatPlaces result;
    for (const auto& lane : cumulativeByLane) {
        result.splits = std::max(result.splits, static_cast<int>(lane.size()));
    }
    const size_t lanes = cumulativeByLane.size();
    const size_t splits = static_cast<size_t>(result.splits);
    result.places.assign(lanes, std::vector<std::optional<int>>(splits));
    result.leads.assign(lanes, std::vector<bool>(splits, false));
    result.laps.assign(lanes, std::vector<std::optional<int>>(splits));
    for (size_t l = 0; l < lanes; ++l) {
        for (size_t k = 0; k < splits; ++k) result.laps[l][k] = lapTime(cumulativeByLane[l], k, 1);
    }
    for (size_t k = 0; k < splits; ++k) {
        std::vector<std::optional<int>> times(lanes);
        for (size_t l = 0; l < lanes; ++l) {
            if (k < cumulativeByLane[l].size()) times[l] = cumulativeByLane[l][k];
        }
        auto places = placesAt(times);
        for (size_t l = 0; l < lanes; ++l) {
            result.places[l][k] = places[l];
            result.leads[l][k] = places[l] == 1;
        }
    }
    return result;
}

}  // namespace quendro
