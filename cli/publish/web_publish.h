#pragma once

#include <ostream>
#include <string>

#include "cli/publish/uploader.h"
#include "cli/publish/web_data.h"

namespace quendro {

// Sends the web data that is due below the meet's folder (meetUrl): the heats'
// files and the meet's other files together, meet.json after them. Only files
// whose bytes changed go; what failed stays due. False when the server failed
// (failure says why).
bool sendWebData(WebData& web, Uploader& uploader, const std::string& meetUrl, std::ostream& out,
                 std::string& failure);

}  // namespace quendro
