#pragma once

#include <string>
#include <string_view>

#include "app/main_window.h"
#include "laps/meet_swim.h"

namespace quendro {

// The lap chart saved as a picture: the title drawn above it, the file name
// made from that title, and the folder the save starts in.

// Who swam what where: "山田太郎　200m個人メドレー 決勝　県選手権" (the event by
// its full name; a part that is empty is left out with its gap).
std::u16string chartTitle(std::u16string_view competitor, const MeetSwim& swim,
                          std::u16string_view meet);

// The title as a file name ending in ".png": every character that the rule of
// the page's name refuses, every blank, every control character and those a
// file name on the timing PC cannot hold (* ? " < > |) become "_", and so does
// the second dot of "..". An empty title gives "lap.png".
std::u16string chartFileName(std::u16string_view title);

// The folder the save starts in, as the program names it: the chosen folder in
// local mode, the working folder in internet mode (or when no folder is chosen).
std::u16string chartFolder(const MainWindow& window);

}  // namespace quendro
