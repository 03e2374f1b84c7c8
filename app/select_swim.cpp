#include "app/main_window.h"
#include "meet/report_run.h"
#include "laps/report_laps.h"
#include "laps/swim_selection.h"
#include "laps/swim_splits.h"

namespace quendro {

void MainWindow::lstNamae_Click() {
    int row = lstNamae.listIndex();
    if (row < 0 || row >= static_cast<int>(hitRecords.size())) return;
    std::u16string key = competitorKey(hitRecords[static_cast<size_t>(row)]);
    lstShumoku.clear();
    if (!swimIndex_.builtFor(swimTable, swimTableCount)) swimIndex_.build(swimTable, swimTableCount);
    std::vector<SwimRow> swims = swimIndex_.swimsOf(swimTable, key);
    for (size_t r = 0; r < swims.size(); ++r) {
        lstShumoku.setItem(static_cast<int>(r), swims[r].text);
        swimTexts[r] = swims[r].finalTime;
        swimKeys[r] = swims[r].heat;
        swimNumbers[r] = swims[r].lane;
        swimDistances[r] = swims[r].eventDistance;
    }
    swimCount = static_cast<std::int16_t>(swims.size());
    // No swim of this competitor is chosen yet: the grid shows no one's times.
    clearLaps();
}

void MainWindow::clearLaps() {
    splitTimes.fill(u"");
    splitCount = 0;
    ShowLaps();
}

LapSource MainWindow::lapSource() {
    return LapSource{machine_.files, Inet1,   webMode != 0,    dataDir,
                     txtTaikai.text(), seasonYear, meetCode, chkQ.value() == 1};
}

std::unique_ptr<ReportRun> MainWindow::startReport() {
    if (!swimIndex_.builtFor(swimTable, swimTableCount)) swimIndex_.build(swimTable, swimTableCount);
    return std::make_unique<ReportRun>(
        lapSource(), reportHeatUses(swimIndex_, swimTable, hitRecords, hitCount), onLapDownloads);
}

MainWindow::ReportScope::ReportScope(MainWindow& window)
    : window_(window), run_(window.startReport()) {
    window_.reportRun_ = run_.get();
}

MainWindow::ReportScope::~ReportScope() {
    window_.reportRun_ = nullptr;
}

bool MainWindow::ReportScope::cancelled() const {
    return run_->cancelled();
}

void MainWindow::lstShumoku_Click() {
    setMousePointer(MousePointer::Hourglass);
    splitTimes.fill(u"");
    int count = 0;
    int row = lstShumoku.listIndex();
    lapFileRead_ = false;
    if (row >= 0 && row < kMaxSwims) {
        const auto r = static_cast<size_t>(row);
        if (webMode != 0) showWork();
        // Within a report each heat's lap file is read once; a click reads it afresh.
        std::shared_ptr<const HeatFile> file =
            reportRun_ ? reportRun_->heat(swimKeys[r])
                       : std::make_shared<const HeatFile>(lapSource().load(swimKeys[r]));
        lapFileRead_ = file->read;
        if (!file->read) {
            if (statusText != file->failure) statusText = file->failure;
        } else if (statusText.starts_with(kLapFileWord)) {
            statusText.clear();  // the word was about a swim chosen before
        }
        const int lane = swimNumbers[r] + 1;
        if (file->read) count = file->laps.copyLane(lane, splitTimes);
        // The official final time, or the result word, over the last split read,
        // or at the event's own distance when the lane's records stop short of it.
        count = placeFinalTime(splitTimes, count, file->read && file->laps.endsAtGoal(lane),
                               swimTexts[r], swimDistances[r], splitDistance);
    }
    splitCount = static_cast<std::int16_t>(count);
    setMousePointer(MousePointer::Default);
    ShowLaps();
}

}  // namespace quendro
