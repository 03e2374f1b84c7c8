#include "cli/publish/lap_watch.h"

namespace quendro {

FileStamp stampOf(const std::filesystem::path& file) {
    std::error_code ec;
    FileStamp stamp;
    auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::is_regular_file(status)) return stamp;
    stamp.size = std::filesystem::file_size(file, ec);
    if (ec) return FileStamp{};
    stamp.modified = std::filesystem::last_write_time(file, ec);
    if (ec) return FileStamp{};
    stamp.exists = true;
    return stamp;
}

void ChangeWatch::sent(const std::string& key, const FileStamp& stamp) {
    sent_[key] = stamp;
    seen_[key] = stamp;
}

bool ChangeWatch::ready(const std::string& key, const FileStamp& now) {
    auto seen = seen_.find(key);
    bool resting = seen != seen_.end() && seen->second == now;
    seen_[key] = now;
    if (!now.exists || !resting) return false;
    auto sent = sent_.find(key);
    return sent == sent_.end() || !(sent->second == now);
}

}  // namespace quendro
