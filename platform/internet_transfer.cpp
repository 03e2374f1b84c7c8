#include "platform/internet_transfer.h"

#include "platform/shift_jis.h"
#include "platform/text_rules.h"

namespace quendro {

Download cancelledDownload() {
    Download stopped;
    stopped.failure = DownloadFailure::Cancelled;
    return stopped;
}

std::u16string downloadFailureWord(const Download& download) {
    return transferFailureWord(download.failure, download.status, download.certificate,
                               decodeShiftJis(download.host));
}

namespace {

// One download after the other, each when it is asked for.
class SequentialDownload : public BatchDownload {
  public:
    SequentialDownload(InternetTransfer& inet, std::vector<std::u16string> urls,
                       DownloadProgress progress)
        : inet_(inet), urls_(std::move(urls)), progress_(std::move(progress)) {}

    Download body(size_t i) override {
        if (i >= urls_.size()) return {};
        Download result = inet_.download(urls_[i]);
        if (progress_) progress_(++done_, urls_.size());
        return result;
    }

  private:
    InternetTransfer& inet_;
    std::vector<std::u16string> urls_;
    DownloadProgress progress_;
    size_t done_ = 0;
};

}  // namespace

std::unique_ptr<BatchDownload> InternetTransfer::openUrls(std::vector<std::u16string> urls,
                                                          DownloadProgress progress) {
    return std::make_unique<SequentialDownload>(*this, std::move(urls), std::move(progress));
}

std::optional<std::u16string> openUrlAsText(InternetTransfer& inet, std::u16string_view url) {
    auto body = inet.openUrl(url);
    if (!body) return std::nullopt;
    return decodeShiftJis(*body);
}

std::optional<InternetTransfer::ChangedBody> InternetTransfer::openUrlIfChanged(
    std::u16string_view url, const Validators&) {
    auto body = openUrl(url);
    if (!body) return std::nullopt;
    return ChangedBody{true, std::move(*body), {}};
}

}  // namespace quendro
