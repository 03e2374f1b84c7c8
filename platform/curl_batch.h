#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/curl_multi.h"
#include "platform/curl_transfer.h"

namespace quendro {

// A batch of downloads on one libcurl multi handle (platform/curl_multi.h),
// under the policy's width and window: started in list order and never more
// than policy.ahead URLs beyond the one asked for, each easy handle reused for
// the next URL so that its connection stays open. With a share, connections
// come from it and stay in it for the client's next downloads.
// The transfers move on while the caller waits for a body.
// A URL that cannot be used (empty) ends as a BadAddress without a transfer.
// Once stopped returns true (asked while the caller waits, every 100 ms or
// sooner), the running and the pending transfers end as Cancelled.
std::unique_ptr<BatchDownload> makeCurlBatch(std::vector<std::optional<std::string>> urls,
                                             CurlTransfer::Limits limits,
                                             DownloadProgress progress, MultiPolicy policy,
                                             std::function<bool()> stopped = {},
                                             const CurlShare* share = nullptr);

}  // namespace quendro
