#include "platform/http_exchange.h"

#include <cctype>


namespace quendro {
namespace {

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
        received->storesGzip = false;
    }
    headerValue(line, "etag", received->validators.etag);
    headerValue(line, "last-modified", received->validators.lastModified);
    headerValue(line, "date", received->date);
    std::string gzip;
    if (headerValue(line, "x-quendro-stores-gzip", gzip)) received->storesGzip = gzip == "1";
    return size * count;
}

int askCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

}  // namespace

EasyHandle prepareExchange(std::string_view url, const TransferLimits& limits,
                           const HttpSignIn& signIn, const std::atomic<bool>* cancel,
                           const CurlShare* share, Received& received) {
    EasyHandle curl(curl_easy_init());
    if (!curl) return curl;
    configureTransfer(curl.get(), std::string(url), limits, received.body);
    if (share) share->attach(curl.get());
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

void makePut(CURL* curl, UploadSource& source) {
    configureUpload(curl, source);
    // A password in the URL is sent as basic authentication.
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
}

HttpAnswer answerOf(CURL* curl, CURLcode code, Received& received) {
    HttpAnswer answer;
    if (code != CURLE_OK) {
        // Told by its kind alone: libcurl's own words are English.
        answer.failure = failureOfCode(code, transferEndOf(curl, received.body.overflow));
        if (answer.failure == DownloadFailure::Certificate) {
            answer.certificate = certificateProblemOf(curl, code);
            answer.host = hostOf(curl);
        }
        return answer;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    answer.body = std::move(received.body.bytes);
    answer.validators = std::move(received.validators);
    answer.storesGzip = received.storesGzip;
    answer.lengthStated = bodyLengthStated(curl);
    return answer;
}

}  // namespace quendro
