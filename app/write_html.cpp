#include "app/main_window.h"
#include "reports/html_page.h"
#include "store/competitor_search.h"

namespace quendro {

void MainWindow::cmdHtml_Click() {
    CompetitorFile file = competitorFileFor(webMode, resultDir, resultFile);
    CompetitorTable competitors(machine_.files, file.path, file.source);
    std::u16string path = htmlPagePath(selectedDir, txtRyaku.text());

    // The page is made whole before it is written, so that a failure never
    // leaves half a page behind.
    HtmlPage page;
    for (int p = 0; p < hitCount; ++p) {
        lstNamae.setListIndex(p);  // lists the competitor's swims
        page.competitor(competitors.competitor(hitRecords[static_cast<size_t>(p)]));
        for (int s = 0; s < swimCount && s < lstShumoku.listCount(); ++s) {
            lstShumoku.setListIndex(s);  // reads the swim's splits
            page.swim(s, lstShumoku.items()[static_cast<size_t>(s)], splitTimes, splitCount);
        }
    }
    if (writeText(machine_.files, path, page.finish()) != FileStatus::Ok) {
        statusText = u"HTML を書き込めませんでした: " + path;
    } else {
        statusText = u"HTML を書き込みました: " + path;
    }
}

}  // namespace quendro
