#include "app/main_window.h"
#include "reports/lap_list.h"
#include "store/competitor_search.h"

namespace quendro {

void MainWindow::cmdLp_Click() {
    Printer& printer = machine_.printer;
    printer.setFont(kLapListFont, kLapListPoints);
    CompetitorFile file = competitorFileFor(webMode, resultDir, resultFile);
    CompetitorTable competitors(machine_.files, file.path, file.source);

    LocalDateTime now = machine_.clock.now();
    LapListHeader header{shortDateText(now), timeText(now),   txtNa.text(),    txtBasho.text(),
                         txtSdate.text(),    txtEdate.text(), txtBango.text(), {}};
    for (size_t i = 0; i < 8; ++i) header.distanceCaptions[i] = lblShu[i].caption;
    printLapListHeader(printer, header);

    for (int p = 0; p < hitCount; ++p) {
        printRule(printer);
        lstNamae.setListIndex(p);  // lists the competitor's swims
        printCompetitorLine(printer, competitors.competitor(hitRecords[static_cast<size_t>(p)]));
        printer.endLine();
        for (int s = 0; s < swimCount && s < lstShumoku.listCount(); ++s) {
            lstShumoku.setListIndex(s);  // reads the swim's splits
            printSwim(printer, lstShumoku.items()[static_cast<size_t>(s)], splitTimes, splitCount);
        }
    }
    printRule(printer);
    Printer::Outcome outcome = printer.endDoc();
    if (!outcome.ok || !outcome.word.empty()) statusText = outcome.word;
}

}  // namespace quendro
