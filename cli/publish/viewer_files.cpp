#include "cli/publish/viewer_files.h"

#include <algorithm>

namespace quendro {
namespace {

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_' || c == '.';
}

bool isPart(std::string_view part) {
    if (part.empty() || part.front() == '.') return false;
    return std::all_of(part.begin(), part.end(), isNameChar);
}

}  // namespace

bool isViewerFileName(std::string_view name) {
    if (name.empty()) return false;
    for (;;) {
        std::size_t slash = name.find('/');
        if (!isPart(name.substr(0, slash))) return false;
        if (slash == std::string_view::npos) return true;
        name.remove_prefix(slash + 1);
    }
}

std::string siteRootOf(std::string_view baseUrl) {
    std::size_t scheme = baseUrl.find("://");
    std::size_t pathStart = baseUrl.find('/', scheme == std::string_view::npos ? 0 : scheme + 3);
    if (pathStart == std::string_view::npos) return std::string(baseUrl) + "/";
    std::string_view path = baseUrl.substr(pathStart);
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    std::size_t last = path.rfind('/');
    return std::string(baseUrl.substr(0, pathStart)) + std::string(path.substr(0, last + 1));
}

ViewerFiles listViewerFiles(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    ViewerFiles found;
    std::error_code ec;
    if (!fs::is_directory(fs::status(folder, ec))) return found;
    found.outcome = ViewerListing::Listed;
    fs::recursive_directory_iterator it(folder, fs::directory_options::none, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::string name = entry.path().lexically_relative(folder).generic_string();
        std::error_code statError;
        fs::file_status status = entry.symlink_status(statError);
        if (!isViewerFileName(name)) {
            if (fs::is_directory(status)) it.disable_recursion_pending();
            found.skipped.push_back({name, ViewerSkip::BadName});
            continue;
        }
        if (fs::is_symlink(status)) {
            found.skipped.push_back({name, ViewerSkip::Link});
            continue;
        }
        if (fs::is_directory(status)) continue;
        if (!fs::is_regular_file(status)) {
            found.skipped.push_back({name, ViewerSkip::NotRegular});
            continue;
        }
        found.bytes += entry.file_size(statError);
        found.files.push_back({name, entry.path()});
        if (found.files.size() > kViewerMaxFiles) break;
    }
    if (found.files.size() > kViewerMaxFiles || found.bytes > kViewerMaxBytes) {
        found.outcome = found.files.size() > kViewerMaxFiles ? ViewerListing::TooMany
                                                             : ViewerListing::TooLarge;
        found.files.clear();
        return found;
    }
    // The page last, so that it never names a script the server lacks yet.
    std::sort(found.files.begin(), found.files.end(), [](const auto& a, const auto& b) {
        bool aPage = a.name == "index.html", bPage = b.name == "index.html";
        return aPage != bPage ? bPage : a.name < b.name;
    });
    return found;
}

}  // namespace quendro
