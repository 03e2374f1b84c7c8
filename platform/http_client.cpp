#include "platform/http_client.h"

#include <curl/curl.h>

#include "platform/http_exchange.h"

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

}  // namespace

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
    if (!curl) return HttpAnswer{0, {}, {}, "no transfer handle"};
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
    if (!curl) return HttpAnswer{0, {}, {}, "no transfer handle"};
    UploadSource upload{bytes};
    makePut(curl.get(), upload);
    // No "Expect: 100-continue", which costs a round trip more before the bytes.
    HeaderList headers(curl_slist_append(nullptr, "Expect:"));
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    return answerOf(curl.get(), curl_easy_perform(curl.get()), received);
}

namespace {

std::string percentDecoded(std::string_view text) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// "127.0.0.1:8808", "[::1]:8808", "host": what stands before a path.
bool isHostAndPort(std::string_view part) {
    if (!part.empty() && part.front() == '[') return true;
    size_t colon = part.find(':');
    if (colon == std::string_view::npos) return true;
    std::string_view port = part.substr(colon + 1);
    for (char c : port) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

AddressSignIn splitSignIn(std::string_view url) {
    AddressSignIn split;
    split.address = std::string(url);
    size_t scheme = url.find("://");
    size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    size_t firstAt = url.find('@', start);
    if (firstAt == std::string_view::npos) return split;
    size_t firstSlash = url.find('/', start);
    size_t at = std::string_view::npos;
    if (firstSlash == std::string_view::npos || firstSlash > firstAt) {
        // No "/" before the "@": the sign-in ends at the last "@" before the path.
        at = url.rfind('@', firstSlash == std::string_view::npos ? url.size() : firstSlash);
    } else if (!isHostAndPort(url.substr(start, firstSlash - start))) {
        at = url.rfind('@');
    }
    if (at == std::string_view::npos || at < start) return split;
    std::string_view userInfo = url.substr(start, at - start);
    size_t colon = userInfo.find(':');
    split.present = true;
    split.user = percentDecoded(userInfo.substr(0, colon));
    if (colon != std::string_view::npos) split.password = percentDecoded(userInfo.substr(colon + 1));
    split.address = std::string(url.substr(0, start)) + std::string(url.substr(at + 1));
    return split;
}

std::string withoutPassword(std::string_view url) {
    return splitSignIn(url).address;
}

}  // namespace quendro
