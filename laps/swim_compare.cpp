#include "laps/swim_compare.h"

#include <algorithm>

#include "laps/lap_times.h"

namespace quendro {
namespace {

std::optional<int> minus(const std::optional<int>& a, const std::optional<int>& b) {
    if (!a || !b) return std::nullopt;
    return *a - *b;
}

}  // namespace

bool sameDistance(const SwimSplits& swim, const SwimSplits& other) {
    return swim.eventDistance > 0 && swim.eventDistance == other.eventDistance &&
           swim.splitDistance == other.splitDistance;
}

SwimComparison compareSwims(const SwimSplits& swim, const SwimSplits& other, int lapIndex) {
    SwimComparison result;
    auto mine = cumulativeHundredths(swim);
    auto theirs = cumulativeHundredths(other);
    // The swim's splits with its final time placed, as its own figures count them.
    const int own = static_cast<int>(mine.size());
    const size_t n = std::max(mine.size(), theirs.size());
    mine.resize(n);
    theirs.resize(n);
    for (size_t k = 0; k < n; ++k) result.atSplit.push_back(minus(mine[k], theirs[k]));

    // The laps at one step for both, the step that suits this swim.
    const auto step = static_cast<size_t>(splitsPerLap(lapIndex, swim.splitDistance, own));
    const auto myLaps = lapTimes(mine, step);
    result.otherLaps = lapTimes(theirs, step);
    for (size_t i = 0; i < myLaps.size(); ++i)
        result.atLap.push_back(minus(myLaps[i], result.otherLaps[i]));
    return result;
}

}  // namespace quendro
