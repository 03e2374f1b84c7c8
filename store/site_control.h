#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendro {

// The site control file "..\ctl\dr_kyo.ctl", relative to the current folder,
// tells where the timing system keeps the meet's data. Of its fields only the
// first five are read: 2 the data folder, 4 the folder and 5 the name of the
// results file; 1 and 3 are read and ignored.
inline constexpr std::u16string_view kSiteControlPath = u"..\\ctl\\dr_kyo.ctl";

// The fields that the file holds; a field the file ends before is empty.
struct SiteControl {
    std::optional<std::u16string> dataDir;    // with its closing "\"
    std::optional<std::u16string> resultDir;  // with its closing "\"
    std::optional<std::u16string> resultFile;
};

SiteControl parseSiteControl(std::u16string text);

// The folder with a "\" appended when its last character is not one; "" gives "\".
std::u16string withClosingBackslash(std::u16string folder);

}  // namespace quendro
