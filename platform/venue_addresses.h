#pragma once

#include <string>
#include <vector>

namespace quendro {

// This machine's IPv4 addresses on its networks, loopback left out, in the
// order the system lists its interfaces: where phones at the venue reach it.
std::vector<std::string> venueAddresses();

}  // namespace quendro
