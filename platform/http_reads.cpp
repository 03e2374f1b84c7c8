// HttpClient's batch of reads: many GETs at a time on one libcurl multi
// handle, all of them within one time given, so that a read-back of a whole
// meet costs about a round trip.
#include <limits>
#include <memory>
#include <unordered_map>

#include "platform/curl_multi.h"
#include "platform/http_client.h"
#include "platform/http_exchange.h"

namespace quendro {
namespace {

// The reads' own part: every address read, its answer in its place.
class Reads : public CurlMulti::Transfers {
  public:
    Reads(const std::vector<std::string>& urls, const HttpClient::Limits& limits,
          const HttpSignIn& signIn, const CurlShare* share)
        : urls_(urls), limits_(limits), signIn_(signIn), share_(share), answers_(urls.size()) {}

    std::vector<HttpAnswer> answers() { return std::move(answers_); }

  private:
    Begun begin(size_t i) override {
        auto start = std::make_unique<Received>();
        // No cancel flag: the read-back of a stop runs after the flag is set,
        // and the time given ends it instead.
        EasyHandle easy = prepareExchange(urls_[i], limits_, signIn_, nullptr, share_, *start);
        if (!easy) {
            answers_[i].failure = DownloadFailure::Other;
            return {};
        }
        CURL* handle = easy.get();
        running_[i] = {std::move(start), std::move(easy)};
        return {handle, urls_[i]};
    }

    void finished(size_t i, CURL* easy, CURLcode code) override {
        answers_[i] = answerOf(easy, code, *running_[i].first);
        // A body that came damaged (gzip that is none) is an answer all the
        // same: the server serves something, and not a good file.
        if (code == CURLE_BAD_CONTENT_ENCODING)
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &answers_[i].status);
        running_.erase(i);
    }

    void dropped(size_t i, CurlMulti::Dropped) override {
        running_.erase(i);
        answers_[i].failure = DownloadFailure::TimedOut;
    }

    const std::vector<std::string>& urls_;
    const HttpClient::Limits& limits_;
    const HttpSignIn& signIn_;
    const CurlShare* share_;
    std::vector<HttpAnswer> answers_;
    std::unordered_map<size_t, std::pair<std::unique_ptr<Received>, EasyHandle>> running_;
};

}  // namespace

std::vector<HttpAnswer> HttpClient::getAll(const std::vector<std::string>& urls,
                                           std::chrono::milliseconds within) const {
    if (urls.empty()) return {};
    Reads own(urls, limits_, signIn_, share_.get());
    auto end = std::chrono::steady_clock::now() + within;
    // Every read runs to its end: none waits on a reader who takes them in turn.
    MultiPolicy policy = downloadPolicy(urls.front().rfind("https:", 0) == 0);
    policy.ahead = std::numeric_limits<std::size_t>::max();
    {
        CurlMulti multi(urls.size(), policy, own,
                        [end] { return std::chrono::steady_clock::now() >= end; });
        multi.runAll();
    }  // the multi handle lets go of the reads' handles before they go
    return own.answers();
}

}  // namespace quendro
