#include "platform/curl_batch.h"

#include <curl/curl.h>

#include <memory>
#include <unordered_map>

#include "platform/curl_multi.h"

namespace quendro {
namespace {

// The batch's own part: each body read in list order, the handles kept for
// the next URLs, a redirect on the host followed.
class CurlBatch : public BatchDownload, private CurlMulti::Transfers {
  public:
    CurlBatch(std::vector<std::optional<std::string>> urls, CurlTransfer::Limits limits,
              DownloadProgress progress, MultiPolicy policy, std::function<bool()> stopped,
              const CurlShare* share)
        : urls_(std::move(urls)),
          limits_(limits),
          progress_(std::move(progress)),
          stopped_(std::move(stopped)),
          taken_(urls_.size(), false),
          share_(share),
          multi_(urls_.size(), policy, *this, stopped_) {}

    Download body(size_t i) override {
        if (i >= urls_.size() || taken_[i]) return {};
        multi_.runUntil(i, [this, i] { return ready_.count(i) > 0; });
        auto found = ready_.find(i);
        if (found == ready_.end()) return {};
        Download result = std::move(found->second);
        ready_.erase(found);
        taken_[i] = true;
        return result;
    }

  private:
    // An easy handle with the body of its transfer; reused for the next URL so
    // that its connection stays open.
    struct Handle {
        struct Cleanup {
            void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
        };
        std::unique_ptr<CURL, Cleanup> easy;
        BodySink sink;
    };

    Begun begin(size_t i) override {
        if (!urls_[i]) {
            Download refused;
            refused.failure = DownloadFailure::BadAddress;
            finish(i, std::move(refused));
            return {};
        }
        std::unique_ptr<Handle> handle;
        if (idle_.empty()) {
            handle = std::make_unique<Handle>();
            handle->easy.reset(curl_easy_init());
        } else {
            handle = std::move(idle_.back());
            idle_.pop_back();
        }
        if (!handle->easy) {
            finish(i, Download{});
            return {};
        }
        handle->sink = BodySink{};
        CURL* easy = handle->easy.get();
        configureTransfer(easy, *urls_[i], limits_, handle->sink);
        if (share_) share_->attach(easy);
        busy_[i] = std::move(handle);
        return {easy, *urls_[i]};
    }

    void finished(size_t i, CURL* easy, CURLcode code) override {
        std::unique_ptr<Handle> handle = release(i);
        Download result = finishTransfer(easy, code, handle->sink);
        // A redirect that stays on the host is followed as download() does,
        // on a handle of its own.
        if (result.failure == DownloadFailure::BadRedirect && code == CURLE_OK &&
            sameHostRedirect(easy, *urls_[i])) {
            result = downloadWithCurl(*urls_[i], limits_, stopped_, share_);
        }
        idle_.push_back(std::move(handle));
        finish(i, std::move(result));
    }

    // Stopped (cancelled), or never under way: a download without an answer.
    void dropped(size_t i, CurlMulti::Dropped why) override {
        if (std::unique_ptr<Handle> handle = release(i)) idle_.push_back(std::move(handle));
        finish(i, why == CurlMulti::Dropped::Stopped ? cancelledDownload() : Download{});
    }

    std::unique_ptr<Handle> release(size_t i) {
        auto found = busy_.find(i);
        if (found == busy_.end()) return nullptr;
        std::unique_ptr<Handle> handle = std::move(found->second);
        busy_.erase(found);
        return handle;
    }

    void finish(size_t index, Download result) {
        ready_[index] = std::move(result);
        ++done_;
        if (progress_) progress_(done_, urls_.size());
    }

    std::vector<std::optional<std::string>> urls_;
    CurlTransfer::Limits limits_;
    DownloadProgress progress_;
    std::function<bool()> stopped_;
    std::vector<bool> taken_;
    const CurlShare* share_;
    std::unordered_map<size_t, Download> ready_;
    size_t done_ = 0;
    // The handles outlive the multi handle, which lets go of them first.
    std::vector<std::unique_ptr<Handle>> idle_;
    std::unordered_map<size_t, std::unique_ptr<Handle>> busy_;
    CurlMulti multi_;
};

}  // namespace

std::unique_ptr<BatchDownload> makeCurlBatch(std::vector<std::optional<std::string>> urls,
                                             CurlTransfer::Limits limits,
                                             DownloadProgress progress, MultiPolicy policy,
                                             std::function<bool()> stopped,
                                             const CurlShare* share) {
    return std::make_unique<CurlBatch>(std::move(urls), limits, std::move(progress), policy,
                                       std::move(stopped), share);
}

}  // namespace quendro
