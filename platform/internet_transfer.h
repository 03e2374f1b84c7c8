#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendro {

// The internet transfer component of the window: downloads from the publisher's
// web server and sends the season meet list back to it.
class InternetTransfer {
  public:
    virtual ~InternetTransfer() = default;

    // The whole body of the resource at url, in one blocking call. The HTTP status
    // is not looked at: an error page is a body like any other. Empty only when
    // no answer came (no connection, a broken transfer, a URL that cannot be used).
    virtual std::optional<std::string> openUrl(std::u16string_view url) = 0;

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
};

// The body of a download as text: the server's files are Shift-JIS.
std::optional<std::u16string> openUrlAsText(InternetTransfer& inet, std::u16string_view url);

}  // namespace quendro
