#include "platform/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

#include "platform/curl_batch.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

// A URL holding a control character (a NUL above all) is refused before libcurl
// sees it, which would cut it at the NUL.
bool usableAddress(std::u16string_view url) {
    if (url.empty()) return false;
    for (char16_t c : url) {
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

// Sends the bytes; true when the server took them (a status of 2xx).
bool put(const std::string& url, const std::string& bytes, CurlTransfer::Limits limits,
         const CurlShare& share) {
    Easy curl(curl_easy_init());
    if (!curl) return false;
    BodySink answer;
    configureTransfer(curl.get(), url, limits, answer);
    share.attach(curl.get());
    UploadSource upload{bytes};
    configureUpload(curl.get(), upload);
    if (curl_easy_perform(curl.get()) != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    return status >= 200 && status < 300;
}

}  // namespace

namespace {

// A check is small and repeated: it gives up soon, so that a stalled server
// never holds it (nor the closing of the window, which waits for it) for long.
HttpClient::Limits checkLimits(const TransferLimits& limits) {
    HttpClient::Limits check;
    check.caFile = limits.caFile;
    check.connectSeconds = std::min(limits.connectSeconds, 5L);
    check.transferSeconds = std::min(limits.transferSeconds, 15L);
    check.stallSeconds = 5;
    return check;
}

}  // namespace

CurlTransfer::CurlTransfer(FileSystem& files, Limits limits)
    : files_(files), limits_(limits), checks_(checkLimits(limits)) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlTransfer::~CurlTransfer() {
    waitForTransfer();
    curl_global_cleanup();
}

void CurlTransfer::waitForTransfer() {
    if (transfer_.joinable()) transfer_.join();
}

std::optional<std::string> CurlTransfer::openUrl(std::u16string_view url) {
    Download result = download(url);
    if (!result.ok()) return std::nullopt;
    return std::move(result.body);
}

Download CurlTransfer::download(std::u16string_view url) {
    if (!usableAddress(url)) {
        Download refused;
        refused.failure = DownloadFailure::BadAddress;
        return refused;
    }
    // The download stops once cancel() has been called since it began.
    unsigned atStart = cancels_.load();
    return downloadWithCurl(
        toUtf8(url), limits_, [this, atStart] { return cancels_.load() != atStart; }, &share_);
}

std::unique_ptr<BatchDownload> CurlTransfer::openUrls(std::vector<std::u16string> urls,
                                                      DownloadProgress progress) {
    std::vector<std::optional<std::string>> addresses;
    addresses.reserve(urls.size());
    for (const auto& url : urls) {
        if (usableAddress(url)) {
            addresses.emplace_back(toUtf8(url));
        } else {
            addresses.emplace_back();
        }
    }
    bool secure = !urls.empty() && overTls(toUtf8(urls.front()));
    // Like download(), the batch stops once cancel() has been called since it began.
    unsigned atStart = cancels_.load();
    return makeCurlBatch(
        std::move(addresses), limits_, std::move(progress), downloadPolicy(secure),
        [this, atStart] { return cancels_.load() != atStart; }, &share_);
}

bool CurlTransfer::execute(std::u16string_view url, std::u16string_view operation) {
    constexpr std::u16string_view kPut = u"PUT ";
    if (operation.substr(0, kPut.size()) != kPut) return false;
    std::string bytes;
    if (files_.readBytes(operation.substr(kPut.size()), bytes) != FileStatus::Ok) return false;
    waitForTransfer();  // one transfer at a time, like the component
    if (!usableAddress(url)) return false;  // nothing starts, nothing runs
    running_ = true;
    failed_ = false;
    transfer_ = std::thread([this, address = toUtf8(url), bytes = std::move(bytes)] {
        failed_ = !put(address, bytes, limits_, share_);
        running_ = false;
    });
    return true;
}

std::optional<InternetTransfer::ChangedBody> CurlTransfer::openUrlIfChanged(
    std::u16string_view url, const Validators& since) {
    HttpAnswer answer = checks_.get(toUtf8(url), since);
    if (answer.status == 304) return ChangedBody{false, {}, answer.validators};
    if (!answer.ok()) return std::nullopt;
    return ChangedBody{true, std::move(answer.body), std::move(answer.validators)};
}

}  // namespace quendro
