#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quendro {

// The web viewer's files (index.html, style.css, js/...) as the publisher puts
// them at the root of the site: a small folder of plain names.
inline constexpr std::size_t kViewerMaxFiles = 300;
inline constexpr std::uintmax_t kViewerMaxBytes = 4 * 1024 * 1024;

// A file's path inside the viewer's folder, which becomes its address on the
// server: folders and a name of ASCII letters, digits, "-", "_" and ".", split
// by "/", none empty, none starting with "." (no "..", no hidden names).
bool isViewerFileName(std::string_view name);

// The site's root for a base address of the season folders: the address without
// its last folder ("http://host:8808/swim/" -> "http://host:8808/"); a base with
// no folder is the root itself.
std::string siteRootOf(std::string_view baseUrl);

struct ViewerFile {
    std::string name;  // "js/main.js"
    std::filesystem::path host;
};

// A file of the folder that is not sent, and why.
enum class ViewerSkip {
    Link,        // a symbolic link, wherever it leads
    NotRegular,  // a pipe, a device, a socket
    BadName,     // a name that is no viewer file name (a folder so named is not entered)
};
struct ViewerSkipped {
    std::string name;  // as found, for a message
    ViewerSkip why;
};

enum class ViewerListing {
    Listed,
    Missing,   // no such folder
    TooMany,   // more than kViewerMaxFiles files
    TooLarge,  // more than kViewerMaxBytes in all
};

struct ViewerFiles {
    ViewerListing outcome = ViewerListing::Missing;
    std::vector<ViewerFile> files;  // by name, index.html of the root last
    std::vector<ViewerSkipped> skipped;
    std::uintmax_t bytes = 0;
};

// The regular files below the folder with viewer file names; links are never
// followed. Past either limit, nothing is listed.
ViewerFiles listViewerFiles(const std::filesystem::path& folder);

}  // namespace quendro
