#include "platform/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/text_rules.h"

namespace quendro {
namespace {

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

size_t collectBody(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// The bytes of a PUT, handed to libcurl piece by piece.
struct Upload {
    std::string bytes;
    size_t sent = 0;
};

size_t supplyUpload(char* buffer, size_t size, size_t count, void* source) {
    auto* upload = static_cast<Upload*>(source);
    size_t n = std::min(size * count, upload->bytes.size() - upload->sent);
    std::memcpy(buffer, upload->bytes.data() + upload->sent, n);
    upload->sent += n;
    return n;
}

void setLimits(CURL* curl, const CurlTransfer::Limits& limits) {
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.transferSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
}

// Sends the bytes; true when the server took them (a status below 400).
bool put(const std::string& url, Upload upload, CurlTransfer::Limits limits) {
    Easy curl(curl_easy_init());
    if (!curl) return false;
    std::string answer;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_READFUNCTION, supplyUpload);
    curl_easy_setopt(curl.get(), CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl.get(), CURLOPT_INFILESIZE_LARGE,
                     static_cast<curl_off_t>(upload.bytes.size()));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &answer);
    setLimits(curl.get(), limits);
    if (curl_easy_perform(curl.get()) != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    return status > 0 && status < 400;
}

}  // namespace

CurlTransfer::CurlTransfer(FileSystem& files, Limits limits) : files_(files), limits_(limits) {
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
    Easy curl(curl_easy_init());
    if (!curl) return std::nullopt;
    std::string address = toUtf8(url);
    std::string body;
    curl_easy_setopt(curl.get(), CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    setLimits(curl.get(), limits_);
    if (curl_easy_perform(curl.get()) != CURLE_OK) return std::nullopt;
    return body;
}

bool CurlTransfer::execute(std::u16string_view url, std::u16string_view operation) {
    constexpr std::u16string_view kPut = u"PUT ";
    if (operation.substr(0, kPut.size()) != kPut) return false;
    Upload upload;
    if (files_.readBytes(operation.substr(kPut.size()), upload.bytes) != FileStatus::Ok)
        return false;
    waitForTransfer();  // one transfer at a time, like the component
    running_ = true;
    failed_ = false;
    transfer_ = std::thread([this, address = toUtf8(url), upload = std::move(upload)]() mutable {
        failed_ = !put(address, std::move(upload), limits_);
        running_ = false;
    });
    return true;
}

}  // namespace quendro
