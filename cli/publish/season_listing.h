#pragma once

#include <ostream>
#include <string>

#include "cli/publish/telling.h"
#include "platform/http_client.h"
#include "reports/web_data.h"
#include "store/meet_header.h"

namespace quendro {

// The meet's entries in its season's lists: list.txt, which the window
// imports from, and web/meets.json, which a browser reads.
class SeasonListing {
  public:
    // seasonUrl: the season's folder on the server.
    SeasonListing(const HttpClient& http, std::string seasonUrl, const MeetHeader& header,
                  OnceTold& told, std::ostream& out, std::ostream& err)
        : http_(http), seasonUrl_(std::move(seasonUrl)), header_(header), told_(told), out_(out),
          err_(err) {}

    // Adds the meet to list.txt unless it is there already. With quietServer,
    // a server that fails says nothing here (the watch tells it); failure
    // tells it either way.
    bool addListEntry(bool quietServer, std::string& failure);
    bool listed() const { return listed_; }

    // The meet's entry in meets.json as the web data made it (none yet: nothing to do).
    bool addWebEntry(const WebMeet* meet, bool quietServer, std::string& failure);
    // True when meets.json holds the entry of the meet as it is now.
    bool webListed(const WebMeet* meet) const;

  private:
    const HttpClient& http_;
    std::string seasonUrl_;
    const MeetHeader& header_;
    OnceTold& told_;
    std::ostream& out_;
    std::ostream& err_;
    bool listed_ = false;
    std::string webLineListed_;  // this meet's line of meets.json, once there
};

}  // namespace quendro
