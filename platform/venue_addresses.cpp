#include "platform/venue_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>

namespace quendro {

std::vector<std::string> venueAddresses() {
    std::vector<std::string> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (ifaddrs* at = list; at; at = at->ifa_next) {
        if (!at->ifa_addr || at->ifa_addr->sa_family != AF_INET) continue;
        if ((at->ifa_flags & IFF_LOOPBACK) || !(at->ifa_flags & IFF_UP)) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(at->ifa_addr);
        if (!inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) continue;
        if (std::find(found.begin(), found.end(), text) == found.end()) found.emplace_back(text);
    }
    freeifaddrs(list);
    return found;
}

}  // namespace quendro
