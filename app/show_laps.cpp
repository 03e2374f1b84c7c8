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
    // Each caption takes its text in the room it already has.
    putLapCells(lapIndex, splitDistance, splitTimes,
                [this](size_t cell, std::u16string_view text) { lblLap[cell].caption.assign(text); });
}

}  // namespace quendro
