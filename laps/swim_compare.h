#pragma once

#include <optional>
#include <vector>

#include "laps/pace.h"

namespace quendro {

// Two swims of the same distance side by side: at every split how far the one
// is ahead of or behind the other, and the same for every lap of the interval.
struct SwimComparison {
    // This swim's cumulative time minus the other's at each split: above zero
    // this swim is behind (+0.32), below zero ahead (−0.15). Empty where either
    // swim has no time.
    std::vector<std::optional<int>> atSplit;
    // The other swim's laps at the interval, lap by lap, as the analysis
    // shows them beside this swim's.
    std::vector<std::optional<int>> otherLaps;
    // This swim's lap minus the other's, lap by lap at the interval.
    std::vector<std::optional<int>> atLap;
};

// The laps of both swims are taken at the same number of splits per lap.
SwimComparison compareSwims(const SwimSplits& swim, const SwimSplits& other, int lapIndex);

// Swims compare when their events cover the same distance at the same split
// distance.
bool sameDistance(const SwimSplits& swim, const SwimSplits& other);

}  // namespace quendro
