#include "cli/publish/meet_folder.h"

#include <algorithm>

#include "platform/text_rules.h"

namespace quendro {
namespace {

bool inside(const std::filesystem::path& folder, const std::filesystem::path& file) {
    auto f = folder.begin();
    auto p = file.begin();
    for (; f != folder.end(); ++f, ++p) {
        if (p == file.end() || *f != *p) return false;
    }
    return p != file.end();
}

}  // namespace

std::filesystem::path MeetFolder::hostPath(std::u16string_view path) const {
    return files_.driveMap().toHost(path);
}

bool MeetFolder::seen() const {
    std::error_code ec;
    std::filesystem::path folder = hostPath(source_.folder);
    if (!std::filesystem::is_directory(std::filesystem::status(folder, ec)) || ec) return false;
    // Opening the listing reaches the share's server, where a status may come
    // from the cache.
    std::filesystem::directory_iterator listing(folder, ec);
    if (ec) return false;
    return quendro::stampOf(hostPath(source_.headerPath)).exists;
}

std::string MeetFolder::shownFolder() const {
    std::u16string folder = source_.folder;
    while (folder.size() > 1 && folder.back() == u'\\' && folder[folder.size() - 2] != u':')
        folder.pop_back();
    return shown(pathForUser(files_, folder));
}

FileStamp MeetFolder::stampOf(const MeetFileOnServer& file) const {
    return quendro::stampOf(hostPath(file.localPath));
}

std::vector<MeetFileOnServer> MeetFolder::files() {
    namespace fs = std::filesystem;
    std::vector<MeetFileOnServer> list;
    std::vector<std::pair<std::u16string, MeetFileOnServer>> laps;  // by heat
    std::error_code ec;
    fs::path lapFolder = hostPath(source_.lapFolder);
    fs::path meetFolder = fs::weakly_canonical(hostPath(source_.folder), ec);
    for (const auto& entry : fs::directory_iterator(lapFolder, ec)) {
        std::u16string name = fromUtf8(entry.path().filename().string());
        auto heat = heatOfLapFile(name);
        if (!heat) continue;
        std::string onServer = "lap/r" + toUtf8(*heat) + ".txt";
        std::u16string local = source_.lapFolder + u"\\" + name;
        std::error_code linkError;
        // A link is read through to where it leads, and only inside the meet folder.
        if (entry.is_symlink(linkError)) {
            fs::path target = fs::canonical(entry.path(), linkError);
            if (linkError || !inside(meetFolder, target)) {
                std::error_code readError;
                fs::path leadsTo = linkError ? fs::read_symlink(entry.path(), readError) : target;
                told_.tell(onServer, "注意: 大会フォルダの外を指すリンクは送りません: " +
                                         shown(local) + " → " + shown(fromUtf8(leadsTo.string())));
                continue;
            }
            local = fromUtf8(target.string());
        }
        // A pipe or a folder under a lap file's name is never opened.
        if (!fs::is_regular_file(fs::status(hostPath(local), linkError))) {
            told_.tell(onServer, "注意: 普通のファイルではないので送りません: " + shown(local));
            continue;
        }
        laps.emplace_back(*heat, MeetFileOnServer{local, onServer, MeetFileOnServer::Kind::Lap});
    }
    std::sort(laps.begin(), laps.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [heat, file] : laps) list.push_back(std::move(file));
    list.push_back({source_.resultsPath, "ind2.txt", MeetFileOnServer::Kind::Ind2});
    list.push_back({source_.headerPath, "kijun.txt", MeetFileOnServer::Kind::Copy});
    list.push_back({source_.heatsPath, "taikai.txt", MeetFileOnServer::Kind::Heats});
    return list;
}

}  // namespace quendro
