// A season meet list of any bytes: every field an entry, and choosing any entry
// sets a meet code of at most seven characters and shows the meet's address.
#include "app/main_window.h"
#include "app/meet_list.h"
#include "store/server_addresses.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_machine.h"
#include "fuzz/fuzz_target.h"
#include "platform/shift_jis.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = decodeShiftJis(fuzz::bytesOf(data, size));
    std::vector<std::u16string> entries = meetListEntries(text);
    FUZZ_CHECK(entries.size() <= text.size());

    fuzz::FuzzMachine m;
    MainWindow window(m.machine());
    window.txtTaikai.setText(u"http://127.0.0.1:1/swim/");
    window.seasonYear = u"2026";
    int counter = 0;
    for (auto& entry : entries) window.lstTaikai.setItem(counter++, entry);
    FUZZ_CHECK(window.lstTaikai.listCount() == static_cast<int>(entries.size()));
    for (int row = 0; row < window.lstTaikai.listCount() && row < 64; ++row) {
        window.lstTaikai.setListIndex(row);
        FUZZ_CHECK(window.meetCode.size() <= 7);
        FUZZ_CHECK(window.meetCode == meetCodeOf(entries[static_cast<size_t>(row)]));
        FUZZ_CHECK(window.lblWeb.caption ==
                   meetFolderUrl(window.txtTaikai.text(), window.seasonYear, window.meetCode));
    }
    return 0;
}
