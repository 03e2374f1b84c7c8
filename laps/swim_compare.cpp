#include "laps/swim_compare.h"

#include <algorithm>

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
    const int step =
        splitsPerLap(lapIndex, swim.splitDistance, own);
    auto lapOf = [step](const std::vector<std::optional<int>>& times, size_t k) {
        std::optional<int> start = k < static_cast<size_t>(step)
                                       ? std::optional<int>(0)
                                       : times[k - static_cast<size_t>(step)];
        auto lap = minus(times[k], start);
        if (lap && *lap <= 0) lap.reset();
        return lap;
    };
    for (size_t k = static_cast<size_t>(step) - 1; k < n; k += static_cast<size_t>(step)) {
        result.atLap.push_back(minus(lapOf(mine, k), lapOf(theirs, k)));
    }
    return result;
}

}  // namespace quendro
