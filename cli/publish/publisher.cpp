#include "cli/publish/publisher.h"

#include <algorithm>
#include <functional>
#include <thread>

#include "app/server_addresses.h"
#include "platform/text_rules.h"
#include "store/ind2_table.h"
#include "store/season_list.h"

namespace quendro {
namespace {

std::string utf8(std::u16string_view text) {
    return toUtf8(text);
}

}  // namespace

Publisher::Publisher(HostFileSystem& files, const HttpClient& http, std::ostream& out)
    : files_(files), http_(http), out_(out) {}

bool Publisher::prepare(const PublishOptions& options) {
    options_ = options;
    if (!options_.baseUrl.empty() && options_.baseUrl.back() != '/') options_.baseUrl += '/';
    std::u16string error;
    source_ = findMeetSource(files_, options_.meetFolder, options_.resultsFile, error);
    if (!source_) {
        out_ << "エラー: " << utf8(error) << "\n";
        return false;
    }
    out_ << "大会 " << utf8(source_->header.meetCode) << " " << utf8(source_->header.abbreviation)
         << " (" << utf8(source_->folder) << ")\n"
         << "結果ファイル: " << utf8(source_->resultsPath) << "\n";
    return true;
}

// The same addresses as the window asks for: a season or meet code that is
// not all letters and digits is percent-encoded alike.
std::string Publisher::seasonUrl() const {
    return utf8(seasonFolderUrl(fromUtf8(options_.baseUrl), options_.season));
}

std::string Publisher::meetUrl() const {
    return utf8(meetFolderUrl(fromUtf8(options_.baseUrl), options_.season, source_->header.meetCode));
}

std::filesystem::path Publisher::hostPath(std::u16string_view path) const {
    return files_.driveMap().toHost(path);
}

std::vector<MeetFileOnServer> Publisher::meetFiles() const {
    std::vector<MeetFileOnServer> list;
    std::vector<std::pair<std::u16string, std::u16string>> laps;  // heat, local name
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(hostPath(source_->lapFolder), ec)) {
        std::u16string name = fromUtf8(entry.path().filename().string());
        if (auto heat = heatOfLapFile(name)) laps.emplace_back(*heat, name);
    }
    std::sort(laps.begin(), laps.end());
    for (const auto& [heat, name] : laps) {
        list.push_back({source_->lapFolder + u"\\" + name, "lap/r" + utf8(heat) + ".txt",
                        MeetFileOnServer::Kind::Copy});
    }
    list.push_back({source_->resultsPath, "ind2.txt", MeetFileOnServer::Kind::Ind2});
    list.push_back({source_->headerPath, "kijun.txt", MeetFileOnServer::Kind::Copy});
    list.push_back({source_->heatsPath, "taikai.txt", MeetFileOnServer::Kind::Copy});
    return list;
}

std::string Publisher::bytesToSend(const MeetFileOnServer& file, bool& ok) {
    std::string bytes;
    ok = files_.readBytes(file.localPath, bytes) == FileStatus::Ok;
    if (!ok) {
        out_ << "エラー: 読めません: " << utf8(file.localPath) << "\n";
        return {};
    }
    if (file.kind == MeetFileOnServer::Kind::Ind2) {
        Ind2Table table = ind2FromResults(bytes);
        if (table.truncated) {
            out_ << "注意: 結果ファイルが途中で終わっています。" << table.competitors
                 << " 人分だけ送ります: " << utf8(file.localPath) << "\n";
        }
        return std::move(table.bytes);
    }
    return bytes;
}

bool Publisher::send(const MeetFileOnServer& file) {
    FileStamp stamp = stampOf(hostPath(file.localPath));
    bool ok = false;
    std::string bytes = bytesToSend(file, ok);
    if (!ok) return false;
    std::size_t digest = std::hash<std::string>{}(bytes);
    auto last = sentDigest_.find(file.name);
    if (last != sentDigest_.end() && last->second == digest) {
        watch_.sent(file.name, stamp);  // touched, but the same bytes: nothing to send
        return true;
    }
    std::string url = meetUrl() + file.name;
    HttpAnswer answer = http_.put(url, bytes);
    if (!answer.ok()) {
        out_ << "エラー: 送信できませんでした: " << withoutPassword(url) << ": "
             << (answer.answered() ? "HTTP " + std::to_string(answer.status) : answer.error)
             << "\n";
        return false;
    }
    out_ << "送信しました: " << withoutPassword(url) << " (" << bytes.size() << " バイト)\n";
    sentDigest_[file.name] = digest;
    watch_.sent(file.name, stamp);
    return true;
}

bool Publisher::publishMeet() {
    std::vector<MeetFileOnServer> files = meetFiles();
    if (files.size() == 3)
        out_ << "注意: ラップファイルがまだありません: " << utf8(source_->lapFolder) << "\n";
    for (const MeetFileOnServer& file : files) {
        if (!send(file)) {
            out_ << "大会一覧には加えません。\n";
            return false;
        }
    }
    return addListEntry();
}

bool Publisher::addListEntry() {
    std::string listUrl = seasonUrl() + "list.txt";
    HttpAnswer current = http_.get(listUrl);
    // A season without a list yet starts one; a list that cannot be read is
    // never replaced, so that no other meet's entry is lost.
    if (!current.ok() && current.status != 404) {
        out_ << "エラー: 大会一覧を読み込めませんでした: " << withoutPassword(listUrl) << ": "
             << (current.answered() ? "HTTP " + std::to_string(current.status) : current.error)
             << "\n";
        return false;
    }
    std::string list = current.ok() ? current.body : std::string();
    const MeetHeader& header = source_->header;
    if (seasonListHasMeet(list, header.meetCode)) {
        out_ << "大会一覧には既にあります: " << withoutPassword(listUrl) << "\n";
        return true;
    }
    std::string updated = seasonListWithMeet(list, header.meetCode, header.abbreviation);
    HttpAnswer answer = http_.put(listUrl, updated);
    if (!answer.ok()) {
        out_ << "エラー: 大会一覧を送信できませんでした: " << withoutPassword(listUrl) << ": "
             << (answer.answered() ? "HTTP " + std::to_string(answer.status) : answer.error)
             << "\n";
        return false;
    }
    out_ << "大会一覧に加えました: " << withoutPassword(listUrl) << "\n";
    return true;
}

bool Publisher::lookOnce() {
    bool allSent = true;
    for (const MeetFileOnServer& file : meetFiles()) {
        if (!watch_.ready(file.name, stampOf(hostPath(file.localPath)))) continue;
        if (!send(file)) allSent = false;
    }
    out_.flush();
    return allSent;
}

bool Publisher::watch(const std::atomic<bool>& stop, std::chrono::milliseconds interval) {
    out_ << "変更を見張っています (Ctrl+C で終了)\n";
    out_.flush();
    bool lastLookSent = true;
    while (!stop.load()) {
        std::this_thread::sleep_for(interval);
        lastLookSent = lookOnce();
    }
    return lastLookSent;
}

}  // namespace quendro
