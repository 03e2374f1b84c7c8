#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "laps/lap_marks.h"

namespace quendro {

// Pace figures of one swim: its laps at a chosen interval, how each lap stands
// against the mean lap, the two halves of the race, the first lap set apart
// with the fastest and slowest of the laps after it, and checks on the recorded splits. Times are whole hundredths of a second.

// A time text in hundredths: "   31.25" is 3125, " 1:05.32" is 6532. Empty for
// an empty text, a result word, a zero time or anything else that is no time.
std::optional<int> hundredthsOf(std::u16string_view timeText);

// Hundredths as a time without padding: "31.25", "1:05.32", "9.99".
std::u16string secondsText(int hundredths);

// A signed difference in seconds: "+0.32", "−0.15" (U+2212, as printed in a
// results sheet), "0.00" for none. With asciiMinus the minus is "-", which a
// spreadsheet reads as a number.
std::u16string differenceText(int hundredths, bool asciiMinus = false);

// The metres of an event code: 100 for " 100m自由形", 0 outside the event table.
int eventDistanceOf(std::int16_t eventCode);

// One swim as the lap file and the heat table give it.
struct SwimSplits {
    // The lane's cumulative times as the lap file has them, in the order swum.
    std::vector<std::u16string> recorded;
    // The official final time as a time text, or the result word ("棄権").
    std::u16string finalTime;
    int splitDistance = 0;  // metres between two recorded splits
    int eventDistance = 0;  // metres of the event; 0 when unknown
    bool goal = false;      // the last recorded split carried the lap file's "G"
};

// The cumulative time at every split, in hundredths; the last one is the
// official final time when that is a time and the splits reach the event's
// distance (the splits of a swim with a result word stay as timed). When the
// lane's records stop short of the distance the final time stands at the
// distance's own split, as the lap grid places it (placeOfFinal), and the
// splits between are empty. A split that holds no time is empty.
std::vector<std::optional<int>> cumulativeHundredths(const SwimSplits& swim);

// Splits of the split distance that make one lap of the lap option: option 0
// (cumulative) and an interval shorter than the split distance give 1, 25, 50,
// 100 and 200 m give their share of the split distance. The interval narrows
// (halving) until it divides the recorded splits, so the laps add up to the swim.
int splitsPerLap(int lapIndex, int splitDistance, int splitCount);

struct Lap {
    int endDistance = 0;            // metres at the end of the lap
    std::optional<int> cumulative;  // time at the end of the lap
    std::optional<int> time;        // the lap itself
    std::optional<int> fromMean;    // lap minus the mean lap
};

// How the pace of the two halves is judged. The first lap holds the start's
// dive, so the halves are judged like with like: the mean lap of the second
// half against the mean lap of the first half's laps after the first. A mean
// lap at least kEvenPacePercent per cent slower is a fade, at least that much
// faster a negative split, anything between even pace; a swim whose first
// half is its first lap alone (50 m, or 100 m in two laps) is not judged.
enum class PaceVerdict { None, NegativeSplit, Even, Fade };
inline constexpr int kEvenPacePercent = 1;

// The verdict for firstTime over firstLaps laps (the first lap left out) and
// secondTime over secondLaps laps; None when either has no lap or no time.
PaceVerdict paceVerdict(int firstTime, int firstLaps, int secondTime, int secondLaps);

struct Halves {
    int first = 0;       // time of the first half
    int second = 0;      // time of the second half
    int difference = 0;  // second minus first, start included
    double percent = 0;  // the difference as a share of the first half
    // The mean laps that the verdict compares, rounded: the first half's laps
    // after the first, and the second half's; empty when not judged.
    std::optional<int> firstPace;
    std::optional<int> secondPace;
    PaceVerdict verdict = PaceVerdict::None;
};

enum class CheckKind {
    NotLater,     // a split not later than the one before
    Missing,      // a split that holds no time
    SplitCount,   // fewer or more splits than the event's distance needs
    LastDiffers,  // the last recorded split is not the official final time
    ResultWord,   // the swim ends in a result word, not a time
};

struct Check {
    CheckKind kind;
    int split = 0;        // 1-based split the check is about; 0 for the whole swim
    std::u16string text;  // what the check says, in the words of the pool deck
};

struct PaceFigures {
    int step = 1;         // splits per lap
    int lapDistance = 0;  // metres per lap
    std::vector<Lap> laps;
    std::optional<int> mean;  // mean of the laps that have a time, rounded
    LapMarks marks;           // the first lap apart; the fastest and slowest after it
    std::optional<Halves> halves;
    std::vector<Check> checks;
};

PaceFigures paceFigures(const SwimSplits& swim, int lapIndex);

// The checks alone, on the recorded splits against the final time.
std::vector<Check> splitChecks(const SwimSplits& swim);

}  // namespace quendro
