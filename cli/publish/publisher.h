#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/publish/meet_folder.h"
#include "cli/publish/meet_sender.h"
#include "cli/publish/meet_source.h"
#include "cli/publish/publish_options.h"
#include "cli/publish/season_listing.h"
#include "cli/publish/telling.h"
#include "cli/publish/uploader.h"
#include "cli/publish/web_data.h"
#include "platform/host_files.h"
#include "platform/http_client.h"

namespace quendro {

// Puts a meet from the timing system's data folder onto the publisher's server
// in the layout the viewer reads: <season>/<meet code>/ with kijun.txt,
// taikai.txt, ind2.txt and lap/rNNNN.txt, and the meet's entry in the season's
// list.txt. Tells on out what it does, on err what failed or was held back.
// The work is done by its parts: the meet folder (what changed), the payloads
// (the bytes of each file and of the web data), the uploader; this class only
// runs them in order.
class Publisher {
  public:
    Publisher(HostFileSystem& files, const HttpClient& http, std::ostream& out, std::ostream& err);
    ~Publisher();

    // Finds the meet's files; false (and a message) when the folder holds no
    // meet or the meet code is no name for a folder.
    bool prepare(const PublishOptions& options);

    // Every file of the meet, then the season list entry. A server failure
    // stops it; a file held back lets the others go but keeps the meet off the
    // list. A lap file's unfinished last line is waited for a few seconds. True
    // when the server holds everything.
    bool publishMeet();

    // Stays running until stop is set: every look, the files that changed and
    // have come to rest are sent again (a lap file's whole lines even while it
    // changes, one look after it was found changed); the meet goes on the list
    // once all its files are there. A server away or failing is told once when
    // sending stops, and once when it takes a file again, with the count of
    // the meet's files sent since. A meet folder that is not there (a share
    // dropped) is told once, and once when it is back; meanwhile nothing is
    // sent and whatever the server holds stays. True when, at the stop, the
    // folder is there and the server holds
    // what the folder holds by what it answers then (a read-back of every
    // file, within kReadBackTime); otherwise a line tells what it lacks or
    // that it could not be checked.
    bool watch(const std::atomic<bool>& stop,
               std::chrono::milliseconds interval = std::chrono::milliseconds(400));

    // The time a stop gives the read-back of the server's files.
    static constexpr std::chrono::milliseconds kReadBackTime{1500};
    // A one-shot publish has no stop pressing it: its read-back of the whole
    // meet (the largest, thousands of files) is bounded by the transfers'
    // own limits and this.
    static constexpr std::chrono::milliseconds kOneShotReadBackTime{300000};

  private:
    // The parts, made once the meet is found; they refer to one another.
    struct Parts {
        Parts(Publisher& p, const std::string& seasonUrl, const std::string& meetUrl);
        MeetFolder folder;
        Uploader uploader;
        WebData web;
        SeasonListing listing;
        MeetSender sender;
    };
    struct Look {
        int sent = 0;   // the meet's files the server took
        int taken = 0;  // every upload it took: meet files, web data, viewer, list entry
        bool serverFailed = false;
        std::string failure;  // the first server failure's words
    };
    // One look of the watch: the files that are ready, in order, until the
    // server fails.
    Look lookOnce(bool everyFile);
    // The web data of what was sent, and once the meet is listed, its entry in
    // meets.json; false when the server failed.
    bool sendWebData();
    // What the server lacks of the folder, for the closing line; empty when nothing.
    std::vector<std::string> notOnServer();
    // Whether the server serves now what it took; tells on err when not, or
    // when it could not be checked.
    bool readBackHolds(std::chrono::milliseconds within);
    std::string seasonUrl() const;
    std::string meetUrl() const;

    HostFileSystem& files_;
    const HttpClient& http_;
    std::ostream& out_;
    std::ostream& err_;
    PublishOptions options_;
    std::optional<MeetSource> source_;
    OnceTold told_;
    std::unique_ptr<Parts> parts_;
    bool viewerDue_ = true;  // the watch sends the viewer at its first look only
    std::string lastServerFailure_;
};

}  // namespace quendro
