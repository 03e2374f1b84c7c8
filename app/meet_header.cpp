#include "app/main_window.h"
#include "platform/text_rules.h"
#include "store/meet_header.h"
#include "store/working_folder.h"

namespace quendro {

void MainWindow::ReadMeetHeader() {
    std::u16string path =
        webMode != 0 ? std::u16string(kWorkingHeader) : dataDir + std::u16string(kMeetHeaderName);
    std::u16string text;
    if (readText(machine_.files, path, text) != FileStatus::Ok) return;
    const MeetHeader h = parseMeetHeader(std::move(text));

    // Applied field by field in file order; the first field missing ends it all.
    if (h.fieldCount < 1) return;
    resultDir = resultDirFor(h.resultFolder, dataDir);
    if (h.fieldCount < 2) return;
    resultFile = h.resultFile;
    if (h.fieldCount < 3) return;
    txtCode.setText(h.meetCode);
    if (h.fieldCount < 4) return;
    txtNa.setText(h.meetName);
    if (h.fieldCount < 5) return;
    txtRyaku.setText(h.abbreviation);
    if (h.fieldCount < 6) return;
    txtSdate.setText(headerDate(h.firstDay));
    if (h.fieldCount < 7) return;
    txtEdate.setText(headerDate(h.lastDay));
    if (h.fieldCount < 8) return;
    txtBasho.setText(h.venue);
    if (h.fieldCount < 9) return;
    if (auto pool = poolIndexForCode(h.poolCode)) {
        optSuiro.select(*pool);
        poolIndex = *pool;
    }
    if (h.fieldCount < 72) return;
    auto touchpad = touchpadIndexFor(h.touchpads);
    if (!touchpad) return;
    optSetti.select(*touchpad);
    touchpadIndex = *touchpad;
    if (h.fieldCount < kMeetHeaderFields) return;
    // After a whole header the laps show as cumulative times.
    optLap.select(0);
}

}  // namespace quendro
