#include "cli/publish/publisher.h"

#include <algorithm>
#include <functional>
#include <thread>

#include "store/server_addresses.h"
#include "cli/publish/season_entry.h"
#include "platform/text_rules.h"
#include "store/meet_code.h"
#include "store/meet_file_reader.h"

namespace quendro {
namespace {

// Text from files and paths, for a message: control characters shown escaped.
std::string shown(std::u16string_view text) {
    return toUtf8(visibleText(text));
}

bool inside(const std::filesystem::path& folder, const std::filesystem::path& file) {
    auto f = folder.begin();
    auto p = file.begin();
    for (; f != folder.end(); ++f, ++p) {
        if (p == file.end() || *f != *p) return false;
    }
    return p != file.end();
}

}  // namespace

Publisher::Publisher(HostFileSystem& files, const HttpClient& http, std::ostream& out,
                     std::ostream& err)
    : files_(files), http_(http), out_(out), err_(err) {}

bool Publisher::prepare(const PublishOptions& options) {
    options_ = options;
    if (!options_.baseUrl.empty() && options_.baseUrl.back() != '/') options_.baseUrl += '/';
    std::u16string error;
    source_ = findMeetSource(files_, options_.meetFolder, options_.resultsFile, error);
    if (!source_) {
        err_ << "エラー: " << shown(error) << "\n";
        return false;
    }
    // The code names the meet's folder on the server: a name, never a path.
    if (!isMeetCodeName(source_->header.meetCode)) {
        err_ << "エラー: " << toUtf8(meetCodeRefusal(source_->header.meetCode)) << ": "
             << shown(source_->headerPath) << "\n";
        return false;
    }
    out_ << "大会 " << shown(source_->header.meetCode) << " " << shown(source_->header.abbreviation)
         << " (" << shown(source_->folder) << ")\n"
         << "結果ファイル: " << shown(source_->resultsPath) << "\n";
    return true;
}

std::string Publisher::seasonUrl() const {
    return toUtf8(seasonFolderUrl(fromUtf8(options_.baseUrl), options_.season));
}

std::string Publisher::meetUrl() const {
    return toUtf8(
        meetFolderUrl(fromUtf8(options_.baseUrl), options_.season, source_->header.meetCode));
}

std::filesystem::path Publisher::hostPath(std::u16string_view path) const {
    return files_.driveMap().toHost(path);
}

void Publisher::tellOnce(const std::string& key, const std::string& line) {
    auto told = told_.find(key);
    if (told != told_.end() && told->second == line) return;
    told_[key] = line;
    err_ << line << "\n";
    err_.flush();
}

std::vector<MeetFileOnServer> Publisher::meetFiles() {
    namespace fs = std::filesystem;
    std::vector<MeetFileOnServer> list;
    std::vector<std::pair<std::u16string, MeetFileOnServer>> laps;  // by heat
    std::error_code ec;
    fs::path lapFolder = hostPath(source_->lapFolder);
    fs::path meetFolder = fs::weakly_canonical(hostPath(source_->folder), ec);
    for (const auto& entry : fs::directory_iterator(lapFolder, ec)) {
        std::u16string name = fromUtf8(entry.path().filename().string());
        auto heat = heatOfLapFile(name);
        if (!heat) continue;
        std::string onServer = "lap/r" + toUtf8(*heat) + ".txt";
        std::u16string local = source_->lapFolder + u"\\" + name;
        std::error_code linkError;
        // A link is read through to where it leads, and only inside the meet folder.
        if (entry.is_symlink(linkError)) {
            fs::path target = fs::canonical(entry.path(), linkError);
            if (linkError || !inside(meetFolder, target)) {
                std::error_code readError;
                fs::path leadsTo = linkError ? fs::read_symlink(entry.path(), readError) : target;
                tellOnce(onServer, "注意: 大会フォルダの外を指すリンクは送りません: " +
                                       shown(local) + " → " + shown(fromUtf8(leadsTo.string())));
                continue;
            }
            local = fromUtf8(target.string());
        }
        // A pipe or a folder under a lap file's name is never opened.
        if (!fs::is_regular_file(fs::status(hostPath(local), linkError))) {
            tellOnce(onServer, "注意: 普通のファイルではないので送りません: " + shown(local));
            continue;
        }
        laps.emplace_back(*heat, MeetFileOnServer{local, onServer, MeetFileOnServer::Kind::Lap});
    }
    std::sort(laps.begin(), laps.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [heat, file] : laps) list.push_back(std::move(file));
    list.push_back({source_->resultsPath, "ind2.txt", MeetFileOnServer::Kind::Ind2});
    list.push_back({source_->headerPath, "kijun.txt", MeetFileOnServer::Kind::Copy});
    list.push_back({source_->heatsPath, "taikai.txt", MeetFileOnServer::Kind::Heats});
    return list;
}

bool Publisher::readBytesOf(const MeetFileOnServer& file, std::string& bytes) {
    MeetFileRead read = readMeetFileOf(file);
    if (read.ok()) {
        bytes = std::move(read.bytes);
        return true;
    }
    tellOnce(file.name, "エラー: " + shown(meetFileProblemWord(read.problem, file.localPath)) +
                            "。送らずにサーバーの前の版を残します");
    return false;
}

MeetFileRead Publisher::readMeetFileOf(const MeetFileOnServer& file) const {
    switch (file.kind) {
        case MeetFileOnServer::Kind::Heats:
            return readMeetFile(files_, source_->folder, file.localPath, RecordFileKind::Heats);
        case MeetFileOnServer::Kind::Ind2:
            // The results file lies in a folder of its own, and stays inside it.
            return readMeetFile(files_, folderOf(file.localPath), file.localPath,
                                RecordFileKind::Results);
        case MeetFileOnServer::Kind::Copy:
        case MeetFileOnServer::Kind::Lap:
            break;
    }
    return readMeetFile(files_, source_->folder, file.localPath, std::nullopt);
}

}  // namespace quendro
