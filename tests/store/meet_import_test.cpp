#include "store/meet_import.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::RecordBytes;

TEST(MeetImport, SwimIndexLines) {
    EXPECT_EQ(swimIndexLine(17, 5, u"2", 25831, 12, 3), u"0017052025831001203");
    EXPECT_EQ(swimIndexLine(7, 2, u"1", 3125, 1, 0), u"0007021003125000100");
    EXPECT_EQ(swimIndexLine(120, 13, u"2", 888888, 40, 9), u"0120132888888004009");
    EXPECT_EQ(swimIndexLine(1, 3, u" ", 3125, 1, 0), u"0001030003125000100");  // blank stage: 0
    EXPECT_EQ(swimIndexLine(1, 3, u"A", 3125, 1, 0), u"0001030003125000100");
    EXPECT_EQ(swimIndexLine(9999, 29, u"4", 999999, 9999, 9), u"9999294999999999909");
}

TEST(MeetImport, EveryOccupiedLaneOfEveryHeatInFileOrder) {
    test::TestMachine m;
    std::string file = RecordBytes(256, '\0').int16(0, 3).str() + std::string(9 * 256, '\0');
    file += RecordBytes(256, '\0').int16(11, 2).bytes(13, "1").int16(22, 7).int32(46, 3125).str();
    file += RecordBytes(256, '\0').int16(11, 3).bytes(13, "1").str();  // nobody swam this heat
    RecordBytes third(256, '\0');
    third.int16(11, 13).bytes(13, "2").int16(22 + 2 * 9, 120).int32(46 + 4 * 9, 888888);
    third.int16(22 + 2 * 2, 5).int32(46 + 4 * 2, 4102);
    third.int16(22 + 2 * 10, 99);  // slot 10 is no lane
    third.int16(22 + 2 * 4, -5);   // a damaged lane: no competitor has a negative ordinal
    file += third.str();
    test::writeFile(m.driveD() / "taikai.dat", file);

    HeatTable heats(m.files(), u"D:\\taikai.dat");
    std::vector<std::u16string> index = buildSwimIndex(heats);
    EXPECT_EQ(index, (std::vector<std::u16string>{u"", u"0007021003125000100",
                                                  u"0005132004102000302", u"0120132888888000309"}));
}

}  // namespace
}  // namespace quendro
