#include "app/listed_swims.h"

#include "app/swim_reading.h"
#include "laps/swim_selection.h"
#include "platform/text_rules.h"
#include "reports/html_page.h"

namespace quendro {

ExportMeet exportMeetOf(const MainWindow& window) {
    ExportMeet meet;
    meet.code = window.txtCode.text();
    meet.name = window.txtNa.text();
    meet.abbreviation = window.txtRyaku.text();
    meet.venue = window.txtBasho.text();
    meet.firstDay = window.txtSdate.text();
    meet.lastDay = window.txtEdate.text();
    meet.splitDistance = window.splitDistance;
    return meet;
}

std::optional<std::vector<ExportSwim>> collectListedSwims(MainWindow& window, FileSystem& files) {
    std::vector<ExportSwim> swims;
    MeetCompetitors competitors(window, files);
    // Each heat's lap file once, as the printed list and the page read them.
    MainWindow::ReportScope report(window);
    for (int p = 0; p < window.hitCount && !report.cancelled(); ++p) {
        window.lstNamae.choose(p);  // lists the competitor's swims
        const std::int16_t ordinal = window.hitRecords[static_cast<size_t>(p)];
        CompetitorRecord competitor = competitors.competitor(ordinal);
        // The competitor's lines of the swim index, in the order of lstShumoku.
        std::vector<MeetSwim> own;
        const std::u16string key = competitorKey(ordinal);
        for (int i = 1;
             i <= window.swimTableCount && i < static_cast<int>(window.swimTable.size()) &&
             static_cast<int>(own.size()) < kMaxSwims;
             ++i) {
            const std::u16string& line = window.swimTable[static_cast<size_t>(i)];
            if (leftChars(line, 4) == key) own.push_back(meetSwimOf(line));
        }
        for (int s = 0; s < window.swimCount && s < window.lstShumoku.listCount() &&
                        s < static_cast<int>(own.size());
             ++s) {
            window.lstShumoku.choose(s);  // reads the swim's splits, a swim chosen before too
            ExportSwim swim{competitor, own[static_cast<size_t>(s)], {}};
            for (int k = 0; k < window.splitCount && k < 60; ++k) {
                swim.splits.push_back(window.splitTimes[static_cast<size_t>(k)]);
            }
            swims.push_back(std::move(swim));
        }
    }
    if (report.cancelled()) return std::nullopt;
    return swims;
}

void chooseAgain(MainWindow& window, int competitor, int swim) {
    if (competitor < 0 || !window.lstNamae.choose(competitor)) {
        window.lstNamae.setListIndex(-1);
        window.lstShumoku.setListIndex(-1);
        return;
    }
    if (swim < 0 || !window.lstShumoku.choose(swim)) window.lstShumoku.setListIndex(-1);
}

std::u16string listExportPath(const MainWindow& window, ListFormat format) {
    return window.selectedDir + window.txtRyaku.text() +
           (format == ListFormat::Csv ? u"9.csv" : u"9.json");
}

void writeListExport(MainWindow& window, FileSystem& files, ListFormat format) {
    const std::u16string path = listExportPath(window, format);
    const std::u16string kind = format == ListFormat::Csv ? u"CSV" : u"JSON";
    // The abbreviation names the file, as it names the HTML page: never another folder.
    if (std::u16string fault = pageNameFault(window.txtRyaku.text()); !fault.empty()) {
        window.statusText = kind + u" を書き込みません: 略称にファイル名に使えない文字があります (" +
                            fault + u")";
        return;
    }
    // The reading chooses every listed competitor and swim in turn; the
    // competitor and swim chosen before it are chosen again afterwards.
    const int competitor = window.lstNamae.listIndex();
    const int chosenSwim = window.lstShumoku.listIndex();
    std::optional<std::vector<ExportSwim>> collected = collectListedSwims(window, files);
    chooseAgain(window, competitor, chosenSwim);
    if (!collected) {
        window.statusText = kCancelledWord;  // the file is left as it was
        return;
    }
    const std::vector<ExportSwim>& swims = *collected;
    ExportMeet meet = exportMeetOf(window);
    std::string bytes =
        format == ListFormat::Csv ? exportCsv(meet, swims) : exportJson(meet, swims);
    if (files.writeBytes(path, bytes) != FileStatus::Ok) {
        window.statusText = kind + u" を書き込めませんでした: " + shownPath(path);
    } else {
        // Swims whose lap file could not be read are written without splits; say how many.
        int bare = 0;
        for (const auto& swim : swims) bare += swim.splits.empty() ? 1 : 0;
        std::u16string note =
            bare == 0 ? u"" : u"、通過タイムのないレース " + decimalText(bare) + u" 件";
        window.statusText = kind + u" を書き出しました（" + decimalText(window.hitCount) + u" 人" +
                            note + u"）: " + shownPath(path);
    }
}

}  // namespace quendro
