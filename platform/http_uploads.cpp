// HttpClient's batch of uploads: many PUTs at a time on one libcurl multi
// handle, so that a far server costs a round trip per batch rather than per file.
#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/http_client.h"
#include "platform/http_exchange.h"

namespace quendro {
namespace {

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

// One upload on its way: its handle and what it sends and receives.
struct Running {
    size_t index = 0;
    Received received;
    UploadSource source;
    HeaderList headers;
    EasyHandle easy;
};

HttpAnswer noAnswer(const char* why) {
    HttpAnswer answer;
    answer.error = why;
    return answer;
}

}  // namespace

std::vector<HttpAnswer> HttpClient::putAll(const std::vector<Upload>& uploads,
                                           size_t inFlight) const {
    std::vector<HttpAnswer> answers(uploads.size());
    if (uploads.empty()) return answers;
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi) {
        for (HttpAnswer& answer : answers) answer = noAnswer("no transfer handle");
        return answers;
    }
    // Streams of one HTTP/2 connection where the server offers it; kept HTTP/1.1
    // connections, a few at most, where it does not.
    curl_multi_setopt(multi.get(), CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
    curl_multi_setopt(multi.get(), CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(kConnections));
    // As many as the connections can carry at once: until a finished upload
    // shows HTTP/2, no more than there may be HTTP/1.1 connections, so that no
    // upload waits for a connection while its time runs.
    const size_t widest = std::max<size_t>(inFlight, 1);
    size_t width = std::min(widest, kConnections);
    std::unordered_map<CURL*, std::unique_ptr<Running>> running;
    size_t next = 0;
    auto cleanUp = [&] {
        for (auto& [easy, upload] : running) curl_multi_remove_handle(multi.get(), easy);
        running.clear();
    };
    for (;;) {
        bool cancelled = cancel_ && cancel_->load();
        while (!cancelled && running.size() < width && next < uploads.size()) {
            const Upload& upload = uploads[next];
            auto start = std::make_unique<Running>();
            start->index = next++;
            start->easy = prepareExchange(upload.url, limits_, signIn_, cancel_, share_.get(),
                                          start->received);
            if (!start->easy) {
                answers[start->index] = noAnswer("no transfer handle");
                continue;
            }
            start->source = UploadSource{upload.bytes};
            makePut(start->easy.get(), start->source);
            // No "Expect: 100-continue": over HTTP/1.1 it would wait a round
            // trip for each file before its bytes.
            start->headers.reset(curl_slist_append(nullptr, "Expect:"));
            for (const std::string& header : upload.headers)
                start->headers.reset(curl_slist_append(start->headers.release(), header.c_str()));
            curl_easy_setopt(start->easy.get(), CURLOPT_HTTPHEADER, start->headers.get());
            // Over TLS the uploads wait for the connection being opened, to
            // go as its streams, rather than each opening one of its own.
            if (overTls(upload.url)) curl_easy_setopt(start->easy.get(), CURLOPT_PIPEWAIT, 1L);
            if (curl_multi_add_handle(multi.get(), start->easy.get()) != CURLM_OK) {
                answers[start->index] = noAnswer("no transfer handle");
                continue;
            }
            CURL* easy = start->easy.get();
            running.emplace(easy, std::move(start));
        }
        if (cancelled) {
            while (next < uploads.size()) answers[next++] = noAnswer("cancelled");
        }
        if (running.empty()) break;
        int still = 0;
        if (curl_multi_perform(multi.get(), &still) != CURLM_OK) {
            for (auto& [easy, upload] : running) answers[upload->index] = noAnswer("transfer failed");
            cleanUp();
            while (next < uploads.size()) answers[next++] = noAnswer("transfer failed");
            break;
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            auto found = running.find(message->easy_handle);
            if (found == running.end()) continue;
            Running& done = *found->second;
            answers[done.index] = answerOf(done.easy.get(), message->data.result, done.received);
            long version = 0;
            curl_easy_getinfo(done.easy.get(), CURLINFO_HTTP_VERSION, &version);
            if (version == CURL_HTTP_VERSION_2_0) width = widest;
            curl_multi_remove_handle(multi.get(), done.easy.get());
            running.erase(found);
        }
        if (still > 0) curl_multi_poll(multi.get(), nullptr, 0, 100, nullptr);
    }
    return answers;
}

}  // namespace quendro
