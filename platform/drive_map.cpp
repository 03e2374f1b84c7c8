#include "platform/drive_map.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "platform/text_rules.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

std::string lowerAsciiText(std::string s) {
    for (char& c : s) c = lowerAscii(c);
    return s;
}

}  // namespace

DriveMap::DriveMap(fs::path drivesFolder, fs::path currentFolder)
    : drives_(std::move(drivesFolder)), current_(std::move(currentFolder)) {
    std::error_code ec;
    bool firstUse = !fs::exists(drives_, ec);
    // Drive c holds the working folder and is always there.
    fs::create_directories(drives_ / "c", ec);
    if (firstUse) fs::create_directory_symlink("/", drives_ / "z", ec);
}

// The entry of the folder named like name, ignoring ASCII case; the exact name
// wins, and name itself comes back when nothing matches. While listings are
// remembered, a name the listing holds as it stands needs no look at the disk.
std::string DriveMap::matchingEntry(const fs::path& folder, const std::string& name) const {
    std::error_code ec;
    if (name == "." || name == "..") return name;
    std::unique_lock lock(*listingsMutex_);
    if (remember_) {
        auto [it, added] = listings_.try_emplace(folder.string());
        Listing& listing = it->second;
        if (added) {
            fs::directory_iterator entries(folder, ec);
            if (!ec) {
                for (const auto& entry : entries) {
                    std::string candidate = entry.path().filename().string();
                    listing.names.insert(candidate);
                    listing.byLowerCase.try_emplace(lowerAsciiText(candidate), candidate);
                }
            }
        }
        if (listing.names.contains(name) || fs::exists(fs::symlink_status(folder / name, ec)))
            return name;
        auto found = listing.byLowerCase.find(lowerAsciiText(name));
        return found == listing.byLowerCase.end() ? name : found->second;
    }
    lock.unlock();
    if (fs::exists(fs::symlink_status(folder / name, ec))) return name;
    fs::directory_iterator it(folder, ec);
    if (ec) return name;
    for (const auto& entry : it) {
        std::string candidate = entry.path().filename().string();
        if (equalsIgnoringAsciiCase(candidate, name)) return candidate;
    }
    return name;
}

// Follows the components below base one by one, taking the case-insensitive
// match where the exact name is missing.
fs::path DriveMap::resolveBelow(fs::path base, std::string_view rest) const {
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t slash = rest.find('/', pos);
        if (slash == std::string_view::npos) slash = rest.size();
        std::string component(rest.substr(pos, slash - pos));
        if (!component.empty()) base /= matchingEntry(base, component);
        pos = slash + 1;
    }
    return base;
}

void DriveMap::rememberListings(bool on) {
    std::lock_guard lock(*listingsMutex_);
    remember_ = on;
    listings_.clear();
}

fs::path DriveMap::toHost(std::u16string_view path) const {
    std::string s = toUtf8(path);
    std::replace(s.begin(), s.end(), '\\', '/');
    if (s.size() >= 2 && s[1] == ':' &&
        ((s[0] >= 'a' && s[0] <= 'z') || (s[0] >= 'A' && s[0] <= 'Z'))) {
        fs::path drive = drives_ / std::string(1, lowerAscii(s[0]));
        return resolveBelow(drive, std::string_view(s).substr(2));
    }
    if (!s.empty() && s[0] == '/') return resolveBelow("/", s);
    return resolveBelow(current_, s);
}

std::u16string DriveMap::toProgram(const fs::path& host) const {
    std::error_code ec;
    fs::path target = fs::weakly_canonical(host, ec);
    if (ec) target = host;
    std::string best;
    char bestLetter = 0;
    for (const std::u16string& drive : drives()) {
        char letter = static_cast<char>(drive[0]);
        fs::path root = fs::weakly_canonical(drives_ / std::string(1, letter), ec);
        if (ec) continue;
        std::string rootText = root.string();
        std::string targetText = target.string();
        bool inside = targetText == rootText ||
                      (targetText.rfind(rootText, 0) == 0 &&
                       (rootText.back() == '/' || targetText[rootText.size()] == '/'));
        if (inside && (bestLetter == 0 || rootText.size() > best.size())) {
            best = rootText;
            bestLetter = letter;
        }
    }
    if (bestLetter == 0) return fromUtf8(host.string());
    std::string rest = target.string().substr(best.size());
    std::replace(rest.begin(), rest.end(), '/', '\\');
    if (rest.empty() || rest[0] != '\\') rest.insert(rest.begin(), '\\');
    std::string result = std::string(1, static_cast<char>(bestLetter - 'a' + 'A')) + ":" + rest;
    if (result.size() > 3 && result.back() == '\\') result.pop_back();
    return fromUtf8(result);
}

std::vector<std::u16string> DriveMap::drives() const {
    std::vector<std::u16string> letters;
    std::error_code ec;
    fs::directory_iterator it(drives_, ec);
    if (ec) return letters;
    for (const auto& entry : it) {
        std::string name = entry.path().filename().string();
        if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') {
            letters.push_back(std::u16string{static_cast<char16_t>(name[0]), u':'});
        }
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

std::filesystem::path userDrivesFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "quendro" / "drives";
    const char* home = std::getenv("HOME");
    std::filesystem::path base = (home && *home) ? home : std::filesystem::temp_directory_path();
    return base / ".local" / "share" / "quendro" / "drives";
}

std::u16string folderAsGiven(const DriveMap& map, std::string_view given) {
    bool drive = given.size() >= 2 && given[1] == ':' &&
                 ((given[0] >= 'A' && given[0] <= 'Z') || (given[0] >= 'a' && given[0] <= 'z'));
    if (drive) return fromUtf8(given);
    std::error_code error;
    std::filesystem::path host = std::filesystem::absolute(std::filesystem::path(given), error);
    return map.toProgram(host.lexically_normal());
}

}  // namespace quendro
