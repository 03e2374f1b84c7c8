#include "cli/export/export_run.h"

#include <fstream>
#include <sstream>

#include "app/listed_swims.h"
#include "platform/address_sign_in.h"
#include "platform/text_rules.h"
#include "reports/html_page.h"
#include "reports/list_export.h"
#include "store/competitor_search.h"
#include "store/record_shape.h"
#include "store/working_folder.h"

namespace quendro::cli {
namespace {

bool readable(FileSystem& files, std::u16string_view path) {
    std::string bytes;
    return files.readBytes(path, bytes) == FileStatus::Ok;
}

std::vector<std::u16string> folderNames(std::u16string_view path) {
    std::vector<std::u16string> names;
    std::u16string name;
    for (char16_t c : path) {
        if (c == u'\\' || c == u'/') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

bool sameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// A record file whose header counts more records than it holds is not the
// meet's file (a server's error page, a file cut short); an empty or missing
// file is an empty meet.
bool recordsWhole(FileSystem& files, std::u16string_view path, RecordFileKind kind) {
    std::string bytes;
    if (files.readBytes(path, bytes) != FileStatus::Ok) return true;
    return recordFileShape(bytes, kind) == RecordFileShape::Whole;
}

std::string checkRecordFiles(MainWindow& window, FileSystem& files) {
    const bool web = window.webMode != 0;
    const std::u16string heats =
        web ? std::u16string(kWorkingHeats) : window.dataDir + u"taikai.dat";
    if (!recordsWhole(files, heats, RecordFileKind::Heats)) {
        return "競技会のファイルではありません: " + toUtf8(heats);
    }
    CompetitorFile competitors =
        competitorFileFor(window.webMode, window.resultDir, window.resultFile);
    const bool ind2 = competitors.source == CompetitorSource::Ind2;
    if (!recordsWhole(files, competitors.path,
                      ind2 ? RecordFileKind::Ind2 : RecordFileKind::Results)) {
        return "競技会のファイルではありません: " + toUtf8(competitors.path);
    }
    return {};
}

bool imported(const MainWindow& window) {
    return window.importOutcome == ImportOutcome::Imported;
}

// Opens the meet in local mode: the folder is chosen and confirmed.
std::string openLocal(MainWindow& window, FileSystem& files, const ExportOptions& options,
                      std::u16string_view folder) {
    window.optWeb.select(0);
    std::u16string path(folder);
    while (path.size() > 3 && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
    if (!files.folderExists(path)) return "フォルダがありません: " + toUtf8(path);
    window.Dir1.setPath(path);
    window.cmdKakutei_Click();
    if (!imported(window)) return toUtf8(window.statusText);

    if (!options.results.empty()) {
        window.resultDir.clear();
        window.resultFile = fromUtf8(options.results);
    } else if (!readable(files, window.resultDir + window.resultFile)) {
        for (const auto& candidate :
             resultFileCandidates(window.dataDir, window.resultDir, window.resultFile)) {
            if (!readable(files, candidate)) continue;
            window.resultDir.clear();
            window.resultFile = candidate;
            break;
        }
    }
    if (!readable(files, window.resultDir + window.resultFile)) {
        return "結果ファイルがありません: " + toUtf8(window.resultDir + window.resultFile) +
               " (--results で指定できます)";
    }
    return {};
}

// Opens the meet in internet mode: the meet folder's files come from the server.
std::string openFromServer(MainWindow& window, const MeetUrl& url) {
    // Set directly, not through the source option, which would fetch the season's list.
    window.webMode = 1;
    window.txtTaikai.setText(url.base);
    window.seasonYear = url.season;
    window.meetCode = url.meetCode;
    window.cmdKakutei_Click();
    if (!imported(window)) return toUtf8(window.statusText);
    return {};
}

}  // namespace

bool isUrl(std::string_view source) {
    return source.starts_with("http://") || source.starts_with("https://");
}

std::optional<MeetUrl> parseMeetUrl(std::u16string_view url) {
    size_t scheme = url.find(u"://");
    if (scheme == std::u16string_view::npos) return std::nullopt;
    std::u16string path(url);
    while (!path.empty() && path.back() == u'/') path.pop_back();
    size_t host = path.find(u'/', scheme + 3);
    size_t last = path.rfind(u'/');
    if (host == std::u16string::npos || last <= host) return std::nullopt;
    size_t before = path.rfind(u'/', last - 1);
    if (before == std::u16string::npos || before < host) return std::nullopt;
    MeetUrl meet;
    meet.meetCode = path.substr(last + 1);
    meet.season = path.substr(before + 1, last - before - 1);
    meet.base = path.substr(0, before + 1);
    if (meet.meetCode.empty() || meet.season.empty()) return std::nullopt;
    return meet;
}

std::vector<std::u16string> resultFileCandidates(std::u16string_view dataDir,
                                                 std::u16string_view headerResultDir,
                                                 std::u16string_view resultFile) {
    std::vector<std::u16string> candidates;
    std::u16string base(dataDir);
    if (!base.empty() && base.back() != u'\\' && base.back() != u'/') base += u"\\";
    const auto data = folderNames(dataDir);
    const auto header = folderNames(headerResultDir);
    if (!data.empty()) {
        // The header's folders after the one that carries the data folder's name.
        for (size_t i = 0; i < header.size(); ++i) {
            if (!sameIgnoringCase(header[i], data.back())) continue;
            std::u16string path = base;
            for (size_t j = i + 1; j < header.size(); ++j) path += header[j] + u"\\";
            candidates.push_back(path + std::u16string(resultFile));
        }
    }
    candidates.push_back(base + std::u16string(resultFile));
    return candidates;
}

ExportOutcome runExport(const ExportOptions& options, MainWindow& window, FileSystem& files,
                        std::u16string_view sourceFolder, const std::filesystem::path& scratch) {
    ExportOutcome outcome;
    if (isUrl(options.source)) {
        auto url = parseMeetUrl(fromUtf8(options.source));
        if (!url) {
            outcome.error = "競技会フォルダのアドレスではありません: " + withoutPassword(options.source);
            return outcome;
        }
        outcome.error = openFromServer(window, *url);
    } else {
        outcome.error = openLocal(window, files, options, sourceFolder);
    }
    if (outcome.error.empty()) outcome.error = checkRecordFiles(window, files);
    if (!outcome.error.empty()) return outcome;

    window.chkQ.setValue(options.olderLapLayout ? 1 : 0);
    window.txtBango.setText(fromUtf8(options.filter));
    window.SearchCompetitors();
    window.statusText.clear();  // "nobody matches" is not a failure: the export is empty

    if (options.format == ExportFormat::Html) {
        // The Html command itself writes the page, into the scratch folder.
        window.selectedDir = fromUtf8(scratch.string()) + u"/";
        window.cmdHtml_Click();
        const std::u16string page = htmlPagePath(window.selectedDir, window.txtRyaku.text());
        if (window.htmlOutcome != WriteOutcome::Written ||
            files.readBytes(page, outcome.bytes) != FileStatus::Ok) {
            outcome.error = toUtf8(window.statusText);
            return outcome;
        }
    } else {
        std::vector<ExportSwim> swims = collectListedSwims(window, files);
        int empty = 0;
        for (const auto& swim : swims) empty += swim.splits.empty() ? 1 : 0;
        if (empty > 0) {
            outcome.notes.push_back("通過タイムのないレースが " + std::to_string(empty) +
                                    " 件あります (ラップファイルがないか空です)");
        }
        ExportMeet meet = exportMeetOf(window);
        outcome.bytes =
            options.format == ExportFormat::Csv ? exportCsv(meet, swims) : exportJson(meet, swims);
    }
    outcome.notes.push_back(std::to_string(window.hitCount) + " 人を書き出しました");
    outcome.ok = true;
    return outcome;
}

}  // namespace quendro::cli
