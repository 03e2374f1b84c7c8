#include "laps/lap_marks.h"

#include "laps/lap_times.h"

namespace quendro {

LapMarks lapMarks(std::span<const std::optional<int>> laps) {
    LapMarks marks;
    long long sum = 0;
    int count = 0;
    for (size_t i = 1; i < laps.size(); ++i) {
        const std::optional<int>& t = laps[i];
        if (!t) continue;
        sum += *t;
        ++count;
        if (!marks.fastest || *t < *laps[*marks.fastest]) marks.fastest = i;
        if (!marks.slowest || *t > *laps[*marks.slowest]) marks.slowest = i;
    }
    if (count < 2) {
        marks.marking = LapMarking::TooFewLaps;
    } else if (*laps[*marks.fastest] == *laps[*marks.slowest]) {
        marks.marking = LapMarking::AllEqual;
    } else {
        marks.marking = LapMarking::Marked;
    }
    if (marks.marking != LapMarking::Marked) {
        marks.fastest.reset();
        marks.slowest.reset();
    }
    if (!laps.empty() && laps.front()) {
        StartLap start;
        start.time = *laps.front();
        if (count > 0) {
            start.laterMean = roundedMean(sum, count);
            start.allowance = start.time - *start.laterMean;
        }
        marks.start = start;
    }
    return marks;
}

}  // namespace quendro
