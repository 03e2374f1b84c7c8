#include "app/main_window.h"
#include "meet/report_run.h"
#include "meet/status_words.h"
#include "reports/html_page.h"
#include "store/competitor_search.h"

namespace quendro {

void MainWindow::cmdHtml_Click() {
    if (std::u16string fault = pageNameFault(txtRyaku.text()); !fault.empty()) {
        statusText =
            u"HTML を書き込みません: 略称にファイル名に使えない文字があります (" + fault + u")";
        htmlOutcome = WriteOutcome::Refused;
        return;
    }
    CompetitorFile file = competitorFileFor(webMode, resultDir, resultFile);
    CompetitorTable competitors(machine_.files, file.path, file.source,
                                CompetitorReading::AllAtOnce);
    std::u16string path = htmlPagePath(selectedDir, txtRyaku.text());

    // The page goes out line by line to a file of its own, which takes the
    // place of the page only when the whole page is written: a failure never
    // leaves half a page behind. The selections run the same when the page
    // cannot be written.
    std::unique_ptr<OutputFile> out = machine_.files.createFile(path);
    HtmlPage page([&out](std::string_view bytes) { out->write(bytes); });
    int unread = 0;  // swims whose lap file could not be read
    bool cancelled = false;
    {
        ReportScope report(*this);
        for (int p = 0; p < hitCount && !report.cancelled(); ++p) {
            lstNamae.choose(p);  // lists the competitor's swims
            page.competitor(competitors.competitor(hitRecords[static_cast<size_t>(p)]));
            for (int s = 0; s < swimCount && s < lstShumoku.listCount() && !report.cancelled();
                 ++s) {
                lstShumoku.choose(s);  // reads the swim's splits, also those of a swim chosen before
                if (!lapFileRead_) ++unread;
                page.swim(s, lstShumoku.items()[static_cast<size_t>(s)], splitTimes, splitCount);
            }
        }
        cancelled = report.cancelled();
    }
    // Stopped by the user: the page made so far is dropped, and the file is
    // left as it was, or missing as it was.
    if (cancelled) {
        statusText = kCancelledWord;
        htmlOutcome = WriteOutcome::Cancelled;
        return;
    }
    page.finish();
    if (out->commit() != FileStatus::Ok) {
        statusText = u"HTML を書き込めませんでした: " + pathForUser(machine_.files, path);
        htmlOutcome = WriteOutcome::Failed;
    } else {
        htmlOutcome = WriteOutcome::Written;
        statusText = reportWord(u"HTML を書き込みました", unread) + u": " +
                     pathForUser(machine_.files, path);
    }
}

}  // namespace quendro
