#pragma once

#include <atomic>
#include <thread>

#include "platform/files.h"
#include "platform/internet_transfer.h"

namespace quendro {

// The internet transfer component over libcurl: HTTP (or whatever scheme the
// base URL names) with time limits, so that an unreachable server never hangs
// the window for long.
class CurlTransfer : public InternetTransfer {
  public:
    struct Limits {
        long connectSeconds = 10;
        long transferSeconds = 120;
    };

    // The file system reads the local file that a PUT sends.
    explicit CurlTransfer(FileSystem& files) : CurlTransfer(files, Limits{}) {}
    CurlTransfer(FileSystem& files, Limits limits);
    ~CurlTransfer() override;
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    std::optional<std::string> openUrl(std::u16string_view url) override;
    void setUrl(std::u16string url) override { url_ = std::move(url); }
    const std::u16string& url() const override { return url_; }
    bool execute(std::u16string_view url, std::u16string_view operation) override;
    bool stillExecuting() override { return running_.load(); }
    bool executeFailed() override { return !running_.load() && failed_.load(); }

  private:
    void waitForTransfer();

    FileSystem& files_;
    Limits limits_;
    std::u16string url_;
    std::thread transfer_;
    std::atomic<bool> running_{false};
    std::atomic<bool> failed_{false};
};

}  // namespace quendro
