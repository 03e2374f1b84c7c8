#pragma once

#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "platform/curl_options.h"
#include "platform/curl_share.h"
#include "platform/http_client.h"

namespace quendro {

// The parts of one exchange of HttpClient, shared by its single calls and its
// batch of uploads.

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

// Where an answer's body and headers go as they arrive.
struct Received {
    BodySink body;
    Validators validators;
    std::string date;  // the answer's Date
    bool storesGzip = false;  // X-Quendro-Stores-Gzip: 1
};

// Everything a client's transfer of url is set up with: the limits, the
// sign-in, the cancel flag (null: none), the client's share of connections
// (null: none) and where the answer goes. Null when libcurl gave no handle.
EasyHandle prepareExchange(std::string_view url, const TransferLimits& limits,
                           const HttpSignIn& signIn, const std::atomic<bool>* cancel,
                           const CurlShare* share, Received& received);

// Makes a prepared exchange a PUT of the source's bytes, signing in with basic
// authentication.
void makePut(CURL* curl, UploadSource& source);

// The answer of a finished exchange that ended with code; the body is moved
// out of received.
HttpAnswer answerOf(CURL* curl, CURLcode code, Received& received);

}  // namespace quendro
