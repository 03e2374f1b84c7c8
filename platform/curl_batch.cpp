#include "platform/curl_batch.h"

#include <curl/curl.h>

#include <algorithm>
#include <unordered_map>

namespace quendro {
namespace {

class CurlBatch : public BatchDownload {
  public:
    CurlBatch(std::vector<std::optional<std::string>> urls, CurlTransfer::Limits limits,
              DownloadProgress progress, size_t parallel, size_t ahead,
              std::function<bool()> stopped, const CurlShare* share)
        : urls_(std::move(urls)),
          limits_(limits),
          progress_(std::move(progress)),
          stopped_(std::move(stopped)),
          ahead_(ahead),
          taken_(urls_.size(), false),
          multi_(curl_multi_init()),
          slots_(parallel == 0 ? 1 : parallel),
          share_(share) {
        if (multi_) {
            // At most kConnections connections: HTTP/1.1 takes one a transfer,
            // HTTP/2 carries them all as streams of one.
            long connections = static_cast<long>(std::min(slots_.size(), kConnections));
            curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, connections);
            curl_multi_setopt(multi_, CURLMOPT_MAX_TOTAL_CONNECTIONS, connections);
            curl_multi_setopt(multi_, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
        }
    }
    static constexpr size_t kConnections = 8;

    ~CurlBatch() override {
        for (Slot& slot : slots_) {
            if (slot.easy && slot.busy) curl_multi_remove_handle(multi_, slot.easy);
            if (slot.easy) curl_easy_cleanup(slot.easy);
        }
        if (multi_) curl_multi_cleanup(multi_);
    }

    CurlBatch(const CurlBatch&) = delete;
    CurlBatch& operator=(const CurlBatch&) = delete;

    Download body(size_t i) override {
        if (i >= urls_.size() || taken_[i] || !multi_) return {};
        for (;;) {
            if (auto found = ready_.find(i); found != ready_.end()) {
                Download result = std::move(found->second);
                ready_.erase(found);
                taken_[i] = true;
                return result;
            }
            if (stopped_ && stopped_()) stopAll();
            if (ready_.count(i)) continue;
            startMore(i);
            if (i >= next_ && !anyBusy()) return {};  // no handle could be had
            int running = 0;
            curl_multi_perform(multi_, &running);
            collectFinished();
            if (ready_.count(i)) continue;
            curl_multi_poll(multi_, nullptr, 0, 100, nullptr);
        }
    }

  private:
    struct Slot {
        CURL* easy = nullptr;
        BodySink sink;
        size_t index = 0;
        bool busy = false;
    };

    bool anyBusy() const {
        for (const Slot& slot : slots_) {
            if (slot.busy) return true;
        }
        return false;
    }

    // Ends every transfer still running or not yet started as a download
    // without an answer; nothing starts after it.
    void stopAll() {
        for (Slot& slot : slots_) {
            if (!slot.busy) continue;
            curl_multi_remove_handle(multi_, slot.easy);
            slot.busy = false;
            finish(slot.index, Download{});
        }
        while (next_ < urls_.size()) finish(next_++, Download{});
    }

    // Starts transfers in list order on free handles, up to `ahead` URLs past i.
    void startMore(size_t i) {
        for (size_t s = 0; s < slots_.size() && next_ < urls_.size(); ++s) {
            Slot& slot = slots_[s];
            if (slot.busy) continue;
            if (next_ > i && next_ - i >= ahead_) break;
            if (!urls_[next_]) {
                Download refused;
                refused.failure = DownloadFailure::BadAddress;
                finish(next_++, std::move(refused));
                continue;
            }
            if (!slot.easy) slot.easy = curl_easy_init();
            if (!slot.easy) break;
            slot.index = next_++;
            slot.busy = true;
            slot.sink = BodySink{};
            configureTransfer(slot.easy, *urls_[slot.index], limits_, slot.sink);
            if (share_) share_->attach(slot.easy);
            // Over https, rather a stream of the connection being opened
            // than a new one.
            curl_easy_setopt(slot.easy, CURLOPT_PIPEWAIT, overTls(*urls_[slot.index]) ? 1L : 0L);
            curl_easy_setopt(slot.easy, CURLOPT_PRIVATE, &slot);
            if (curl_multi_add_handle(multi_, slot.easy) != CURLM_OK) {
                slot.busy = false;
                finish(slot.index, Download{});
            }
        }
    }

    void collectFinished() {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            Slot* slot = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &slot);
            if (!slot) continue;
            CURLcode code = message->data.result;
            curl_multi_remove_handle(multi_, slot->easy);
            slot->busy = false;
            Download result = finishTransfer(slot->easy, code, slot->sink);
            // A redirect that stays on the host is followed as download() does,
            // on a handle of its own.
            if (result.failure == DownloadFailure::BadRedirect && code == CURLE_OK &&
                sameHostRedirect(slot->easy, *urls_[slot->index])) {
                result = downloadWithCurl(*urls_[slot->index], limits_, stopped_, share_);
            }
            finish(slot->index, std::move(result));
        }
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
    size_t ahead_;
    std::vector<bool> taken_;
    CURLM* multi_;
    std::vector<Slot> slots_;
    const CurlShare* share_;
    std::unordered_map<size_t, Download> ready_;
    size_t next_ = 0;
    size_t done_ = 0;
};

}  // namespace

std::unique_ptr<BatchDownload> makeCurlBatch(std::vector<std::optional<std::string>> urls,
                                             CurlTransfer::Limits limits,
                                             DownloadProgress progress, size_t parallel,
                                             size_t ahead, std::function<bool()> stopped,
                                             const CurlShare* share) {
    return std::make_unique<CurlBatch>(std::move(urls), limits, std::move(progress), parallel,
                                       ahead == 0 ? 1 : ahead, std::move(stopped), share);
}

}  // namespace quendro
