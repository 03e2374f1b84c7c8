#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "cli/publish/lap_watch.h"
#include "cli/publish/meet_source.h"
#include "store/meet_file_reader.h"
#include "platform/host_files.h"
#include "platform/http_client.h"
#include "reports/web_data.h"

namespace quendro {

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

// One file of the meet as the server holds it.
struct MeetFileOnServer {
    enum class Kind {
        Copy,    // sent byte for byte
        Lap,     // a lap file: whole lines only, the unfinished last one once at rest
        Heats,   // the heat table: sent when its records are whole
        Ind2,    // the competitor table made from the results file, when that is whole
    };
    std::u16string localPath;
    std::string name;  // in the meet folder: "kijun.txt", "lap/r0001.txt"
    Kind kind = Kind::Copy;
};

// What became of one file at one look.
enum class SendOutcome {
    Sent,        // the server took it
    Unchanged,   // the server holds these very bytes already
    Waiting,     // nothing to send yet: a lap file without one whole line
    HeldBack,    // damaged or unreadable here: the server keeps its last good copy
    ServerFailed,  // no answer, or an error status
};

// Puts a meet from the timing system's data folder onto the publisher's server
// in the layout the viewer reads: <season>/<meet code>/ with kijun.txt,
// taikai.txt, ind2.txt and lap/rNNNN.txt, and the meet's entry in the season's
// list.txt. Tells on out what it does, on err what failed or was held back.
class Publisher {
  public:
    Publisher(HostFileSystem& files, const HttpClient& http, std::ostream& out, std::ostream& err);

    // Finds the meet's files; false (and a message) when the folder holds no
    // meet or the meet code is no name for a folder.
    bool prepare(const PublishOptions& options);

    // The meet's files, lap files first and the heat table last, so that a
    // viewer who imports meanwhile finds every heat's laps. A lap file that is
    // no regular file, or a link out of the meet folder, is left out (and told once).
    std::vector<MeetFileOnServer> meetFiles();
    // Sends the files as they are now, together, in the order given, the heat
    // table only once the others are all there (a viewer who imports meanwhile
    // finds every heat's laps). The outcomes in the order of the files; the
    // files that never went because the server failed are ServerFailed too.
    std::vector<SendOutcome> sendAll(const std::vector<MeetFileOnServer>& files);
    // Asks the server, once a run and before anything is sent, how it keeps
    // uploads: a server that answers "X-Quendro-Stores-Gzip: 1" gets the meet's
    // files and its web data as NAME.gz in gzip, and serves NAME from them.
    // False when it gave no answer (lastServerFailure_ says why).
    bool learnStorage();
    bool storesGzip() const { return storesGzip_.value_or(false); }
    // Every file of the meet, then the season list entry. A server failure
    // stops it; a file held back lets the others go but keeps the meet off the
    // list. A lap file's unfinished last line is waited for a few seconds. True
    // when the server holds everything.
    bool publishMeet();
    // Adds the meet to the season's list.txt unless it is there already. With
    // quietServer, a server that fails says nothing here (the watch tells it).
    bool addListEntry(bool quietServer = false);

    // Stays running until stop is set: every look, the files that changed and
    // have come to rest are sent again; the meet goes on the list once all its
    // files are there. A server away or failing is told once when sending stops
    // and once when it comes back. True when, at the stop, the server holds
    // what the folder holds; otherwise a line tells what it lacks.
    bool watch(const std::atomic<bool>& stop,
               std::chrono::milliseconds interval = std::chrono::milliseconds(400));

    // The web data (docs/web-data.md) of what was sent: the heats whose lap
    // file changed, and when the heat table, the competitors or the header
    // changed, the meet's files and every heat. Only files whose bytes changed
    // go. False when the server failed.
    bool sendWebData();
    // The season's meets.json with this meet's entry; false when it failed.
    bool addWebSeasonEntry(bool quietServer = false);

    // The viewer's files that the site's root lacks or holds otherwise, each
    // whole. True when the server holds the viewer, or there is none to send.
    bool sendViewer();

    std::string seasonUrl() const;
    std::string meetUrl() const;
    const MeetSource& source() const { return *source_; }

  private:
    struct Look {
        int sent = 0;
        bool serverFailed = false;
        std::string failure;  // the first server failure's words
    };
    // One look of the watch: the files that are ready, in order, until the
    // server fails.
    Look lookOnce(bool everyFile);
    // A meet file through the one reader of every program: inside its folder,
    // regular, and a record file whole and not empty.
    MeetFileRead readMeetFileOf(const MeetFileOnServer& file) const;
    bool readBytesOf(const MeetFileOnServer& file, std::string& bytes);
    // One file read and checked: what the server is to hold, or what became
    // of it without an upload (any outcome but Sent).
    struct Outgoing {
        SendOutcome outcome = SendOutcome::Sent;
        std::string bytes;
        std::size_t digest = 0;
        ChangeWatch::Held held = ChangeWatch::Held::Whole;
        FileStamp stamp;
    };
    Outgoing prepareSend(const MeetFileOnServer& file);
    SendOutcome finishSend(const MeetFileOnServer& file, const Outgoing& outgoing,
                           const HttpAnswer& answer);
    // Files of the server, addresses below the meet's folder with their bytes
    // as the server is to serve them, sent together (as NAME.gz in gzip to a
    // server that stores gzip). The answers in the same order.
    std::vector<HttpAnswer> putMeetFiles(
        const std::vector<std::pair<std::string, const std::string*>>& files);
    // Where putMeetFiles sends the file at path below the meet's folder, and
    // how its failed answer is told (the address without its password).
    std::string putUrl(const std::string& path) const;
    std::string putFailure(const std::string& path, const HttpAnswer& answer) const;
    std::filesystem::path hostPath(std::u16string_view path) const;
    // What the server lacks of the folder, for the closing line; empty when nothing.
    std::vector<std::string> notOnServer();
    void tellOnce(const std::string& key, const std::string& line);

    HostFileSystem& files_;
    const HttpClient& http_;
    std::ostream& out_;
    std::ostream& err_;
    PublishOptions options_;
    std::optional<MeetSource> source_;
    ChangeWatch watch_;
    bool listed_ = false;
    bool viewerDue_ = true;  // the watch sends the viewer at its first look only
    std::string lastServerFailure_;
    std::optional<bool> storesGzip_;  // learnt at the first answer of the run
    // What each file of the server last received, to send only what changed.
    std::map<std::string, std::size_t> sentDigest_;
    // The web data: what the meet files sent mean for it, and the files made.
    void noteForWeb(const MeetFileOnServer& file, const std::string& bytes, bool changed);
    bool rebuildWebMeet();
    // The web files whose bytes changed, together; false when the server failed.
    bool putWebFiles(const std::vector<std::pair<std::string, std::string>>& files);
    std::unique_ptr<WebMeet> webMeet_;
    bool webMeetStale_ = true;
    std::map<std::u16string, std::string> lapBytes_;  // each heat's lap file as sent
    std::set<std::u16string> heatsStale_;
    std::map<std::string, std::size_t> webDigest_;
    std::size_t meetJsonDigest_ = 0;
    std::string meetUpdated_;
    std::string seasonLineListed_;  // this meet's line of meets.json, once there
    int webSent_ = 0;
    // Lines told once: a file skipped or held back, by its name and reason.
    std::map<std::string, std::string> told_;
};

}  // namespace quendro
