// Files from elsewhere can hold anything: random bytes through every reader of
// the meet's text and record files must neither crash nor hang.
#include <gtest/gtest.h>

#include <random>

#include "store/meet_header.h"
#include "app/meet_list.h"
#include "store/site_control.h"
#include "laps/lap_file.h"
#include "laps/swim_selection.h"
#include "platform/shift_jis.h"
#include "store/record_files.h"

namespace quendro {
namespace {

TEST(RandomInput, ReadersTakeAnyBytes) {
    std::mt19937 random(20100629);
    const std::string alphabet = "0123456789,\"\r\n G:.\x81\x82\x8C\xA0\xFF";
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 400, '\0');
        for (char& b : bytes) {
            b = random() % 2 ? alphabet[random() % alphabet.size()]
                             : static_cast<char>(random() % 256);
        }
        std::u16string text = decodeShiftJis(bytes);
        EXPECT_LE(text.size(), bytes.size());
        EXPECT_LE(parseMeetHeader(text).fieldCount, 73);
        parseSiteControl(text);
        meetListEntries(text);
        EXPECT_LE(readLaneSplits(text, 4, round % 2 == 0).splits.size(), 60u);
        decodeHeatRecord(bytes);
        decodeCompetitorRecord(bytes);
        swimRowOf(text);
        EXPECT_EQ(decodeShiftJis(encodeShiftJis(text)).size(), text.size());
    }
}

}  // namespace
}  // namespace quendro
