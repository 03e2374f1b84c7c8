#include "meet/meet_session.h"

#include "platform/address_sign_in.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "store/meet_code.h"
#include "store/meet_import.h"
#include "store/name_match.h"
#include "store/results_file.h"
#include "store/server_addresses.h"

namespace quendro {

MeetSession::MeetSession(FileSystem& files, InternetTransfer& inet) : files_(files), inet_(inet) {}

MeetOpening MeetSession::refused(MeetOpenOutcome outcome, std::u16string file,
                                 MeetFileProblem problem, std::u16string word) {
    MeetOpening opening;
    opening.outcome = outcome;
    opening.file = std::move(file);
    opening.problem = problem;
    opening.word = std::move(word);
    return opening;
}

void MeetSession::take(MeetHeader header, std::string headerBytes, std::string heats,
                       std::string competitors) {
    header_ = std::move(header);
    headerBytes_ = std::move(headerBytes);
    heatBytes_ = std::move(heats);
    competitors_ = CompetitorFileBytes(std::move(competitors), competitorSource());
    heatCount_ = HeatTable(heatBytes_).heatCount();
    swimTable_.reset();
}

const std::vector<std::u16string>& MeetSession::swimTable() const {
    if (!swimTable_) {
        swimTable_ = buildSwimIndex(HeatTable(heatBytes_));
        index_ = SwimIndex();
        index_.build(*swimTable_, static_cast<int>(swimTable_->size()) - 1);
    }
    return *swimTable_;
}

const SwimIndex& MeetSession::swimIndex() const {
    swimTable();
    return index_;
}

MeetOpening MeetSession::openFolder(std::u16string_view dataFolder, const SiteControl& site,
                                    const std::optional<std::u16string>& resultsFile) {
    std::u16string folder = withClosingBackslash(std::u16string(dataFolder));
    std::u16string bare = folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
    if (!files_.folderExists(bare))
        return refused(MeetOpenOutcome::NoFolder, bare, MeetFileProblem::Missing,
                       missingFolderWord(bare));
    const std::u16string headerPath = folder + std::u16string(kMeetHeaderName);
    const std::u16string heatsPath = folder + u"taikai.dat";
    MeetFileRead header = readMeetFile(files_, folder, headerPath, std::nullopt);
    if (!header.ok())
        return refused(MeetOpenOutcome::FileRefused, headerPath, header.problem,
                       meetFileProblemWord(header.problem, headerPath));
    MeetFileRead heats = readMeetFile(files_, folder, heatsPath, RecordFileKind::Heats);
    if (!heats.ok())
        return refused(MeetOpenOutcome::FileRefused, heatsPath, heats.problem,
                       meetFileProblemWord(heats.problem, heatsPath));
    MeetHeader parsed = parseMeetHeader(decodeShiftJis(header.bytes));
    ResultsFileChoice results = locateResultsFile(files_, folder, parsed, site, resultsFile);
    if (!results.found) {
        std::u16string word = u"結果ファイルがありません: " + shownPath(results.path);
        return refused(MeetOpenOutcome::NoResults, results.path, MeetFileProblem::Missing, word);
    }
    // The results file lies in a folder of its own, and stays inside it.
    MeetFileRead competitors =
        readMeetFile(files_, folderOf(results.path), results.path, RecordFileKind::Results);
    if (!competitors.ok())
        return refused(MeetOpenOutcome::FileRefused, results.path, competitors.problem,
                       meetFileProblemWord(competitors.problem, results.path));
    server_ = false;
    dataFolder_ = folder;
    headerPath_ = headerPath;
    heatsPath_ = heatsPath;
    resultsPath_ = results.path;
    base_.clear();
    season_.clear();
    meetCode_.clear();
    take(std::move(parsed), std::move(header.bytes), std::move(heats.bytes),
         std::move(competitors.bytes));
    return {};
}

MeetOpening MeetSession::openServer(std::u16string_view base, std::u16string_view season,
                                    std::u16string_view meetCode) {
    // The meet code becomes a folder of the server's address: a code that is
    // no meet's name ("..", a path) fetches nothing.
    if (!isMeetCodeName(meetCode))
        return refused(MeetOpenOutcome::BadMeetCode, std::u16string(meetCode),
                       MeetFileProblem::None, meetCodeRefusal(meetCode));
    const std::u16string folder = meetFolderUrl(base, season, meetCode);
    // The heat table, the competitor table and the header, in the order the
    // import names them.
    std::vector<std::u16string> urls;
    for (const MeetFile& file : meetFilesToDownload())
        urls.push_back(folder + std::u16string(file.serverName));
    std::unique_ptr<BatchDownload> batch = inet_.openUrls(urls);
    std::string bodies[3];
    for (size_t k = 0; k < 3; ++k) {
        Download body = batch->body(k);
        if (body.failure == DownloadFailure::Cancelled)
            return refused(MeetOpenOutcome::Cancelled, urls[k], MeetFileProblem::None,
                           std::u16string(kCancelledWord));
        if (!body.ok())
            return refused(MeetOpenOutcome::DownloadFailed, urls[k], MeetFileProblem::None,
                           u"ダウンロードできませんでした (" + downloadFailureWord(body) + u"): " +
                               withoutPassword(urls[k]));
        bodies[k] = std::move(body.body);
    }
    const RecordFileKind kinds[2] = {RecordFileKind::Heats, RecordFileKind::Ind2};
    for (size_t k = 0; k < 2; ++k) {
        if (MeetFileProblem problem = recordBytesProblem(bodies[k], kinds[k]);
            problem != MeetFileProblem::None)
            return refused(MeetOpenOutcome::FileRefused, urls[k], problem,
                           meetFileProblemWord(problem, withoutPassword(urls[k])));
    }
    server_ = true;
    dataFolder_.clear();
    headerPath_ = urls[2];
    heatsPath_ = urls[0];
    resultsPath_ = urls[1];
    base_ = base;
    season_ = season;
    meetCode_ = meetCode;
    MeetHeader parsed = parseMeetHeader(decodeShiftJis(bodies[2]));
    take(std::move(parsed), std::move(bodies[2]), std::move(bodies[0]), std::move(bodies[1]));
    return {};
}

std::vector<std::int16_t> MeetSession::search(std::u16string_view filter) const {
    return findCompetitors(competitors_, filter).ordinals;
}

CompetitorRecord MeetSession::competitor(std::int16_t ordinal) const {
    if (ordinal < 1 || ordinal > competitors_.competitorCount()) return {};
    return decodeCompetitorRecord(competitors_.record(ordinal));
}

std::vector<SwimRow> MeetSession::swimsOf(std::int16_t ordinal) const {
    return swimIndex().swimsOf(swimTable(), competitorKey(ordinal));
}

}  // namespace quendro
