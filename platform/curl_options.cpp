#include "platform/curl_options.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace quendro {
namespace {

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

size_t collectCapped(char* data, size_t size, size_t count, void* target) {
    auto* sink = static_cast<BodySink*>(target);
    size_t n = size * count;
    if (sink->bytes.size() + n > sink->cap) {
        sink->overflow = true;
        return 0;  // a short count ends the transfer with CURLE_WRITE_ERROR
    }
    sink->bytes.append(data, n);
    return n;
}

// Scheme and host of an address, the host in lower case; empty when it cannot be parsed.
std::optional<std::pair<std::string, std::string>> schemeAndHost(const std::string& address) {
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    char* scheme = nullptr;
    char* host = nullptr;
    std::optional<std::pair<std::string, std::string>> parts;
    if (curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        curl_url_get(url.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK) {
        std::string h = host;
        for (char& c : h) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        parts.emplace(scheme, h);
    }
    curl_free(scheme);
    curl_free(host);
    return parts;
}

bool connected(CURL* curl) {
    curl_off_t connect = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connect);
    return connect > 0;
}

}  // namespace

void configureTransfer(CURL* curl, const std::string& url, const TransferLimits& limits,
                       BodySink& sink) {
    sink.cap = limits.maxBodyBytes;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.transferSeconds);
    // Slower than about a kilobyte a second for stallSeconds: the server has
    // stopped, or drips its answer a few bytes at a time.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.stallBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    // A size announced in advance fails at once; any other body at the cap.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collectCapped);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    // Compressed answers are asked for; the sink, and so the size cap, sees
    // the bytes after decompression.
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    // HTTP/2 where TLS offers it; plain http stays HTTP/1.1.
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
    // A server's certificate is always verified, its name too: there is no
    // way around it. The system's authorities stay trusted (the certificate
    // folder); an extra file adds a publisher's own.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!limits.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, limits.caFile.c_str());
}

CertificateProblem certificateProblemOf(CURL* curl, CURLcode code) {
    if (code == CURLE_SSL_CACERT_BADFILE) return CertificateProblem::CaFileUnusable;
    if (code != CURLE_PEER_FAILED_VERIFICATION) return CertificateProblem::None;
    long result = 0;
    curl_easy_getinfo(curl, CURLINFO_SSL_VERIFYRESULT, &result);
    // OpenSSL's verify results (X509_V_ERR_...).
    switch (result) {
        // The chain held and the name did not: libcurl checks the name itself
        // and leaves the result as it stood before its checks (0 or 1).
        case 0:
        case 1: return CertificateProblem::WrongHost;
        case 2:    // unable to get issuer certificate
        case 18:   // self-signed certificate
        case 19:   // self-signed certificate in chain
        case 20:   // unable to get local issuer certificate
        case 21:   // unable to verify the first certificate
            return CertificateProblem::UnknownIssuer;
        case 9: return CertificateProblem::NotYetValid;
        case 10: return CertificateProblem::Expired;
        case 62: return CertificateProblem::WrongHost;  // hostname mismatch
        default: return CertificateProblem::Other;
    }
}

std::string hostOf(CURL* curl) {
    char* url = nullptr;
    curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &url);
    if (!url) return {};
    auto parts = schemeAndHost(url);
    return parts ? parts->second : std::string();
}

namespace {

size_t supplyUpload(char* buffer, size_t size, size_t count, void* target) {
    auto* source = static_cast<UploadSource*>(target);
    size_t n = std::min(size * count, source->bytes.size() - source->sent);
    std::memcpy(buffer, source->bytes.data() + source->sent, n);
    source->sent += n;
    return n;
}

// Back to an offset of the bytes: libcurl sends a body again when the server
// closed a kept connection under it (an HTTP/2 server's GOAWAY after its
// number of requests) and the request goes once more on a new one.
int seekUpload(void* target, curl_off_t offset, int origin) {
    auto* source = static_cast<UploadSource*>(target);
    if (origin != SEEK_SET || offset < 0 || static_cast<std::size_t>(offset) > source->bytes.size())
        return CURL_SEEKFUNC_CANTSEEK;
    source->sent = static_cast<std::size_t>(offset);
    return CURL_SEEKFUNC_OK;
}

}  // namespace

void configureUpload(CURL* curl, UploadSource& source) {
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, supplyUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &source);
    curl_easy_setopt(curl, CURLOPT_SEEKFUNCTION, seekUpload);
    curl_easy_setopt(curl, CURLOPT_SEEKDATA, &source);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(source.bytes.size()));
}

