#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/internet_transfer.h"

namespace quendro {

// The limits that every transfer with the publisher's server keeps to, so that
// no server can hang the window or fill the machine's memory.
struct TransferLimits {
    long connectSeconds = 10;    // to open the connection
    long transferSeconds = 120;  // for the whole transfer, as a last resort
    long stallSeconds = 10;      // a server that sends nothing for this long is given up
    std::size_t maxBodyBytes = std::size_t{64} << 20;  // 64 MB
    int maxRedirects = 5;
};

// Where libcurl puts a body as it arrives; past the cap the transfer stops.
struct BodySink {
    std::string bytes;
    std::size_t cap = 0;
    bool overflow = false;
};

// Sets up an easy handle for one transfer of url: connect, stall and overall
// time limits, http and https only, the body into sink up to limits.maxBodyBytes.
// libcurl follows no redirect itself: sameHostRedirect says whether one may be
// followed. Transfers started through libcurl's multi interface use this too.
// A PUT adds its upload options afterwards.
void configureTransfer(CURL* curl, const std::string& url, const TransferLimits& limits,
                       BodySink& sink);

// How a finished transfer ended, from perform's code and the sink; the body is
// moved out of the sink when the transfer succeeded. A 3xx answer is a
// BadRedirect here: the caller that follows redirects looks at it first.
Download finishTransfer(CURL* curl, CURLcode code, BodySink& sink);

// The address that a finished 3xx answer points to, when it stays on http or
// https and on the host of from; empty otherwise.
std::optional<std::string> sameHostRedirect(CURL* curl, const std::string& from);

// One whole download over an easy handle of its own, following redirects that
// stay on the same host, at most limits.maxRedirects of them. When stopped is
// given, the download ends soon (as no answer) once it returns true; it is
// asked from libcurl's thread about once a second, or more often.
Download downloadWithCurl(const std::string& url, const TransferLimits& limits,
                          const std::function<bool()>& stopped = {});

}  // namespace quendro
