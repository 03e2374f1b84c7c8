#pragma once

#include <optional>
#include <string>
#include <vector>

#include "laps/pace.h"

namespace quendro {

// Places in one heat at one split: the times of the lanes (empty where a lane
// has no time there) give each lane its place, equal times an equal place and
// the next place skipped (1, 2, 2, 4); a lane without a time has no place.
std::vector<std::optional<int>> placesAt(const std::vector<std::optional<int>>& times);

// Every lane of a heat at every split: places[lane][split]. Lanes with fewer
// splits than the others have no place beyond their last one.
struct HeatPlaces {
    int splits = 0;  // the most splits any lane has
    std::vector<std::vector<std::optional<int>>> places;
    // True where the lane leads at that split (place 1, ties included).
    std::vector<std::vector<bool>> leads;
    // The lane's lap that ends at that split, one split long (lapTime).
    std::vector<std::vector<std::optional<int>>> laps;
};
// The times a lane is placed by: its cumulative times (cumulativeHundredths),
// except that a swim that ended in a result word takes no place at the finish.
std::vector<std::optional<int>> placingTimes(const SwimSplits& swim);

// The lanes of a heat by their final: a time places the lane by it, equal
// times an equal place and the next skipped; a result word (棄権, 泳法 ...) or no
// final yet gives no place. The heat's finish order, with or without a lap file.
std::vector<std::optional<int>> finalPlaces(const std::vector<std::u16string>& finals);

HeatPlaces heatPlaces(const std::vector<std::vector<std::optional<int>>>& cumulativeByLane);

}  // namespace quendro
