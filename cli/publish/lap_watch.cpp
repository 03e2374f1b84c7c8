#include "cli/publish/lap_watch.h"

namespace quendro {

FileStamp stampOf(const std::filesystem::path& file) {
    std::error_code ec;
    FileStamp stamp;
    // A look at the file's status never opens it: a pipe holds nothing up.
    auto status = std::filesystem::status(file, ec);
    if (ec || !std::filesystem::is_regular_file(status)) return stamp;
    stamp.size = std::filesystem::file_size(file, ec);
    if (ec) return FileStamp{};
    stamp.modified = std::filesystem::last_write_time(file, ec);
    if (ec) return FileStamp{};
    stamp.exists = true;
    return stamp;
}

std::string_view wholeLinesOf(std::string_view bytes, bool unfinishedLineToo) {
    if (unfinishedLineToo) return bytes;
    size_t end = bytes.find_last_of("\r\n");
    return end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1);
}

void ChangeWatch::sent(const std::string& key, const FileStamp& stamp, Held held) {
    sent_[key] = {stamp, held};
    auto seen = seen_.find(key);
    if (seen == seen_.end() || !(seen->second.stamp == stamp)) seen_[key] = {stamp, Clock::now()};
    if (held == Held::Whole) everSent_[key] = true;
}

bool ChangeWatch::rested(const std::string& key, const FileStamp& now,
                         Clock::time_point at) const {
    if (!now.exists) return false;
    // The file's own time stamp tells of a rest begun before the first look;
    // the looks tell of it where the clock of a share's server runs ahead.
    auto age = std::filesystem::file_time_type::clock::now() - now.modified;
    if (age >= kUnfinishedLineRest) return true;
    auto seen = seen_.find(key);
    return seen != seen_.end() && seen->second.stamp == now &&
           at - seen->second.since >= kUnfinishedLineRest;
}

bool ChangeWatch::ready(const std::string& key, const FileStamp& now, Clock::time_point at,
                        Pace pace) {
    auto seen = seen_.find(key);
    bool resting = seen != seen_.end() && seen->second.stamp == now;
    Seen& look = seen_[key];
    if (!resting) look = {now, at};
    look.moved = !resting;
    auto sent = sent_.find(key);
    if (!now.exists) return false;
    if (sent == sent_.end() || !(sent->second.first == now))
        return resting || pace == Pace::Busy;
    if (sent->second.second == Held::Unread) return true;
    return sent->second.second == Held::Lines && rested(key, now, at);
}

bool ChangeWatch::moving(const std::string& key) const {
    auto seen = seen_.find(key);
    return seen != seen_.end() && seen->second.moved;
}

bool ChangeWatch::holds(const std::string& key, const FileStamp& now) const {
    auto sent = sent_.find(key);
    return sent != sent_.end() && sent->second.first == now && sent->second.second == Held::Whole;
}

}  // namespace quendro
