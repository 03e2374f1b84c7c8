#pragma once

#include <cstddef>
#include <string>

namespace quendro {

// The limits that every transfer with the publisher's server keeps to, so that
// no server can hang the window or the publisher, nor fill the machine's memory.
struct TransferLimits {
    long connectSeconds = 10;    // to open the connection
    long transferSeconds = 120;  // for the whole transfer, as a last resort
    long stallSeconds = 10;      // a server that sends nothing for this long is given up,
    long stallBytesPerSecond = 1024;  // and so is one slower than this over that time
    std::size_t maxBodyBytes = std::size_t{64} << 20;  // 64 MB
    int maxRedirects = 5;  // for the downloads that follow redirects at all
    // A file of certificate authorities trusted beside the system's (a
    // publisher's own CA); empty: the system's only. A server's certificate is
    // always verified, its host name included.
    std::string caFile{};
};

}  // namespace quendro
