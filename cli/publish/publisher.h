#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/publish/lap_watch.h"
#include "cli/publish/meet_source.h"
#include "platform/host_files.h"
#include "platform/http_client.h"

namespace quendro {

struct PublishOptions {
    std::u16string meetFolder;  // the timing system's data folder
    std::string baseUrl;        // "http://host/swim/", user and password may stand in it
    std::u16string season;      // four digits
    std::optional<std::u16string> resultsFile;
};

// One file of the meet as the server holds it.
struct MeetFileOnServer {
    enum class Kind {
        Copy,  // sent byte for byte
        Ind2,  // the competitor table made from the results file
    };
    std::u16string localPath;
    std::string name;  // in the meet folder: "kijun.txt", "lap/r0001.txt"
    Kind kind = Kind::Copy;
};

// Puts a meet from the timing system's data folder onto the publisher's server
// in the layout the viewer reads: <season>/<meet code>/ with kijun.txt,
// taikai.txt, ind2.txt and lap/rNNNN.txt, and the meet's entry in the season's
// list.txt. Tells on out what it does and what failed.
class Publisher {
  public:
    Publisher(HostFileSystem& files, const HttpClient& http, std::ostream& out);

    // Finds the meet's files; false (and a message) when the folder holds no meet.
    bool prepare(const PublishOptions& options);

    // The meet's files, lap files first and the heat table last, so that a
    // viewer who imports meanwhile finds every heat's laps.
    std::vector<MeetFileOnServer> meetFiles() const;
    // Sends one file; false when it could not be read or the server refused it.
    bool send(const MeetFileOnServer& file);
    // Every file of the meet, then the season list entry; stops at the first
    // failure, so that the list never names a meet that is not all there.
    bool publishMeet();
    // Adds the meet to the season's list.txt unless it is there already.
    bool addListEntry();

    // Stays running: every look, the files that changed and have come to rest
    // are sent again, until stop is set. False when a look could not send a file
    // (it is tried again at the next look).
    bool watch(const std::atomic<bool>& stop,
               std::chrono::milliseconds interval = std::chrono::milliseconds(400));
    // One look of the watch.
    bool lookOnce();

    std::string seasonUrl() const;
    std::string meetUrl() const;
    const MeetSource& source() const { return *source_; }

  private:
    std::string bytesToSend(const MeetFileOnServer& file, bool& ok);
    std::filesystem::path hostPath(std::u16string_view path) const;

    HostFileSystem& files_;
    const HttpClient& http_;
    std::ostream& out_;
    PublishOptions options_;
    std::optional<MeetSource> source_;
    ChangeWatch watch_;
    // What each file of the server last received, to send only what changed.
    std::map<std::string, std::size_t> sentDigest_;
};

}  // namespace quendro
