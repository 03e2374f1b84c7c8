#include "cli/export/export_run.h"

#include <algorithm>

#include "meet/meet_walk.h"
#include "platform/address_sign_in.h"
#include "platform/text_rules.h"
#include "reports/html_page.h"
#include "reports/list_export.h"
#include "store/meet_header.h"

namespace quendro::cli {

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

int exitStatusOf(ExportResult result) {
    switch (result) {
        case ExportResult::Written: return 0;
        case ExportResult::LapsUnread: return 3;
        case ExportResult::MeetUnread:
        case ExportResult::NotWritten:
        case ExportResult::Cancelled: return 1;
    }
    return 1;
}

namespace {

// The meet as a confirm shows it in the header boxes.
ExportMeet exportMeetOf(const MeetHeader& header, int splitDistance) {
    ExportMeet meet;
    meet.code = header.meetCode;
    meet.name = header.meetName;
    meet.abbreviation = header.abbreviation;
    meet.venue = header.venue;
    if (header.fieldCount >= 6) meet.firstDay = headerDate(header.firstDay);
    if (header.fieldCount >= 7) meet.lastDay = headerDate(header.lastDay);
    meet.splitDistance = splitDistance;
    return meet;
}

MeetOpening openSource(const ExportOptions& options, MeetSession& meet,
                       std::u16string_view sourceFolder, const SiteControl& site) {
    if (isUrl(options.source)) {
        auto url = parseMeetUrl(fromUtf8(options.source));
        if (!url) {
            MeetOpening bad;
            bad.outcome = MeetOpenOutcome::DownloadFailed;
            bad.word = u"競技会フォルダのアドレスではありません: " +
                       withoutPassword(fromUtf8(options.source));
            return bad;
        }
        return meet.openServer(url->base, url->season, url->meetCode);
    }
    std::optional<std::u16string> results;
    if (!options.results.empty()) results = fromUtf8(options.results);
    MeetOpening opened = meet.openFolder(sourceFolder, site, results);
    if (opened.outcome == MeetOpenOutcome::NoResults && !results)
        opened.word += u" (--results で指定できます)";
    return opened;
}

}  // namespace

ExportOutcome runExport(const ExportOptions& options, MeetSession& meet,
                        std::u16string_view sourceFolder, const SiteControl& site,
                        OutputFile& output) {
    ExportOutcome outcome;
    MeetOpening opened = openSource(options, meet, sourceFolder, site);
    if (!opened.ok()) {
        outcome.notes.push_back(toUtf8(visibleText(opened.word)));
        return outcome;
    }
    // The page is the Html button's, and the button refuses a meet whose
    // abbreviation could not name its file.
    if (std::u16string fault = pageNameFault(meet.header().abbreviation);
        options.format == ExportFormat::Html && !fault.empty()) {
        outcome.notes.push_back(toUtf8(visibleText(
            u"HTML を書き込みません: 略称にファイル名に使えない文字があります (" + fault + u")")));
        return outcome;
    }
    const std::vector<std::int16_t> listed = meet.search(fromUtf8(options.filter));
    const std::int16_t splitDistance = meetSplitDistance(meet.header());
    WalkSummary walked;
    if (options.format == ExportFormat::Html) {
        // The page the Html button writes, handed on piece by piece.
        HtmlPage page([&output](std::string_view bytes) { output.write(bytes); });
        WalkVisits visits;
        visits.competitor = [&page](int, const CompetitorRecord& competitor) {
            page.competitor(competitor);
        };
        visits.swim = [&page](const ListedSwim& swim) {
            page.swim(swim.row, swim.swim->text, swim.splits.times, swim.splits.count);
        };
        walked = walkListedSwims(meet, listed, options.olderLapLayout, splitDistance, visits);
        page.finish();
    } else {
        // Each swim's row goes out as it comes, once the number of split
        // columns is known.
        const ExportMeet exported = exportMeetOf(meet.header(), splitDistance);
        const bool csv = options.format == ExportFormat::Csv;
        size_t columns = 0;
        bool first = true;
        WalkVisits visits;
        visits.read = [&](int mostSplits) {
            columns = static_cast<size_t>(mostSplits);
            output.write(csv ? exportCsvHeading(exported, columns) : exportJsonStart(exported));
        };
        visits.swim = [&](const ListedSwim& listedSwim) {
            ExportSwim swim{*listedSwim.competitor, meetSwimOf(listedSwim.indexLine), {}};
            const GridSplits& splits = listedSwim.splits;
            swim.splits.assign(splits.times.begin(),
                               splits.times.begin() + std::min(splits.count, kMaxSplits));
            output.write(csv ? exportCsvRow(swim, columns) : exportJsonSwim(exported, swim, first));
            first = false;
        };
        walked = walkListedSwims(meet, listed, options.olderLapLayout, splitDistance, visits);
        if (!csv) output.write(exportJsonEnd(!first));
    }
    if (walked.cancelled) {
        // Nothing of a meet read in part goes out as the meet.
        outcome.notes.push_back(toUtf8(kCancelledWord));
        outcome.result = ExportResult::Cancelled;
        return outcome;
    }
    if (walked.unread > 0) {
        outcome.notes.push_back("通過タイムのないレースが " + std::to_string(walked.unread) +
                                " 件あります (ラップファイルを読めませんでした)");
    }
    if (output.commit() != FileStatus::Ok) {
        outcome.result = ExportResult::NotWritten;
        return outcome;
    }
    outcome.notes.push_back(std::to_string(listed.size()) + " 人を書き出しました");
    outcome.result = walked.unread > 0 ? ExportResult::LapsUnread : ExportResult::Written;
    return outcome;
}

}  // namespace quendro::cli
