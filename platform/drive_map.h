#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <string>
#include <string_view>
#include <vector>

namespace quendro {

// Maps the program's paths onto the host's file system.
//
// The meet's files name folders by drive letter ("D:\meet\", "c:\quendro\temp").
// Each drive letter X is the entry "x" of a drives folder, usually a symbolic
// link: "Z:\home\me\meet" is /home/me/meet when z points to "/". On first use the
// drives folder is created with "c" a folder of its own (where the working folder
// c:\quendro\temp lives) and "z" a link to "/".
//
// Both "\" and "/" separate folders. A path that begins with "/" is a host path
// as it stands; any other path without a drive letter is relative to the current
// folder. When a name does not exist with its exact case, the entry of the folder
// that matches it ignoring ASCII case is taken: files copied from the timing
// machine are often upper case.
class DriveMap {
  public:
    DriveMap(std::filesystem::path drivesFolder, std::filesystem::path currentFolder);

    std::filesystem::path toHost(std::u16string_view path) const;
    // The program's form of a host path: the drive whose folder holds it, longest
    // match first ("Z:\work\meet"); a host path as it stands when no drive holds it.
    std::u16string toProgram(const std::filesystem::path& host) const;
    // Drive letters with a colon, lower case: "c:", "z:".
    std::vector<std::u16string> drives() const;

    // While on, the listing of a folder read to match a name ignoring case is
    // kept for the next name looked up in it; off forgets them all.
    void rememberListings(bool on);

    const std::filesystem::path& drivesFolder() const { return drives_; }
    const std::filesystem::path& currentFolder() const { return current_; }

  private:
    // Entries of a folder: every name as it stands, and by lower-case name
    // (the first entry met wins).
    struct Listing {
        std::unordered_set<std::string> names;
        std::unordered_map<std::string, std::string> byLowerCase;
    };
    std::string matchingEntry(const std::filesystem::path& folder, const std::string& name) const;
    std::filesystem::path resolveBelow(std::filesystem::path base, std::string_view rest) const;

    std::filesystem::path drives_;
    std::filesystem::path current_;
    // The listings are shared by the window's thread and the threads that
    // look at a followed lap file while a report runs.
    std::unique_ptr<std::mutex> listingsMutex_ = std::make_unique<std::mutex>();
    bool remember_ = false;
    mutable std::unordered_map<std::string, Listing> listings_;
};

// The user's drives folder, shared by the window and the programs so that a
// drive path names the same folder in each: $XDG_DATA_HOME/quendro/drives, by
// default ~/.local/share/quendro/drives.
std::filesystem::path userDrivesFolder();

// A meet folder given on a command line: a drive path ("Q:\meet") as it
// stands, any other path as the program's form of the host folder it names.
std::u16string folderAsGiven(const DriveMap& map, std::string_view given);

}  // namespace quendro
