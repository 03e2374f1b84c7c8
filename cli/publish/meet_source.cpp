#include "cli/publish/meet_source.h"

#include "app/site_control.h"
#include "platform/files.h"

namespace quendro {
namespace {

bool readable(FileSystem& files, std::u16string_view path) {
    std::string bytes;
    return files.readBytes(path, bytes) == FileStatus::Ok;
}

bool hasDriveLetter(std::u16string_view path) {
    return path.size() >= 2 && path[1] == u':' &&
           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

// "D:\meet\kekka\" gives "kekka".
std::u16string lastFolderName(std::u16string folder) {
    while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.pop_back();
    size_t cut = folder.find_last_of(u"\\/:");
    return cut == std::u16string::npos ? folder : folder.substr(cut + 1);
}

}  // namespace

std::vector<std::u16string> resultsFileCandidates(std::u16string_view dataFolder,
                                                  const MeetHeader& header,
                                                  const SiteControl& site) {
    std::vector<std::u16string> candidates;
    bool named = !header.resultFile.empty();
    if (named && hasDriveLetter(dataFolder) && hasDriveLetter(header.resultFolder)) {
        candidates.push_back(withClosingBackslash(resultDirFor(header.resultFolder, dataFolder)) +
                             header.resultFile);
    }
    if (site.resultDir && site.resultFile && !site.resultFile->empty())
        candidates.push_back(*site.resultDir + *site.resultFile);
    if (named) {
        std::u16string inside = lastFolderName(header.resultFolder);
        std::u16string folder = withClosingBackslash(std::u16string(dataFolder));
        if (!inside.empty()) folder += inside + u"\\";
        candidates.push_back(folder + header.resultFile);
    }
    return candidates;
}

std::optional<MeetSource> findMeetSource(FileSystem& files, std::u16string_view dataFolder,
                                         std::optional<std::u16string> resultsFile,
                                         std::u16string& error) {
    MeetSource source;
    source.folder = withClosingBackslash(std::u16string(dataFolder));
    source.headerPath = source.folder + std::u16string(kMeetHeaderName);
    source.heatsPath = source.folder + u"taikai.dat";
    source.lapFolder = source.folder + u"lap";

    std::u16string text;
    if (readText(files, source.headerPath, text) != FileStatus::Ok) {
        error = u"大会基準ファイルがありません: " + source.headerPath;
        return std::nullopt;
    }
    source.header = parseMeetHeader(std::move(text));
    if (source.header.meetCode.empty()) {
        error = u"大会基準ファイルに大会コードがありません: " + source.headerPath;
        return std::nullopt;
    }
    if (!readable(files, source.heatsPath)) {
        error = u"組表ファイルがありません: " + source.heatsPath;
        return std::nullopt;
    }

    if (resultsFile) {
        if (!readable(files, *resultsFile)) {
            error = u"結果ファイルがありません: " + *resultsFile;
            return std::nullopt;
        }
        source.resultsPath = *resultsFile;
        return source;
    }
    SiteControl site;
    if (readText(files, kSiteControlPath, text) == FileStatus::Ok)
        site = parseSiteControl(std::move(text));
    std::vector<std::u16string> candidates =
        resultsFileCandidates(source.folder, source.header, site);
    for (const std::u16string& candidate : candidates) {
        if (readable(files, candidate)) {
            source.resultsPath = candidate;
            return source;
        }
    }
    error = u"結果ファイルが見つかりません (--results で指定できます)";
    for (const std::u16string& candidate : candidates) error += u"\n  " + candidate;
    return std::nullopt;
}

std::optional<std::u16string> heatOfLapFile(std::u16string_view name) {
    if (name.size() != 5 || (name[0] != u'r' && name[0] != u'R')) return std::nullopt;
    for (size_t i = 1; i < 5; ++i) {
        if (name[i] < u'0' || name[i] > u'9') return std::nullopt;
    }
    return std::u16string(name.substr(1));
}

}  // namespace quendro
