#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace quendro {

// Which laps of a swim are marked fastest and slowest, at any lap interval.
// The first lap holds the start's dive, which the halves' verdict leaves out as
// well (paceVerdict, laps/pace.h): it is never marked, and stands apart with
// what the start gave it against the laps after it. Only laps with a time
// count; of equal laps the earlier is marked. When fewer than two laps after
// the first have a time, or all of them are equal, no lap is marked.
enum class LapMarking {
    Marked,      // a fastest and a slowest lap among the laps after the first
    TooFewLaps,  // fewer than two laps after the first have a time
    AllEqual,    // the laps after the first all have one time
};

// The first lap, set apart.
struct StartLap {
    int time = 0;                  // the lap, dive included
    std::optional<int> laterMean;  // mean of the laps after it that have a time, rounded
    std::optional<int> allowance;  // time minus laterMean: what the start gave the lap
};

struct LapMarks {
    LapMarking marking = LapMarking::TooFewLaps;
    std::optional<size_t> fastest;  // index into the laps
    std::optional<size_t> slowest;
    std::optional<StartLap> start;  // empty when the first lap has no time
};

// laps: every lap of the swim in turn, in hundredths (lapTimes, laps/lap_times.h).
LapMarks lapMarks(std::span<const std::optional<int>> laps);

}  // namespace quendro
