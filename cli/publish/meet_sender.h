#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "cli/publish/lap_watch.h"
#include "cli/publish/meet_folder.h"
#include "cli/publish/meet_source.h"
#include "cli/publish/telling.h"
#include "cli/publish/uploader.h"
#include "cli/publish/web_data.h"
#include "platform/files.h"

namespace quendro {

// What became of one file at one look.
enum class SendOutcome {
    Sent,        // the server took it
    Unchanged,   // the server holds these very bytes already
    Waiting,     // nothing to send yet: a lap file without one whole line
    HeldBack,    // damaged or unreadable here: the server keeps its last good copy
    ServerFailed,  // no answer, or an error status
};

// The meet's files on their way to the server: read and checked one by one,
// then sent together, so that a server far away costs a few round trips for
// the whole meet rather than one for each file.
class MeetSender {
  public:
    struct Parts {
        FileSystem& files;
        const MeetSource& source;
        MeetFolder& folder;
        Uploader& uploader;
        WebData& web;
        OnceTold& told;
    };
    // meetUrl: the meet's folder on the server; out hears what was sent.
    MeetSender(Parts parts, std::string meetUrl, std::ostream& out)
        : p_(parts), meetUrl_(std::move(meetUrl)), out_(out) {}

    // Sends the files as they are now, together, in the order given, the heat
    // table only once the others are all there (a viewer who imports meanwhile
    // finds every heat's laps). The outcomes in the order of the files; the
    // files that never went because the server failed are ServerFailed too,
    // and failure tells the first failure (cleared when there are files).
    std::vector<SendOutcome> sendAll(const std::vector<MeetFileOnServer>& files,
                                     std::string& failure);

  private:
    // One file read and checked: what the server is to hold, or what became
    // of it without an upload (any outcome but Sent).
    struct Outgoing {
        SendOutcome outcome = SendOutcome::Sent;
        std::string bytes;
        ChangeWatch::Held held = ChangeWatch::Held::Whole;
        FileStamp stamp;
    };
    Outgoing prepare(const MeetFileOnServer& file);
    SendOutcome finish(const MeetFileOnServer& file, const Outgoing& outgoing,
                       const Uploader::Sent& sent, std::string& failure);

    Parts p_;
    std::string meetUrl_;
    // The length of each lap file's whole lines as last sent: a file caught
    // in a rewrite, shorter than that while it moves, waits for its rest.
    std::map<std::string, size_t> lapLength_;
    std::ostream& out_;
};

}  // namespace quendro
