#include <algorithm>

#include "app/main_window.h"
#include "store/competitor_search.h"

namespace quendro {

void MainWindow::SearchCompetitors() {
    lstShumoku.clear();
    // The file is read in one go and only the competitors that match are decoded.
    CompetitorFile file = competitorFileFor(webMode, resultDir, resultFile);
    CompetitorFileBytes table(machine_.files, file.path, file.source);
    SearchResult found = searchCompetitors(table, txtBango.text());
    hitRecords.assign(static_cast<size_t>(table.competitorCount()) + 1, 0);
    std::copy(found.ordinals.begin(), found.ordinals.end(), hitRecords.begin());
    hitCount = static_cast<std::int16_t>(found.lines.size());
    lstNamae.assignItems(std::move(found.lines));
    // Both lists are new and no swim is chosen: the grid shows no one's times.
    clearLaps();
}

void MainWindow::txtBango_Change() {
    SearchCompetitors();
}

}  // namespace quendro
