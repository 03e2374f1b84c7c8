#include "app/main_window.h"
#include "app/server_addresses.h"
#include "app/status_words.h"
#include "laps/lap_file.h"
#include "laps/swim_selection.h"
#include "platform/shift_jis.h"
#include "store/working_folder.h"

namespace quendro {
namespace {

constexpr std::u16string_view kLapFileWord = u"ラップファイルを読めませんでした: ";

}  // namespace

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
    // No swim of this competitor is chosen yet: the grid shows no one's times.
    clearLaps();
}

void MainWindow::clearLaps() {
    splitTimes.fill(u"");
    splitCount = 0;
    ShowLaps();
}

void MainWindow::lstShumoku_Click() {
    setMousePointer(MousePointer::Hourglass);
    splitTimes.fill(u"");
    FileSystem& files = machine_.files;
    int count = 0;
    int row = lstShumoku.listIndex();
    lapFileRead_ = false;
    if (row >= 0 && row < kMaxSwims) {
        const auto r = static_cast<size_t>(row);
        std::string bytes;
        bool opened = false;
        std::u16string source;
        std::u16string failure;
        if (webMode != 0) {
            // The heat's lap file comes from the server into the working folder.
            std::u16string url = lapFileUrl(txtTaikai.text(), seasonYear, meetCode, swimKeys[r]);
            showWork();
            Download body = Inet1.download(url);
            if (body.ok()) {
                std::string stored = body.body + "\r\n";
                FileStatus written = files.writeBytes(kWorkingLapFile, stored);
                if (written == FileStatus::PathNotFound && ensureWorkingFolder(files)) {
                    written = files.writeBytes(kWorkingLapFile, stored);
                }
                opened = written == FileStatus::Ok &&
                         files.readBytes(kWorkingLapFile, bytes) == FileStatus::Ok;
                if (written != FileStatus::Ok) failure = workingFolderWord(written);
            } else {
                failure =
                    std::u16string(kLapFileWord) + u"(" + downloadFailureWord(body) + u") " + url;
            }
        } else {
            source = localLapFilePath(dataDir, swimKeys[r]);
            opened = files.readBytes(source, bytes) == FileStatus::Ok;
        }
        lapFileRead_ = opened;
        if (!opened) {
            statusText = failure.empty() ? std::u16string(kLapFileWord) + source : failure;
        } else if (statusText.starts_with(kLapFileWord)) {
            statusText.clear();  // the word was about a swim chosen before
        }
        if (opened && !bytes.empty()) {
            LaneSplits lane =
                readLaneSplits(decodeShiftJis(bytes), swimNumbers[r] + 1, chkQ.value() == 1);
            count = static_cast<int>(lane.splits.size());
            for (int i = 0; i < count; ++i)
                splitTimes[static_cast<size_t>(i)] = lane.splits[static_cast<size_t>(i)];
        }
        // The last split read shows the official final time, or the result word.
        // A heat swum after the import has no final time yet: its measured
        // finish stays.
        if (count > 0 && hasFinalTime(swimTexts[r]))
            splitTimes[static_cast<size_t>(count - 1)] = swimTexts[r];
    }
    splitCount = static_cast<std::int16_t>(count);
    setMousePointer(MousePointer::Default);
    ShowLaps();
}

}  // namespace quendro
