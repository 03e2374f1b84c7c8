#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <functional>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace quendro {

// How many transfers one multi handle carries at once. Over https the
// transfers wait for the connection being opened and go as its HTTP/2 streams
// where the server offers them; otherwise each takes a kept HTTP/1.1
// connection, kConnections of them at most, to the host and in all.
struct MultiPolicy {
    std::size_t atStart = 1;    // at once before any answer has come over HTTP/2
    std::size_t overHttp2 = 1;  // at once after one has
    // Started beyond the transfer waited for, counting it: the answers
    // waiting to be taken stay few.
    std::size_t ahead = std::numeric_limits<std::size_t>::max();

    static constexpr std::size_t kConnections = 8;
    // A batch of downloads over https: streams of one connection from the start.
    static constexpr std::size_t kDownloadStreams = 96;
    static constexpr std::size_t kDownloadStreamsAhead = 128;
    // Over plain http: one kept connection a transfer.
    static constexpr std::size_t kDownloadsAhead = 48;
    // A batch of uploads, once the server has shown it speaks HTTP/2.
    static constexpr std::size_t kUploadStreams = 64;
};

// The downloads of a batch whose addresses go over TLS, or not.
MultiPolicy downloadPolicy(bool overTls);
// Uploads, up to inFlight at a time (at least one): until an answer shows
// HTTP/2, no more than there may be HTTP/1.1 connections, so that no upload
// waits for a connection while its time runs.
MultiPolicy uploadPolicy(std::size_t inFlight);

// One libcurl multi handle that runs a list of transfers: started in list
// order under a policy, moved on while the caller waits, each ending once.
// The caller's side sets up each transfer's handle and takes its outcome.
class CurlMulti {
  public:
    // Why a transfer ended without an answer of its own.
    enum class Dropped { Stopped, NotAdded, MultiFailed };

    // The caller's part of a list of transfers, by their place in it.
    class Transfers {
      public:
        virtual ~Transfers() = default;
        // The handle set up for transfer i and its address; a null handle when
        // the transfer ended without starting (the caller has its outcome).
        struct Begun {
            CURL* easy = nullptr;
            std::string_view url;
        };
        virtual Begun begin(std::size_t i) = 0;
        // Transfer i ended with code; its handle is out of the multi handle.
        virtual void finished(std::size_t i, CURL* easy, CURLcode code) = 0;
        // Transfer i ended without an answer, started or not.
        virtual void dropped(std::size_t i, Dropped why) = 0;
    };

    // count transfers; once stopped returns true (asked every 100 ms or
    // sooner) the running and pending ones are dropped and nothing starts.
    CurlMulti(std::size_t count, MultiPolicy policy, Transfers& transfers,
              std::function<bool()> stopped = {});
    ~CurlMulti();
    CurlMulti(const CurlMulti&) = delete;
    CurlMulti& operator=(const CurlMulti&) = delete;

    // Moves the transfers on, starting them no further than the policy's
    // window past transfer wanted, until ended() is true or nothing more runs.
    void runUntil(std::size_t wanted, const std::function<bool()>& ended);
    // Runs every transfer of the list to its end.
    void runAll();

  private:
    void startMore(std::size_t wanted);
    void collectFinished();
    void dropAll(Dropped why);

    std::size_t count_;
    MultiPolicy policy_;
    Transfers& transfers_;
    std::function<bool()> stopped_;
    CURLM* multi_;
    std::size_t width_;
    std::size_t next_ = 0;
    std::unordered_map<CURL*, std::size_t> running_;
};

}  // namespace quendro
