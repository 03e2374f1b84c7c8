#pragma once

#include <atomic>
#include <thread>

#include "platform/curl_multi.h"
#include "platform/curl_options.h"
#include "platform/curl_share.h"
#include "platform/files.h"
#include "platform/internet_transfer.h"

namespace quendro {

// The internet transfer component over libcurl: HTTP or HTTPS with time, stall
// and size limits, so that no server can hang the window for long or fill the
// memory, and redirects only to the same host.
class CurlTransfer : public InternetTransfer {
  public:
    using Limits = TransferLimits;

    // The file system reads the local file that a PUT sends.
    explicit CurlTransfer(FileSystem& files) : CurlTransfer(files, Limits{}) {}
    CurlTransfer(FileSystem& files, Limits limits);
    ~CurlTransfer() override;
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    std::optional<std::string> openUrl(std::u16string_view url) override;
    Download download(std::u16string_view url) override;
    // Up to kParallel transfers at a time over connections kept open between
    // them (over https kStreams, as streams of one HTTP/2 connection), started
    // in list order and at most kAhead (kStreamsAhead) URLs ahead of the one
    // asked for, so that the bodies waiting to be taken stay few; each under
    // the same limits and redirect rules as download().
    std::unique_ptr<BatchDownload> openUrls(std::vector<std::u16string> urls,
                                            DownloadProgress progress = {}) override;
    static constexpr size_t kParallel = MultiPolicy::kConnections;
    static constexpr size_t kAhead = MultiPolicy::kDownloadsAhead;
    static constexpr size_t kStreams = MultiPolicy::kDownloadStreams;
    static constexpr size_t kStreamsAhead = MultiPolicy::kDownloadStreamsAhead;
    void setUrl(std::u16string url) override { url_ = std::move(url); }
    const std::u16string& url() const override { return url_; }
    bool execute(std::u16string_view url, std::u16string_view operation) override;
    bool stillExecuting() override { return running_.load(); }
    bool executeFailed() override { return !running_.load() && failed_.load(); }
    void cancel() override { ++cancels_; }
    std::optional<ChangedBody> openUrlIfChanged(std::u16string_view url,
                                                const Validators& since) override;

  private:
    void waitForTransfer();

    FileSystem& files_;
    Limits limits_;
    // Every transfer's connections: the next download to the same server
    // takes the one left open (and its TLS session) by the one before.
    CurlShare share_;
    // The checks of a shown lap file, on connections of their own, kept open
    // from one check to the next.
    HttpClient checks_;
    std::u16string url_;
    std::thread transfer_;
    std::atomic<bool> running_{false};
    std::atomic<bool> failed_{false};
    std::atomic<unsigned> cancels_{0};  // a download stops when this moves on
};

}  // namespace quendro
