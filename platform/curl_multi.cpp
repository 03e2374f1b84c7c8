#include "platform/curl_multi.h"

#include <algorithm>
#include <vector>

#include "platform/curl_options.h"

namespace quendro {

MultiPolicy downloadPolicy(bool overTls) {
    MultiPolicy policy;
    policy.atStart = policy.overHttp2 =
        overTls ? MultiPolicy::kDownloadStreams : MultiPolicy::kConnections;
    policy.ahead = overTls ? MultiPolicy::kDownloadStreamsAhead : MultiPolicy::kDownloadsAhead;
    return policy;
}

MultiPolicy uploadPolicy(std::size_t inFlight) {
    MultiPolicy policy;
    policy.overHttp2 = std::max<std::size_t>(inFlight, 1);
    policy.atStart = std::min(policy.overHttp2, MultiPolicy::kConnections);
    return policy;
}

CurlMulti::CurlMulti(std::size_t count, MultiPolicy policy, Transfers& transfers,
                     std::function<bool()> stopped)
    : count_(count),
      policy_(policy),
      transfers_(transfers),
      stopped_(std::move(stopped)),
      multi_(curl_multi_init()),
      width_(std::max<std::size_t>(policy.atStart, 1)) {
    if (!multi_) return;
    // HTTP/1.1 takes a connection a transfer; HTTP/2 carries them all as
    // streams of one.
    const long connections = static_cast<long>(MultiPolicy::kConnections);
    curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, connections);
    curl_multi_setopt(multi_, CURLMOPT_MAX_TOTAL_CONNECTIONS, connections);
    curl_multi_setopt(multi_, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
}

CurlMulti::~CurlMulti() {
    if (!multi_) return;
    for (const auto& [easy, index] : running_) curl_multi_remove_handle(multi_, easy);
    curl_multi_cleanup(multi_);
}

void CurlMulti::runAll() {
    runUntil(0, [] { return false; });
}

void CurlMulti::runUntil(std::size_t wanted, const std::function<bool()>& ended) {
    if (!multi_) dropAll(Dropped::NotAdded);
    for (;;) {
        if (ended()) return;
        if (stopped_ && stopped_()) dropAll(Dropped::Stopped);
        if (ended()) return;
        startMore(wanted);
        if (running_.empty()) return;  // nothing runs, nothing more may start
        int still = 0;
        if (curl_multi_perform(multi_, &still) != CURLM_OK) {
            dropAll(Dropped::MultiFailed);
            return;
        }
        collectFinished();
        if (ended()) return;
        if (still > 0) curl_multi_poll(multi_, nullptr, 0, 100, nullptr);
    }
}

// Starts transfers in list order while the width allows, up to the window
// past the one wanted.
void CurlMulti::startMore(std::size_t wanted) {
    while (running_.size() < width_ && next_ < count_) {
        if (next_ > wanted && next_ - wanted >= policy_.ahead) break;
        const std::size_t i = next_++;
        Transfers::Begun begun = transfers_.begin(i);
        if (!begun.easy) continue;
        // Over https, rather a stream of the connection being opened than a
        // new one.
        curl_easy_setopt(begun.easy, CURLOPT_PIPEWAIT, overTls(begun.url) ? 1L : 0L);
        if (curl_multi_add_handle(multi_, begun.easy) != CURLM_OK) {
            transfers_.dropped(i, Dropped::NotAdded);
            continue;
        }
        running_.emplace(begun.easy, i);
    }
}

void CurlMulti::collectFinished() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        CURL* easy = message->easy_handle;
        auto found = running_.find(easy);
        if (found == running_.end()) continue;
        const std::size_t index = found->second;
        const CURLcode code = message->data.result;
        running_.erase(found);
        curl_multi_remove_handle(multi_, easy);
        // An answer over HTTP/2: the rest go as its streams.
        long version = 0;
        curl_easy_getinfo(easy, CURLINFO_HTTP_VERSION, &version);
        if (version == CURL_HTTP_VERSION_2_0) width_ = std::max(width_, policy_.overHttp2);
        transfers_.finished(index, easy, code);
    }
}

// Ends every transfer running or not yet started; nothing starts after it.
void CurlMulti::dropAll(Dropped why) {
    std::vector<std::pair<CURL*, std::size_t>> ending(running_.begin(), running_.end());
    running_.clear();
    std::sort(ending.begin(), ending.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    for (const auto& [easy, index] : ending) {
        curl_multi_remove_handle(multi_, easy);
        transfers_.dropped(index, why);
    }
    while (next_ < count_) transfers_.dropped(next_++, why);
}

}  // namespace quendro
