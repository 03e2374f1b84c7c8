#include "app/main_window.h"
#include "app/server_addresses.h"
#include "laps/lap_file.h"
#include "laps/swim_selection.h"
#include "platform/shift_jis.h"
#include "store/working_folder.h"

namespace quendro {

void MainWindow::lstNamae_Click() {
    int row = lstNamae.listIndex();
    if (row < 0 || row >= static_cast<int>(hitRecords.size())) return;
    std::u16string key = competitorKey(hitRecords[static_cast<size_t>(row)]);
    lstShumoku.clear();
    std::vector<SwimRow> swims = swimsOfCompetitor(swimTable, swimTableCount, key);
    for (size_t r = 0; r < swims.size(); ++r) {
        lstShumoku.setItem(static_cast<int>(r), swims[r].text);
        swimTexts[r] = swims[r].finalTime;
        swimKeys[r] = swims[r].heat;
        swimNumbers[r] = swims[r].lane;
    }
    swimCount = static_cast<std::int16_t>(swims.size());
}

void MainWindow::lstShumoku_Click() {
    setMousePointer(MousePointer::Hourglass);
    splitTimes.fill(u"");
    FileSystem& files = machine_.files;
    int count = 0;
    int row = lstShumoku.listIndex();
    if (row >= 0 && row < kMaxSwims) {
        const auto r = static_cast<size_t>(row);
        std::string bytes;
        bool opened = false;
        if (webMode != 0) {
            // The heat's lap file comes from the server into the working folder.
            auto body =
                Inet1.openUrl(lapFileUrl(txtTaikai.text(), seasonYear, meetCode, swimKeys[r]));
            if (body) {
                std::string stored = *body + "\r\n";
                FileStatus written = files.writeBytes(kWorkingLapFile, stored);
                if (written != FileStatus::Ok && ensureWorkingFolder(files)) {
                    written = files.writeBytes(kWorkingLapFile, stored);
                }
                opened = written == FileStatus::Ok &&
                         files.readBytes(kWorkingLapFile, bytes) == FileStatus::Ok;
            }
        } else {
            opened =
                files.readBytes(localLapFilePath(dataDir, swimKeys[r]), bytes) == FileStatus::Ok;
        }
        if (opened && !bytes.empty()) {
            LaneSplits lane =
                readLaneSplits(decodeShiftJis(bytes), swimNumbers[r] + 1, chkQ.value() == 1);
            count = static_cast<int>(lane.splits.size());
            for (int i = 0; i < count; ++i)
                splitTimes[static_cast<size_t>(i)] = lane.splits[static_cast<size_t>(i)];
        }
        // The last split read shows the official final time, or the result word.
        if (count > 0) splitTimes[static_cast<size_t>(count - 1)] = swimTexts[r];
    }
    splitCount = static_cast<std::int16_t>(count);
    setMousePointer(MousePointer::Default);
    ShowLaps();
}

}  // namespace quendro
