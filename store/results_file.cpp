#include "store/results_file.h"

namespace quendro {
namespace {

bool isThere(FileSystem& files, std::u16string_view path) {
    FileStatus status = FileStatus::NotFound;
    return !path.empty() && files.openRecords(path, 1, status) != nullptr;
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

ResultsFileChoice locateResultsFile(FileSystem& files, std::u16string_view dataFolder,
                                    const MeetHeader& header, const SiteControl& site,
                                    const std::optional<std::u16string>& given) {
    ResultsFileChoice choice;
    size_t told = 0;  // the path named when none is there: the header's own
    if (given) {
        choice.tried.push_back(*given);
    } else {
        told = 0;
        const bool named = header.fieldCount >= 2;
        const std::u16string folder = withClosingBackslash(std::u16string(dataFolder));
        const std::u16string inside = lastFolderName(header.resultFolder);
        if (named && !header.resultFile.empty() && !inside.empty())
            choice.tried.push_back(folder + inside + u"\\" + header.resultFile);
        // A data folder given as a host path has no drive letter to lend.
        if (named && hasDriveLetter(dataFolder)) {
            told = choice.tried.size();
            choice.tried.push_back(resultDirFor(header.resultFolder, dataFolder) + header.resultFile);
        } else if (!named && site.resultDir && site.resultFile) {
            choice.tried.push_back(*site.resultDir + *site.resultFile);
        }
        if (named && !header.resultFile.empty()) choice.tried.push_back(folder + header.resultFile);
    }
    for (const std::u16string& path : choice.tried) {
        if (isThere(files, path)) {
            choice.path = path;
            choice.found = true;
            return choice;
        }
    }
    if (told < choice.tried.size()) choice.path = choice.tried[told];
    return choice;
}

SiteControl readSiteControl(FileSystem& files) {
    std::u16string text;
    if (readText(files, kSiteControlPath, text) != FileStatus::Ok) return {};
    return parseSiteControl(std::move(text));
}

}  // namespace quendro
