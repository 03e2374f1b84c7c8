#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "laps/meet_swim.h"
#include "laps/pace.h"
#include "store/record_files.h"

namespace quendro {

// What the analysis of a swim reads beside the window's own procedures: any
// swim of the meet, whole heats, and the competitors' records, from the meet
// the window has imported. Nothing here changes the window's state.

// Every swim of the imported meet, in the order of the swim index.
std::vector<MeetSwim> meetSwims(const MainWindow& window);

// The swim chosen in the window: the selected row of lstShumoku, of the
// competitor selected in lstNamae. Empty when no swim is chosen.
std::optional<MeetSwim> chosenSwim(const MainWindow& window);

// The lap file of a heat as text, from the meet folder or the server; empty
// when it cannot be read.
std::optional<std::u16string> heatLapText(MainWindow& window, FileSystem& files,
                                          std::u16string_view heat);

// The swim's splits taken from its heat's lap file text.
SwimSplits swimSplitsFrom(const MainWindow& window, const MeetSwim& swim,
                          const std::u16string& lapText);

// One swim read from its heat's lap file; empty when the file cannot be read.
std::optional<SwimSplits> readSwim(MainWindow& window, FileSystem& files, const MeetSwim& swim);

// Competitor records of the imported meet.
class MeetCompetitors {
  public:
    MeetCompetitors(const MainWindow& window, FileSystem& files);
    CompetitorRecord competitor(std::int16_t ordinal) const;

  private:
    CompetitorTable table_;
};

}  // namespace quendro
