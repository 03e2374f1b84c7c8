#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/certificate_problem.h"
#include "platform/http_client.h"
#include "platform/transfer_failure.h"

namespace quendro {

struct Download {
    DownloadFailure failure = DownloadFailure::NoAnswer;
    long status = 0;   // HTTP status of the last answer; 0 when none came
    std::string body;  // the whole body when ok()
    // The server stated where the body ends (bodyLengthStated): a body without
    // it ended when the connection closed, and may have lost its tail.
    bool lengthStated = false;
    // For a Certificate failure: why, and the host that showed the certificate.
    CertificateProblem certificate = CertificateProblem::None;
    std::string host;
    bool ok() const { return failure == DownloadFailure::None; }
};

// A download the user stopped.
Download cancelledDownload();

// What went wrong, in the words of the status line ("" when nothing did):
// transferFailureWord of its kind.
std::u16string downloadFailureWord(const Download& download);

// How far a batch of downloads has come: done of total transfers ended.
using DownloadProgress = std::function<void(size_t done, size_t total)>;

// Downloads of a list of URLs, fetched ahead of need, several at a time.
class BatchDownload {
  public:
    virtual ~BatchDownload() = default;
    // How the download of URL i of the list ended, as download() tells it,
    // waiting for it when it has not ended yet. Each is handed out once; asked
    // again, or for no URL of the list, it is a download without an answer.
    virtual Download body(size_t i) = 0;
};

// The internet transfer component of the window: downloads from the publisher's
// web server and sends the season meet list back to it.
class InternetTransfer {
  public:
    virtual ~InternetTransfer() = default;

    // The whole body of the resource at url, in one blocking call. Empty when the
    // download failed: no answer, an error status (400 and above), a body cut
    // short or too large, a stalled server, a URL that cannot be used.
    virtual std::optional<std::string> openUrl(std::u16string_view url) = 0;

    // The same download, telling how it ended (the status of an error page, a
    // stall, a cut). A component that knows no more than openUrl tells only
    // whether a body came.
    virtual Download download(std::u16string_view url) {
        Download result;
        if (auto body = openUrl(url)) {
            result.failure = DownloadFailure::None;
            result.body = std::move(*body);
        }
        return result;
    }
    // Downloads the URLs, in list order, several at a time where the component
    // can, each under the same rules as download(). Progress is told as transfers end.
    virtual std::unique_ptr<BatchDownload> openUrls(std::vector<std::u16string> urls,
                                                    DownloadProgress progress = {});

    // The component's current URL.
    virtual void setUrl(std::u16string url) = 0;
    virtual const std::u16string& url() const = 0;

    // Starts an operation against url and returns at once; the transfer goes on
    // inside the component. The operation used is "PUT <local file>", which sends
    // that file. False when the operation cannot be started.
    virtual bool execute(std::u16string_view url, std::u16string_view operation) = 0;
    // True while an executed transfer runs.
    virtual bool stillExecuting() = 0;
    // True when the last executed transfer has ended without the server taking it.
    virtual bool executeFailed() = 0;

    // Asks the downloads running now, on any thread, to stop soon; each then
    // ends as Cancelled. Later downloads are not affected.
    virtual void cancel() {}
    // A download made again only when the resource changed since the validators
    // of an earlier one (a conditional GET). Empty when no usable answer came (no
    // connection, an error status); changed is false when the server answered
    // that nothing changed. Without validators it downloads whole. Safe to call
    // from a thread of its own while the window uses the component. A component
    // that knows no conditions downloads whole every time.
    struct ChangedBody {
        bool changed = true;
        std::string body;
        Validators validators;
    };
    virtual std::optional<ChangedBody> openUrlIfChanged(std::u16string_view url,
                                                        const Validators& since);
};

// The body of a download as text: the server's files are Shift-JIS.
std::optional<std::u16string> openUrlAsText(InternetTransfer& inet, std::u16string_view url);

}  // namespace quendro
