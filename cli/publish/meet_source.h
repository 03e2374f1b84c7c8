#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/meet_header.h"
#include "store/site_control.h"
#include "platform/files.h"

namespace quendro {

// Where a meet's files lie in the timing system's data folder.
struct MeetSource {
    std::u16string folder;       // the data folder, ends with "\"
    std::u16string headerPath;   // kijun.dat
    std::u16string heatsPath;    // taikai.dat
    std::u16string resultsPath;  // the results file
    std::u16string lapFolder;    // lap\ .
    MeetHeader header;
};

// Reads the meet header and settles the paths. The results file is the one
// given, or the one the window reads (store/results_file.h). Empty with a message in
// error when the folder holds no meet header or no heat table, or no results
// file is found.
std::optional<MeetSource> findMeetSource(FileSystem& files, std::u16string_view dataFolder,
                                         std::optional<std::u16string> resultsFile,
                                         std::u16string& error);

// The name of a lap file in the data folder ("r0012", any case) as the heat
// number; empty for any other name.
std::optional<std::u16string> heatOfLapFile(std::u16string_view name);

}  // namespace quendro
