// A site control file "dr_kyo.ctl" of any bytes: parsed on its own, then read
// at the start of the program, which shows the data folder it names when that
// folder exists and says so on the status line when it does not.
#include "app/main_window.h"
#include "store/site_control.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_machine.h"
#include "fuzz/fuzz_target.h"
#include "platform/shift_jis.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = fuzz::bytesOf(data, size);
    SiteControl parsed = parseSiteControl(decodeShiftJis(bytes));
    if (parsed.dataDir) FUZZ_CHECK(!parsed.dataDir->empty() && parsed.dataDir->back() == u'\\');
    if (parsed.resultDir) FUZZ_CHECK(parsed.dataDir.has_value());

    fuzz::FuzzMachine m;
    fuzz::writeHostFile(m.driveD() / "meet" / "kijun.dat", "");
    fuzz::writeHostFile(m.siteControlFile(), bytes);
    MainWindow window(m.machine());
    window.Form_Load();
    if (parsed.dataDir) FUZZ_CHECK(window.dataDir == *parsed.dataDir);
    FUZZ_CHECK(window.lblWeb.caption == window.dataDir);
    FUZZ_CHECK(window.mousePointer == MousePointer::Default);
    FUZZ_CHECK(window.splitDistance >= 25 && window.splitDistance <= 200);
    window.Form_Unload();
    return 0;
}