bool bodyLengthStated(CURL* curl) {
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
        length >= 0)
        return true;
    long version = 0;
    curl_easy_getinfo(curl, CURLINFO_HTTP_VERSION, &version);
    if (version >= CURL_HTTP_VERSION_2_0) return true;
    curl_header* coding = nullptr;
    if (curl_easy_header(curl, "Transfer-Encoding", 0, CURLH_HEADER, -1, &coding) != CURLHE_OK)
        return false;
    std::string value = coding->value;
    std::transform(value.begin(), value.end(), value.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return value.find("chunked") != std::string::npos;
}

DownloadFailure failureOfCode(CURLcode code, const TransferEnd& end) {
    switch (code) {
        case CURLE_OK: return DownloadFailure::None;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return DownloadFailure::NoHost;
        case CURLE_COULDNT_CONNECT: return DownloadFailure::NoConnection;
        case CURLE_OPERATION_TIMEDOUT:
            return end.connected ? DownloadFailure::Stalled : DownloadFailure::TimedOut;
        case CURLE_WRITE_ERROR:
        case CURLE_FILESIZE_EXCEEDED:
            return end.overflow || code == CURLE_FILESIZE_EXCEEDED ? DownloadFailure::TooLarge
                                                                   : DownloadFailure::CutShort;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            return end.answered ? DownloadFailure::CutShort : DownloadFailure::NoAnswer;
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM: return DownloadFailure::NoAnswer;
        case CURLE_URL_MALFORMAT: return DownloadFailure::BadAddress;
        case CURLE_UNSUPPORTED_PROTOCOL:
            // A scheme other than http or https; or, once connected, an answer
            // that is no HTTP at all.
            return end.connected ? DownloadFailure::NoAnswer : DownloadFailure::BadAddress;
        case CURLE_BAD_CONTENT_ENCODING: return DownloadFailure::Damaged;
        case CURLE_TOO_MANY_REDIRECTS: return DownloadFailure::BadRedirect;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE: return DownloadFailure::Certificate;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CLIENTCERT: return DownloadFailure::SecureLink;
        // Only the transfer's stop callback aborts it: the user stopped it.
        case CURLE_ABORTED_BY_CALLBACK: return DownloadFailure::Cancelled;
        default: return DownloadFailure::Other;
    }
}

TransferEnd transferEndOf(CURL* curl, bool overflow) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return TransferEnd{connected(curl), status > 0, overflow};
}

Download finishTransfer(CURL* curl, CURLcode code, BodySink& sink) {
    Download result;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    if (code != CURLE_OK) {
        result.failure = failureOfCode(code, transferEndOf(curl, sink.overflow));
        if (result.failure == DownloadFailure::Certificate) {
            result.certificate = certificateProblemOf(curl, code);
            result.host = hostOf(curl);
        }
    } else if (result.status >= 400) {
        result.failure = DownloadFailure::ErrorStatus;
    } else if (result.status >= 300) {
        result.failure = DownloadFailure::BadRedirect;
    } else {
        result.failure = DownloadFailure::None;
        result.body = std::move(sink.bytes);
        result.lengthStated = bodyLengthStated(curl);
    }
    return result;
}

bool overTls(std::string_view url) {
    constexpr std::string_view kHttps = "https://";
    return url.size() >= kHttps.size() &&
           std::equal(kHttps.begin(), kHttps.end(), url.begin(), [](char want, char c) {
               return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == want;
           });
}

std::optional<std::string> sameHostRedirect(CURL* curl, const std::string& from) {
    char* location = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) != CURLE_OK || !location)
        return std::nullopt;
    std::string target = location;
    auto origin = schemeAndHost(from);
    auto next = schemeAndHost(target);
    if (!origin || !next) return std::nullopt;
    if (next->first != "http" && next->first != "https") return std::nullopt;
    if (next->second != origin->second) return std::nullopt;
    return target;
}

namespace {

int askStopped(void* stopped, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return (*static_cast<const std::function<bool()>*>(stopped))() ? 1 : 0;
}

}  // namespace

Download downloadWithCurl(const std::string& url, const TransferLimits& limits,
                          const std::function<bool()>& stopped, const CurlShare* share) {
    std::string address = url;
    for (int redirects = 0;; ++redirects) {
        if (stopped && stopped()) return cancelledDownload();
        std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
        if (!curl) return Download{};
        BodySink sink;
        configureTransfer(curl.get(), address, limits, sink);
        if (share) share->attach(curl.get());
        if (stopped) {
            curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, askStopped);
            curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &stopped);
            curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
        }
        CURLcode code = curl_easy_perform(curl.get());
        Download result = finishTransfer(curl.get(), code, sink);
        if (result.failure != DownloadFailure::BadRedirect || code != CURLE_OK) return result;
        auto next = sameHostRedirect(curl.get(), address);
        if (!next || redirects >= limits.maxRedirects) return result;
        address = *next;
    }
}

}  // namespace quendro
