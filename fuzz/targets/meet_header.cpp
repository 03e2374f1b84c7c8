// A meet header "kijun.dat" of any bytes: parsed on its own, then read by the
// window of a local meet, whose options and lap grid stay within their ranges.
#include "app/main_window.h"
#include "store/meet_header.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_machine.h"
#include "fuzz/fuzz_target.h"
#include "platform/shift_jis.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = fuzz::bytesOf(data, size);
    MeetHeader parsed = parseMeetHeader(decodeShiftJis(bytes));
    FUZZ_CHECK(parsed.fieldCount >= 0 && parsed.fieldCount <= kMeetHeaderFields);
    FUZZ_CHECK(headerDate(parsed.firstDay).size() <= 10);
    auto touchpad = touchpadIndexFor(parsed.touchpads);
    FUZZ_CHECK(!touchpad || *touchpad == 0 || *touchpad == 1);

    fuzz::FuzzMachine m;
    fuzz::writeHostFile(m.driveD() / "meet" / "kijun.dat", bytes);
    MainWindow window(m.machine());
    window.webMode = 0;
    window.dataDir = u"D:\\meet\\";
    window.ReadMeetHeader();
    window.PrepareLapGrid();
    FUZZ_CHECK(window.poolIndex >= 0 && window.poolIndex <= 2);
    FUZZ_CHECK(window.touchpadIndex == 0 || window.touchpadIndex == 1);
    if (parsed.fieldCount >= 9 && poolIndexForCode(parsed.poolCode))
        FUZZ_CHECK(window.optSuiro.selected() == window.poolIndex);
    FUZZ_CHECK(window.splitDistance >= 25 && window.splitDistance <= 200);
    if (parsed.fieldCount == kMeetHeaderFields && touchpad) FUZZ_CHECK(window.optLap.selected() == 0);
    if (parsed.fieldCount >= 4) FUZZ_CHECK(window.txtNa.text() == parsed.meetName);
    return 0;
}
