#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/http_client.h"

namespace quendro {

// Puts files on the publisher's server and remembers, by address, the bytes
// each address last took, so that bytes the server holds already are never
// sent again.
class Uploader {
  public:
    // askUrl: an address of the server that answers whether it stores gzip;
    // out hears how it stores.
    Uploader(const HttpClient& http, std::string askUrl, std::ostream& out)
        : http_(http), askUrl_(std::move(askUrl)), out_(out) {}

    // Asks the server, once a run and before anything is sent, how it keeps
    // uploads: a server that answers "X-Quendro-Stores-Gzip: 1" gets the
    // meet's files and its web data as NAME.gz in gzip, and serves NAME from
    // them. False when it gave no answer (failure says why).
    bool learnStorage(std::string& failure);
    bool storesGzip() const { return storesGzip_.value_or(false); }

    // True when the address last took these very bytes.
    bool holds(const std::string& address, const std::string& bytes) const;
    // How many uploads the server took in the run.
    int taken() const { return taken_; }

    // What became of one upload; failure tells a failed one.
    struct Sent {
        bool ok = false;
        std::string failure;
    };
    // Files at their addresses, sent together (as NAME.gz in gzip to a server
    // that stores gzip). The results in the same order.
    std::vector<Sent> putAll(const std::vector<std::pair<std::string, const std::string*>>& files);

    enum class Plain { Held, Sent, Failed };
    // One file as it is, never in gzip, unless the address holds these bytes
    // already: by what it took earlier in the run, or by what it serves now
    // (from an earlier run, or the publisher's own copy at its start).
    Plain putUnlessHeld(const std::string& url, const std::string& bytes, std::string& failure);

    // What the server answers now for every address that took bytes in the
    // run: a read-back, all within the time given.
    struct ReadBack {
        enum class Outcome {
            Same,       // every address serves the bytes it took
            Differs,    // some serve other bytes, or nothing (differing names them)
            Unchecked,  // some gave no answer in time (and none differs)
        };
        Outcome outcome = Outcome::Same;
        std::vector<std::string> differing;  // the addresses
        std::string unanswered;              // the first read without an answer, and why
    };
    ReadBack readBack(std::chrono::milliseconds within) const;

  private:
    void remember(const std::string& address, const std::string& bytes);

    const HttpClient& http_;
    std::string askUrl_;
    std::ostream& out_;
    std::optional<bool> storesGzip_;  // learnt at the first answer of the run
    std::map<std::string, std::size_t> digests_;
    int taken_ = 0;
};

}  // namespace quendro
