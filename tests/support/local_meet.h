#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "tests/support/test_machine.h"

namespace quendro::test {

// The sample meet's records: heat table, results file and the rest.
std::filesystem::path sampleRecords();
// The project's bundled sample meet (sample/meet): kijun.dat, taikai.dat,
// kekka/KEKKA.DAT and its lap files.
std::filesystem::path sampleMeet();

// A local meet in D:\meet: the sample heat table (or the heats given), the
// sample results file in kekka\ and a meet header kijun.dat that names it, for
// 県選手権 in a 50 m pool with touchpads at both ends. Files already there are
// replaced; lap files are left to the test.
void writeLocalMeet(TestMachine& m, std::u16string_view abbreviation = u"県選");
void writeLocalMeet(TestMachine& m, std::u16string_view abbreviation, std::string_view heats);

// Opens D:\meet as a user does: "ﾛｰｶﾙ", the folder, then "確       定".
void openLocalMeet(MainWindow& window);

}  // namespace quendro::test
