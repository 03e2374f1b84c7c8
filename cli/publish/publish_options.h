#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quendro {

// What quendro-publish was asked to do.
struct PublishOptions {
    std::u16string meetFolder;  // the timing system's data folder
    std::string baseUrl;        // "http://host/swim/", without user and password
    std::u16string season;      // four digits
    std::optional<std::u16string> resultsFile;
    // The web viewer's folder, sent once a run to the site's root (empty: none);
    // viewerChosen when the user named it, so that its absence is an error.
    std::filesystem::path viewerFolder;
    bool viewerChosen = false;
};

}  // namespace quendro
