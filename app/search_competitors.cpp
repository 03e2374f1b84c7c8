#include "app/main_window.h"
#include "store/competitor_search.h"

namespace quendro {

void MainWindow::SearchCompetitors() {
    lstNamae.clear();
    lstShumoku.clear();
    CompetitorFile file = competitorFileFor(webMode, resultDir, resultFile);
    CompetitorTable table(machine_.files, file.path, file.source);
    SearchResult found = searchCompetitors(table, txtBango.text());
    hitRecords.assign(static_cast<size_t>(table.competitorCount()) + 1, 0);
    for (size_t i = 0; i < found.lines.size(); ++i) {
        lstNamae.setItem(static_cast<int>(i), std::move(found.lines[i]));
        hitRecords[i] = found.ordinals[i];
    }
    hitCount = static_cast<std::int16_t>(found.lines.size());
    // Both lists are new and no swim is chosen: the grid shows no one's times.
    clearLaps();
}

void MainWindow::txtBango_Change() {
    SearchCompetitors();
}

}  // namespace quendro
