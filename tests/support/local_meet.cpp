#include "tests/support/local_meet.h"

namespace fs = std::filesystem;

namespace quendro::test {

fs::path sampleRecords() {
    return fs::path(QUENDRO_SOURCE_DIR) / "tests" / "data" / "sample_records";
}

fs::path sampleMeet() { return fs::path(QUENDRO_SOURCE_DIR) / "sample" / "meet"; }

void writeLocalMeet(TestMachine& m, std::u16string_view abbreviation) {
    writeLocalMeet(m, abbreviation, readFile(sampleRecords() / "taikai.dat"));
}

void writeLocalMeet(TestMachine& m, std::u16string_view abbreviation, std::string_view heats) {
    fs::path meet = m.driveD() / "meet";
    writeFile(meet / "taikai.dat", heats);
    writeFile(meet / "kekka" / "KEKKA.DAT", readFile(sampleRecords() / "KEKKA.DAT"));
    std::u16string header = u"X:\\meet\\kekka\\,KEKKA.DAT,2026001,県選手権," +
                            std::u16string(abbreviation) + u",20260725,20260726,プール,0";
    for (int i = 10; i <= 73; ++i) header += u",0";
    writeFile(meet / "kijun.dat", sjis(header));
}

void openLocalMeet(MainWindow& window) {
    window.optWeb.select(0);
    window.Dir1.setPath(u"D:\\meet");
    window.cmdKakutei.click();
}

}  // namespace quendro::test
