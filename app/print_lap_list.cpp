#include "app/main_window.h"
#include "meet/report_run.h"
#include "meet/status_words.h"
#include "reports/held_print.h"
#include "reports/lap_list.h"
#include "store/competitor_search.h"

namespace quendro {

void MainWindow::cmdLp_Click() {
    // The list goes to the printer once every lap file has been read: a list
    // the user stopped is not printed in part.
    HeldPrint held;
    held.setFont(kLapListFont, kLapListPoints);
    CompetitorFile file = competitorFileFor(webMode, resultDir, resultFile);
    CompetitorTable competitors(machine_.files, file.path, file.source,
                                CompetitorReading::AllAtOnce);

    LocalDateTime now = machine_.clock.now();
    LapListHeader header{shortDateText(now), timeText(now),   txtNa.text(),    txtBasho.text(),
                         txtSdate.text(),    txtEdate.text(), txtBango.text(), {}};
    for (size_t i = 0; i < 8; ++i) header.distanceCaptions[i] = lblShu[i].caption;
    printLapListHeader(held, header);

    int unread = 0;  // swims whose lap file could not be read
    auto report = std::make_unique<ReportScope>(*this);
    for (int p = 0; p < hitCount && !report->cancelled(); ++p) {
        printRule(held);
        lstNamae.choose(p);  // lists the competitor's swims
        printCompetitorLine(held, competitors.competitor(hitRecords[static_cast<size_t>(p)]));
        held.endLine();
        for (int s = 0; s < swimCount && s < lstShumoku.listCount() && !report->cancelled(); ++s) {
            lstShumoku.choose(s);  // reads the swim's splits, also those of a swim chosen before
            if (!lapFileRead_) ++unread;
            printSwim(held, lstShumoku.items()[static_cast<size_t>(s)], splitTimes, splitCount);
        }
    }
    const bool cancelled = report->cancelled();
    report.reset();
    if (cancelled) {
        statusText = kCancelledWord;
        return;
    }
    printRule(held);
    Printer& printer = machine_.printer;
    held.sendTo(printer);
    Printer::Outcome outcome = printer.endDoc();
    // The outcome of this print replaces whatever the status line said before.
    if (!outcome.ok) {
        statusText = outcome.word;
    } else {
        statusText = reportWord(outcome.word.empty() ? u"印刷しました" : outcome.word, unread);
    }
}

}  // namespace quendro
