#include "cli/publish/meet_source.h"

#include "store/meet_file_reader.h"
#include "store/results_file.h"

namespace quendro {

std::optional<MeetSource> findMeetSource(FileSystem& files, std::u16string_view dataFolder,
                                         std::optional<std::u16string> resultsFile,
                                         std::u16string& error) {
    MeetSource source;
    source.folder = withClosingBackslash(std::u16string(dataFolder));
    source.headerPath = source.folder + std::u16string(kMeetHeaderName);
    source.heatsPath = source.folder + u"taikai.dat";
    source.lapFolder = source.folder + u"lap";

    if (!files.folderExists(source.folder)) {
        error = missingFolderWord(source.folder);
        return std::nullopt;
    }
    MeetFileRead header = readMeetFile(files, source.folder, source.headerPath, std::nullopt);
    if (!header.ok()) {
        error = u"大会基準ファイル: " + meetFileProblemWord(header.problem, source.headerPath);
        return std::nullopt;
    }
    std::u16string text;
    if (readText(files, source.headerPath, text) != FileStatus::Ok) text.clear();
    source.header = parseMeetHeader(std::move(text));
    if (source.header.meetCode.empty()) {
        error = u"大会基準ファイルに大会コードがありません: " + shownPath(source.headerPath);
        return std::nullopt;
    }
    MeetFileRead heats = readMeetFile(files, source.folder, source.heatsPath, std::nullopt);
    if (!heats.ok()) {
        error = u"組表ファイル: " + meetFileProblemWord(heats.problem, source.heatsPath);
        return std::nullopt;
    }
    ResultsFileChoice results = locateResultsFile(files, source.folder, source.header,
                                                  readSiteControl(files), resultsFile);
    if (!results.found) {
        error = u"結果ファイルがありません: " + shownPath(results.path);
        if (!resultsFile) {
            error += u" (--results で指定できます)";
            for (const std::u16string& tried : results.tried) error += u"\n  " + shownPath(tried);
        }
        return std::nullopt;
    }
    source.resultsPath = results.path;
    return source;
}

std::optional<std::u16string> heatOfLapFile(std::u16string_view name) {
    if (name.size() != 5 || (name[0] != u'r' && name[0] != u'R')) return std::nullopt;
    for (size_t i = 1; i < 5; ++i) {
        if (name[i] < u'0' || name[i] > u'9') return std::nullopt;
    }
    return std::u16string(name.substr(1));
}

}  // namespace quendro
