#include <algorithm>

#include "app/main_window.h"
#include "store/competitor_search.h"
#include "store/name_match.h"

namespace quendro {
namespace {

constexpr std::u16string_view kNoMatch = u"該当する選手がいません: ";

}  // namespace

void MainWindow::SearchCompetitors() {
    lstShumoku.clear();
    // The file is read in one go and only the competitors that match are decoded.
    CompetitorFile file = competitorFileFor(webMode, resultDir, resultFile);
    CompetitorFileBytes table(machine_.files, file.path, file.source);
    SearchResult found = findCompetitors(table, txtBango.text());
    hitRecords.assign(static_cast<size_t>(table.competitorCount()) + 1, 0);
    std::copy(found.ordinals.begin(), found.ordinals.end(), hitRecords.begin());
    hitCount = static_cast<std::int16_t>(found.lines.size());
    lstNamae.assignItems(std::move(found.lines));
    // Both lists are new and no swim is chosen: the grid shows no one's times.
    clearLaps();

    // The status line says when a filter finds nobody in a meet that has competitors.
    if (hitCount == 0 && table.competitorCount() > 0) {
        statusText = std::u16string(kNoMatch) + txtBango.text();
    } else if (statusText.starts_with(kNoMatch)) {
        statusText.clear();
    }
    // Before the first confirm in internet mode there are no competitors to find.
    if (table.competitorCount() == 0) hintConfirm();
}

void MainWindow::txtBango_Change() {
    SearchCompetitors();
}

}  // namespace quendro
