#include "platform/http_client.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>

#include "platform/curl_options.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// Where an answer's body and validators go as they arrive.
struct Received {
    BodySink body;
    Validators validators;
    std::string date;  // the answer's Date
};

// The header's value when its name is name (ignoring case), without the line end.
bool headerValue(std::string_view line, std::string_view name, std::string& value) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    }
    std::string_view rest = line.substr(name.size() + 1);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n' || rest.back() == ' '))
        rest.remove_suffix(1);
    value = std::string(rest);
    return true;
}

size_t collectHeader(char* data, size_t size, size_t count, void* target) {
    auto* received = static_cast<Received*>(target);
    std::string_view line(data, size * count);
    // A redirect or a 100 Continue starts a new set of headers.
    if (line.substr(0, 5) == "HTTP/") {
        received->validators = {};
        received->date.clear();
    }
    headerValue(line, "etag", received->validators.etag);
    headerValue(line, "last-modified", received->validators.lastModified);
    headerValue(line, "date", received->date);
    return size * count;
}

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

HttpAnswer perform(CURL* curl, Received& received) {
    HttpAnswer answer;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        // A body over the cap: announced in advance, or found as it came.
        bool tooLarge = received.body.overflow || code == CURLE_FILESIZE_EXCEEDED;
        answer.error = tooLarge ? "body too large" : (*error ? error : curl_easy_strerror(code));
        CertificateProblem problem = certificateProblemOf(curl, code);
        if (problem != CertificateProblem::None) {
            answer.certificate = problem;
            answer.error = toUtf8(certificateFailureWord(decodeShiftJis(hostOf(curl)), problem));
        }
        return answer;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    answer.body = std::move(received.body.bytes);
    answer.validators = std::move(received.validators);
    return answer;
}

TransferLimits publisherLimits() {
    TransferLimits limits;
    limits.stallSeconds = 30;
    return limits;
}

}  // namespace

HttpClient::HttpClient() : HttpClient(publisherLimits()) {}

HttpClient::HttpClient(Limits limits) : limits_(limits) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

HttpClient::~HttpClient() {
    curl_global_cleanup();
}

namespace {

int askCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

Easy prepare(std::string_view url, const HttpClient::Limits& limits, const HttpSignIn& signIn,
             const std::atomic<bool>* cancel, Received& received) {
    Easy curl(curl_easy_init());
    if (!curl) return curl;
    configureTransfer(curl.get(), std::string(url), limits, received.body);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, collectHeader);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &received);
    if (!signIn.user.empty()) {
        curl_easy_setopt(curl.get(), CURLOPT_USERNAME, signIn.user.c_str());
        curl_easy_setopt(curl.get(), CURLOPT_PASSWORD, signIn.password.c_str());
    } else if (signIn.netrc) {
        curl_easy_setopt(curl.get(), CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
        if (!signIn.netrcFile.empty())
            curl_easy_setopt(curl.get(), CURLOPT_NETRC_FILE, signIn.netrcFile.c_str());
    }
    if (cancel) {
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, askCancelled);
        curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel));
        curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    }
    return curl;
}

}  // namespace

HttpAnswer HttpClient::get(std::string_view url, const Validators& since) const {
    Received received;
    Easy curl = prepare(url, limits_, signIn_, cancel_, received);
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
    HttpAnswer answer = perform(curl.get(), received);
    // Unchanged: the validators stay those of the body the caller holds.
    if (answer.status == 304 && answer.validators.empty()) answer.validators = since;
    if (answer.status == 200 && changedWithinTheSecond(answer.validators, received.date))
        answer.validators = {};
    return answer;
}

HttpAnswer HttpClient::put(std::string_view url, std::string_view bytes) const {
    Received received;
    Easy curl = prepare(url, limits_, signIn_, cancel_, received);
    if (!curl) return HttpAnswer{0, {}, {}, "no transfer handle"};
    UploadSource upload{bytes};
    configureUpload(curl.get(), upload);
    // A password in the URL is sent as basic authentication.
    curl_easy_setopt(curl.get(), CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    return perform(curl.get(), received);
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
