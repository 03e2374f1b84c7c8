#pragma once

#include <span>
#include <string>
#include <string_view>

#include "laps/code_tables.h"
#include "laps/lap_grid.h"

namespace quendro {

// The cumulative split texts of one swim as the grid shows them: the lane's
// splits read from the heat's lap file (at most 60), with the official final
// time or result word put in (placeFinalTime). Named apart from the analysis's
// SwimSplits (laps/pace.h): two classes of one name in one program are one
// class to the linker, which then mixes their members.
struct GridSplits {
    SplitTexts times;
    int count = 0;
};

// How many splits the event's whole distance takes at the split distance (a
// relay's distance is the whole relay): the distance over the split distance
// when that divides evenly and comes to at most 60; 0 when it does not, or
// when either is unknown.
int splitsOfDistance(int eventDistance, int splitDistance);

// Where the official final time goes among the splits read from a lane's records.
enum class FinalPlace {
    None,        // no split read, or no final time yet: the splits stay as read
    OverLast,    // over the last split read (a result word, or the splits reach the finish)
    AtDistance,  // at the event's own distance, after a lap file that stopped short of it
};

struct FinalPlacement {
    FinalPlace place = FinalPlace::None;
    int count = 0;            // splits once the final time is in
    bool lastLeaves = false;  // the last split read was the finish ("G") and leaves its place
};

// The place of the final time: over the last split read, except when the lane's
// records stop short of the splits the distance needs and the final is a time
// (not a result word): then it stands at the distance's own split, the splits
// between stay empty, and a last split read that carried "G" (the finish,
// recorded early) leaves its place.
FinalPlacement placeOfFinal(int splitsRead, bool lastIsGoal, std::u16string_view finalTime,
                            int eventDistance, int splitDistance);

// Puts the final time into the split texts as the placement says: times holds
// the splits read first, then empty texts, with room for placement.count.
void putFinalTime(std::span<std::u16string> times, int splitsRead,
                  const FinalPlacement& placement, std::u16string_view finalTime);

// Both at once on the window's split texts; the number of splits after.
int placeFinalTime(SplitTexts& times, int splitsRead, bool lastIsGoal,
                   std::u16string_view finalTime, int eventDistance, int splitDistance);

// The lap between two splits of a swim, as chSa forms it, but empty when the
// split it starts at holds nothing (the lane's records have no time there): a
// lap is never measured from the start of the race in its place.
std::u16string splitLap(std::u16string_view later, std::u16string_view earlier);
LapText splitLapText(std::u16string_view later, std::u16string_view earlier);

// The lane's splits of a lap file text with the final time put in.
GridSplits swimSplitsOf(std::u16string lapFileText, int lane, bool olderLayout,
                        std::u16string_view finalTime, int eventDistance, int splitDistance);

}  // namespace quendro
