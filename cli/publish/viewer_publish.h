#pragma once

#include <ostream>

#include "cli/publish/publish_options.h"
#include "cli/publish/uploader.h"
#include "platform/files.h"

namespace quendro {

// The web viewer's files (options.viewerFolder) that the site's root lacks or
// holds otherwise, each whole. True when the server holds the viewer, or there
// is none to send.
bool sendViewer(const PublishOptions& options, FileSystem& files, Uploader& uploader,
                std::ostream& out, std::ostream& err);

}  // namespace quendro
