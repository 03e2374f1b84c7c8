#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/curl_share.h"
#include "platform/internet_transfer.h"
#include "platform/transfer_limits.h"

namespace quendro {

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

// Why a transfer that ended with code refused the server's certificate; None
// when it did not.
CertificateProblem certificateProblemOf(CURL* curl, CURLcode code);
// The host of the transfer's address, in lower case.
std::string hostOf(CURL* curl);

// The bytes of a PUT, handed to libcurl piece by piece; they outlive the transfer.
struct UploadSource {
    std::string_view bytes;
    std::size_t sent = 0;
};

// Makes a transfer set up by configureTransfer a PUT of the source's bytes.
void configureUpload(CURL* curl, UploadSource& source);

// Whether the server stated where the finished answer's body ends: a
// Content-Length, a chunked body's last chunk, or an HTTP/2 stream's end. A
// body that only the connection's close ended may have lost its tail on the
// way; libcurl itself fails a body cut short of a stated end.
bool bodyLengthStated(CURL* curl);

// What a transfer had come to when libcurl ended it.
struct TransferEnd {
    bool connected = false;  // a connection to the server was made
    bool answered = false;   // the status line of an answer came
    bool overflow = false;   // the body grew past the cap
};
// The kind of failure of a transfer that libcurl ended with code: the one
// rule by which every transfer's failure is told (None for CURLE_OK, whose
// answer's status the caller looks at).
DownloadFailure failureOfCode(CURLcode code, const TransferEnd& end);
// What the finished transfer had come to; overflow as its sink says.
TransferEnd transferEndOf(CURL* curl, bool overflow);

// How a finished transfer ended, from perform's code and the sink; the body is
// moved out of the sink when the transfer succeeded. A 3xx answer is a
// BadRedirect here: the caller that follows redirects looks at it first.
Download finishTransfer(CURL* curl, CURLcode code, BodySink& sink);

// Whether the address goes over TLS: its scheme is https, in any case.
bool overTls(std::string_view url);

// The address that a finished 3xx answer points to, when it stays on http or
// https and on the host of from; empty otherwise.
std::optional<std::string> sameHostRedirect(CURL* curl, const std::string& from);

// One whole download over an easy handle of its own, following redirects that
// stay on the same host, at most limits.maxRedirects of them. When stopped is
// given, the download ends soon (as Cancelled) once it returns true; it is
// asked from libcurl's thread about once a second, or more often. With a
// share, the download takes a connection left open by an earlier one.
Download downloadWithCurl(const std::string& url, const TransferLimits& limits,
                          const std::function<bool()>& stopped = {},
                          const CurlShare* share = nullptr);

}  // namespace quendro
