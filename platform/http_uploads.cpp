// HttpClient's batch of uploads: many PUTs at a time on one libcurl multi
// handle (platform/curl_multi.h), so that a far server costs a round trip per
// batch rather than per file.
#include <memory>
#include <unordered_map>

#include "platform/curl_multi.h"
#include "platform/http_client.h"
#include "platform/http_exchange.h"

namespace quendro {
namespace {

HttpAnswer noAnswer(DownloadFailure why) {
    HttpAnswer answer;
    answer.failure = why;
    return answer;
}

// The uploads' own part: every file sent, its answer in its place.
class Uploads : public CurlMulti::Transfers {
  public:
    Uploads(const std::vector<Upload>& uploads, const HttpClient::Limits& limits,
            const HttpSignIn& signIn, const std::atomic<bool>* cancel, const CurlShare* share)
        : uploads_(uploads),
          limits_(limits),
          signIn_(signIn),
          cancel_(cancel),
          share_(share),
          answers_(uploads.size()) {}

    std::vector<HttpAnswer> answers() { return std::move(answers_); }

  private:
    // One upload on its way: its handle and what it sends and receives.
    struct Running {
        Received received;
        UploadSource source;
        HeaderList headers;
        EasyHandle easy;
    };

    Begun begin(size_t i) override {
        const Upload& upload = uploads_[i];
        auto start = std::make_unique<Running>();
        start->easy = prepareExchange(upload.url, limits_, signIn_, cancel_, share_,
                                      start->received);
        if (!start->easy) {
            answers_[i] = noAnswer(DownloadFailure::Other);
            return {};
        }
        start->source = UploadSource{upload.bytes};
        makePut(start->easy.get(), start->source);
        // No "Expect: 100-continue": over HTTP/1.1 it would wait a round
        // trip for each file before its bytes.
        start->headers.reset(curl_slist_append(nullptr, "Expect:"));
        for (const std::string& header : upload.headers)
            start->headers.reset(curl_slist_append(start->headers.release(), header.c_str()));
        curl_easy_setopt(start->easy.get(), CURLOPT_HTTPHEADER, start->headers.get());
        CURL* easy = start->easy.get();
        running_[i] = std::move(start);
        return {easy, upload.url};
    }

    void finished(size_t i, CURL* easy, CURLcode code) override {
        answers_[i] = answerOf(easy, code, running_[i]->received);
        running_.erase(i);
    }

    void dropped(size_t i, CurlMulti::Dropped why) override {
        running_.erase(i);
        switch (why) {
            case CurlMulti::Dropped::Stopped: answers_[i] = noAnswer(DownloadFailure::Cancelled); break;
            case CurlMulti::Dropped::NotAdded: answers_[i] = noAnswer(DownloadFailure::Other); break;
            case CurlMulti::Dropped::MultiFailed: answers_[i] = noAnswer(DownloadFailure::Other); break;
        }
    }

    const std::vector<Upload>& uploads_;
    const HttpClient::Limits& limits_;
    const HttpSignIn& signIn_;
    const std::atomic<bool>* cancel_;
    const CurlShare* share_;
    std::vector<HttpAnswer> answers_;
    std::unordered_map<size_t, std::unique_ptr<Running>> running_;
};

}  // namespace

std::vector<HttpAnswer> HttpClient::putAll(const std::vector<Upload>& uploads,
                                           size_t inFlight) const {
    if (uploads.empty()) return {};
    Uploads own(uploads, limits_, signIn_, cancel_, share_.get());
    std::function<bool()> cancelled;
    if (cancel_) cancelled = [cancel = cancel_] { return cancel->load(); };
    {
        CurlMulti multi(uploads.size(), uploadPolicy(inFlight), own, std::move(cancelled));
        multi.runAll();
    }  // the multi handle lets go of the uploads' handles before they go
    return own.answers();
}

}  // namespace quendro
