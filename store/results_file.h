#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "store/meet_header.h"
#include "store/site_control.h"

namespace quendro {

// Where a local meet's competitors are: the timing system's results file.
// The window, the export and the publisher all find it by this one rule:
// - a file given by the user (the programs' --results) is the file;
// - else the file the meet header names, in the header's results folder by
//   its last name inside the data folder ("D:\meet\kekka\" for a data folder
//   "Q:\copy\" gives "Q:\copy\kekka\"): the timing system's own layout, and
//   a copy of the meet folder made elsewhere reads its own results, never
//   those of the meet it was copied from;
// - else in the header's results folder with the drive letter of the data
//   folder ("Q:\meet\kekka\"), where the timing system keeps results beside
//   the data folder; a header that names none leaves the site control file's
//   folder and name;
// - else the data folder itself.
struct ResultsFileChoice {
    std::u16string path;               // the file to read; the first tried when none is there
    bool found = false;                // a file is there under that path
    std::vector<std::u16string> tried; // every path looked at, in order
};

ResultsFileChoice locateResultsFile(FileSystem& files, std::u16string_view dataFolder,
                                    const MeetHeader& header, const SiteControl& site,
                                    const std::optional<std::u16string>& given);

// The site control file of the folder the program runs in; empty fields when
// it cannot be read.
SiteControl readSiteControl(FileSystem& files);

}  // namespace quendro
