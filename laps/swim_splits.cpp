#include "laps/swim_splits.h"

#include <algorithm>

#include "laps/lap_file.h"
#include "laps/swim_selection.h"

namespace quendro {

int splitsOfDistance(int eventDistance, int splitDistance) {
    if (eventDistance <= 0 || splitDistance <= 0 || eventDistance % splitDistance != 0) return 0;
    const int n = eventDistance / splitDistance;
    return n <= kMaxSplits ? n : 0;
}

FinalPlacement placeOfFinal(int splitsRead, bool lastIsGoal, std::u16string_view finalTime,
                            int eventDistance, int splitDistance) {
    FinalPlacement placement;
    placement.count = splitsRead;
    // A heat swum after the import has no final time yet: its measured finish stays.
    if (splitsRead <= 0 || !hasFinalTime(finalTime)) return placement;
    const int n = splitsOfDistance(eventDistance, splitDistance);
    if (splitsRead < n && !isResultText(finalTime)) {
        placement.place = FinalPlace::AtDistance;
        placement.count = n;
        placement.lastLeaves = lastIsGoal;
    } else {
        placement.place = FinalPlace::OverLast;
    }
    return placement;
}

void putFinalTime(std::span<std::u16string> times, int splitsRead,
                  const FinalPlacement& placement, std::u16string_view finalTime) {
    if (placement.place == FinalPlace::None || placement.count <= 0 ||
        static_cast<size_t>(placement.count) > times.size())
        return;
    if (placement.lastLeaves && splitsRead > 0) times[static_cast<size_t>(splitsRead - 1)].clear();
    times[static_cast<size_t>(placement.count - 1)] = finalTime;
}

int placeFinalTime(SplitTexts& times, int splitsRead, bool lastIsGoal,
                   std::u16string_view finalTime, int eventDistance, int splitDistance) {
    FinalPlacement placement =
        placeOfFinal(splitsRead, lastIsGoal, finalTime, eventDistance, splitDistance);
    putFinalTime(times, splitsRead, placement, finalTime);
    return placement.count;
}

LapText splitLapText(std::u16string_view later, std::u16string_view earlier) {
    if (earlier.empty()) return {};
    return lapBetween(later, earlier);
}

std::u16string splitLap(std::u16string_view later, std::u16string_view earlier) {
    return std::u16string(splitLapText(later, earlier).view());
}

GridSplits swimSplitsOf(std::u16string lapFileText, int lane, bool olderLayout,
                        std::u16string_view finalTime, int eventDistance, int splitDistance) {
    GridSplits swim;
    if (lapFileText.empty()) return swim;
    LaneSplits read = readLaneSplits(std::move(lapFileText), lane, olderLayout);
    for (size_t i = 0; i < read.splits.size() && i < swim.times.size(); ++i)
        swim.times[i] = read.splits[i];
    const int count = static_cast<int>(std::min(read.splits.size(), swim.times.size()));
    swim.count =
        placeFinalTime(swim.times, count, read.goal, finalTime, eventDistance, splitDistance);
    return swim;
}

}  // namespace quendro
