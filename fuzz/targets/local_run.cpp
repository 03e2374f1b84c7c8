// A whole local meet of fuzzed files, through the window as a user goes: start,
// local folder, confirm (header, heat table, swim index, results file), a number
// typed, every competitor and every swim chosen with its lap file, each lap
// option, the printed lap list and the HTML page.
//
// Sections of the input: settings (a flag byte, then the number typed), the
// meet header, the heat table, the results file, and the lap files of heats 1
// to 8. The results file is put where the header says it is.
#include "app/main_window.h"
#include "store/meet_header.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_machine.h"
#include "fuzz/fuzz_target.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"

using namespace quendro;

namespace {

constexpr int kMostRows = 12;  // competitors and swims chosen, to keep a run short

void checkWindow(const MainWindow& w) {
    FUZZ_CHECK(w.mousePointer == MousePointer::Default);
    FUZZ_CHECK(w.splitCount >= 0 && w.splitCount <= 60);
    FUZZ_CHECK(w.swimCount >= 0 && w.swimCount <= 51);
    FUZZ_CHECK(w.hitCount == w.lstNamae.listCount());
    FUZZ_CHECK(w.swimCount == w.lstShumoku.listCount());
    for (const Label& cell : w.lblLap) FUZZ_CHECK(cell.caption.size() <= 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parts = fuzz::sections(data, size, 12);
    parts.resize(12);
    const unsigned flags = parts[0].empty() ? 0u : static_cast<unsigned char>(parts[0][0]);
    std::u16string number = decodeShiftJis(parts[0].empty() ? parts[0] : parts[0].substr(1));

    fuzz::FuzzMachine m;
    const auto meet = m.driveD() / "meet";
    fuzz::writeHostFile(m.siteControlFile(), "0,D:\\meet\\,0,D:\\meet\\kekka\\,KEKKA.DAT\r\n");
    fuzz::writeHostFile(meet / "kijun.dat", parts[1]);
    fuzz::writeHostFile(meet / "taikai.dat", parts[2]);
    for (int heat = 1; heat <= 8; ++heat) {
        std::string name = "r" + toUtf8(zeroFilled(heat, 4));
        if (!parts[static_cast<size_t>(3 + heat)].empty())
            fuzz::writeHostFile(meet / "lap" / name, parts[static_cast<size_t>(3 + heat)]);
    }
    // The results file where the header names it, when that is inside the meet's drives.
    MeetHeader header = parseMeetHeader(decodeShiftJis(parts[1]));
    std::u16string resultPath = resultDirFor(header.resultFolder, u"D:\\meet\\") + header.resultFile;
    if (m.files().writeBytes(resultPath, parts[3]) != FileStatus::Ok)
        fuzz::writeHostFile(meet / "kekka" / "KEKKA.DAT", parts[3]);
    // From here on every write is the program's: whatever the files say, it
    // writes only in its working folder and in the folder of the meet.
    const int refusedBefore = m.files().refusedChanges;

    MainWindow w(m.machine());
    w.Form_Load();
    w.optWeb.select(0);
    w.chkQ.setValue(flags & 1 ? 1 : 0);
    w.Dir1.setPath(u"D:\\meet");
    w.cmdKakutei.click();
    checkWindow(w);
    FUZZ_CHECK(w.swimTableCount >= 0 && w.swimTableCount <= w.meetHeatCount * 10);

    w.txtBango.setText(number);
    checkWindow(w);
    for (int p = 0; p < w.lstNamae.listCount() && p < kMostRows; ++p) {
        w.lstNamae.setListIndex(p);
        checkWindow(w);
        for (int s = 0; s < w.lstShumoku.listCount() && s < kMostRows; ++s) {
            w.lstShumoku.setListIndex(s);
            checkWindow(w);
            w.optLap.select(static_cast<int>((flags >> 1) % 5));
            checkWindow(w);
        }
    }
    if (flags & 0x10) w.optSuiro.select(2);
    w.optLap.select(0);

    const size_t printed = m.printer().documents.size();
    w.cmdLp.click();
    FUZZ_CHECK(m.printer().documents.size() == printed + 1);
    checkWindow(w);
    w.cmdHtml.click();
    checkWindow(w);
    FUZZ_CHECK(m.files().refusedChanges == refusedBefore);
    w.Form_Unload();
    return 0;
}
