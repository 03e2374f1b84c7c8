#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/curl_transfer.h"

namespace quendro {

// A batch of downloads on one libcurl multi handle: up to `parallel` at a time,
// each easy handle reused for the next URL so that its connection stays open,
// started in list order and never more than `ahead` URLs beyond the one asked for.
// Over https the transfers wait for the first connection and go as streams of
// one HTTP/2 connection where the server offers it. With a share, connections
// come from it and stay in it for the client's next downloads.
// The transfers move on while the caller waits for a body.
// A URL that cannot be used (empty) ends as a BadAddress without a transfer.
// Once stopped returns true (asked while the caller waits, every 100 ms or
// sooner), the running and the pending transfers end as downloads without an answer.
std::unique_ptr<BatchDownload> makeCurlBatch(std::vector<std::optional<std::string>> urls,
                                             CurlTransfer::Limits limits,
                                             DownloadProgress progress, size_t parallel,
                                             size_t ahead, std::function<bool()> stopped = {},
                                             const CurlShare* share = nullptr);

}  // namespace quendro
