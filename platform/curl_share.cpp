#include "platform/curl_share.h"

namespace quendro {

namespace {

// The library stays set up for as long as the share lives, whatever order its
// owner's members go in.
CURLSH* newShare() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    return curl_share_init();
}

}  // namespace

CurlShare::CurlShare() : share_(newShare()) {
    if (!share_) return;
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlShare::lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlShare::unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
}

CurlShare::~CurlShare() {
    if (share_) curl_share_cleanup(share_);
    curl_global_cleanup();
}

void CurlShare::attach(CURL* easy) const {
    if (share_) curl_easy_setopt(easy, CURLOPT_SHARE, share_);
}

void CurlShare::lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    if (data >= 0 && data < CURL_LOCK_DATA_LAST)
        static_cast<CurlShare*>(self)->locks_[static_cast<size_t>(data)].lock();
}

void CurlShare::unlock(CURL*, curl_lock_data data, void* self) {
    if (data >= 0 && data < CURL_LOCK_DATA_LAST)
        static_cast<CurlShare*>(self)->locks_[static_cast<size_t>(data)].unlock();
}

}  // namespace quendro
