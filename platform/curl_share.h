#pragma once

#include <curl/curl.h>

#include <array>
#include <mutex>

namespace quendro {

// What the transfers of one client share: open connections (an HTTP/2
// connection with its streams, or kept HTTP/1.1 ones), TLS sessions and looked
// up host names, so that the next download to the publisher pays no new
// handshake. Transfers on several threads may use it at once.
class CurlShare {
  public:
    CurlShare();
    ~CurlShare();
    CurlShare(const CurlShare&) = delete;
    CurlShare& operator=(const CurlShare&) = delete;

    // Makes the easy handle use what is shared; it must be let go (the
    // handle cleaned up) before this object goes.
    void attach(CURL* easy) const;

  private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self);
    static void unlock(CURL*, curl_lock_data data, void* self);

    CURLSH* share_;
    mutable std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
};

}  // namespace quendro
