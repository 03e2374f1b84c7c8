#include "platform/http_client.h"

#include <curl/curl.h>

#include "platform/http_exchange.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

// A file changed again within the second it was last changed keeps its
// Last-Modified, and a web server's ETag made of that time and the size
// may stay too: validators of an answer whose file changed in the second
// of the answer (Date no later than Last-Modified) are not sent again, so
// that the next look reads the file whole.
bool changedWithinTheSecond(const Validators& validators, const std::string& date) {
    if (validators.lastModified.empty() || date.empty()) return false;
    time_t modified = curl_getdate(validators.lastModified.c_str(), nullptr);
    time_t answered = curl_getdate(date.c_str(), nullptr);
    return modified != -1 && answered != -1 && answered <= modified;
}

HttpAnswer unmade() {
    HttpAnswer answer;
    answer.failure = DownloadFailure::Other;
    return answer;
}

}  // namespace

std::u16string failureWord(const HttpAnswer& answer) {
    DownloadFailure failure = answer.failure;
    if (failure == DownloadFailure::None && answer.status >= 400)
        failure = DownloadFailure::ErrorStatus;
    if (failure == DownloadFailure::None && answer.status >= 300)
        failure = DownloadFailure::BadRedirect;
    return transferFailureWord(failure, answer.status, answer.certificate, fromUtf8(answer.host));
}

HttpClient::Limits HttpClient::uploadLimits() {
    Limits limits;
    limits.stallSeconds = 30;
    return limits;
}

HttpClient::HttpClient() : HttpClient(uploadLimits()) {}

HttpClient::HttpClient(Limits limits) : limits_(std::move(limits)) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    share_ = std::make_unique<CurlShare>();
}

HttpClient::~HttpClient() {
    share_.reset();
    curl_global_cleanup();
}

HttpAnswer HttpClient::get(std::string_view url, const Validators& since) const {
    Received received;
    EasyHandle curl = prepareExchange(url, limits_, signIn_, cancel_, share_.get(), received);
    if (!curl) return unmade();
    // No redirect is followed: a publisher's files answer where they are, and a
    // redirect elsewhere is a failure like any other answer that is no body.
    HeaderList headers;
    if (!since.etag.empty())
        headers.reset(
            curl_slist_append(headers.release(), ("If-None-Match: " + since.etag).c_str()));
    if (!since.lastModified.empty()) {
        headers.reset(curl_slist_append(headers.release(),
                                        ("If-Modified-Since: " + since.lastModified).c_str()));
    }
    if (headers) curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    HttpAnswer answer = answerOf(curl.get(), curl_easy_perform(curl.get()), received);
    // Unchanged: the validators stay those of the body the caller holds.
    if (answer.status == 304 && answer.validators.empty()) answer.validators = since;
    if (answer.status == 200 && changedWithinTheSecond(answer.validators, received.date))
        answer.validators = {};
    return answer;
}

HttpAnswer HttpClient::put(std::string_view url, std::string_view bytes) const {
    Received received;
    EasyHandle curl = prepareExchange(url, limits_, signIn_, cancel_, share_.get(), received);
    if (!curl) return unmade();
    UploadSource upload{bytes};
    makePut(curl.get(), upload);
    // No "Expect: 100-continue", which costs a round trip more before the bytes.
    HeaderList headers(curl_slist_append(nullptr, "Expect:"));
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    return answerOf(curl.get(), curl_easy_perform(curl.get()), received);
}

}  // namespace quendro
