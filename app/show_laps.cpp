#include "app/main_window.h"
#include "laps/lap_grid.h"

namespace quendro {

void MainWindow::PrepareLapGrid() {
    if (auto distance = splitDistanceFor(poolIndex, touchpadIndex)) splitDistance = *distance;
    // The selection stays, even on an entry that becomes disabled.
    std::array<bool, 5> enabled = lapOptionsEnabled(splitDistance);
    for (int i = 1; i < 5; ++i) optLap[i].enabled = enabled[static_cast<size_t>(i)];
    SplitTexts captions = distanceCaptions(splitDistance);
    for (size_t j = 0; j < 60; ++j) lblShu[j].caption = captions[j];
}

void MainWindow::ShowLaps() {
    SplitTexts cells = lapCells(lapIndex, splitDistance, splitTimes);
    for (size_t i = 0; i < 60; ++i) lblLap[i].caption = cells[i];
}

}  // namespace quendro
