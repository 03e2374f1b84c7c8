#include "store/record_shape.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"

namespace quendro {
namespace {

using test::RecordBytes;

// A file of records - 1 data records after its header records, the header
// counting count of them: built by hand from the layout.
std::string heatFile(std::int16_t count, size_t records) {
    std::string bytes = RecordBytes(256).int16(0, count).str();
    bytes.resize(records * 256, ' ');
    return bytes;
}
std::string competitorFile(size_t length, std::int32_t count, size_t records) {
    std::string bytes = RecordBytes(length).int32(0, count).str();
    bytes.resize(records * length, ' ');
    return bytes;
}

// The heat table and both competitor files are whole when every counted
// record is there: exactly at the end, and one record short of it.
TEST(RecordShape, AFileIsWholeWhenEveryCountedRecordIsThere) {
    struct Case {
        const char* what;
        std::string bytes;
        RecordFileKind kind;
        RecordFileShape shape;
    };
    const Case cases[] = {
        {"empty heat table", "", RecordFileKind::Heats, RecordFileShape::Whole},
        {"no heats", heatFile(0, 1), RecordFileKind::Heats, RecordFileShape::Whole},
        {"3 heats, all there", heatFile(3, 13), RecordFileKind::Heats, RecordFileShape::Whole},
        {"3 heats, the last byte missing", heatFile(3, 13).substr(0, 13 * 256 - 1),
         RecordFileKind::Heats, RecordFileShape::CutShort},
        {"3 heats, one record short", heatFile(3, 12), RecordFileKind::Heats,
         RecordFileShape::CutShort},
        {"count -1", heatFile(-1, 13), RecordFileKind::Heats, RecordFileShape::NegativeCount},
        {"count 32767 (huge)", heatFile(32767, 13), RecordFileKind::Heats,
         RecordFileShape::CutShort},
        {"header cut at 3 bytes", heatFile(0, 1).substr(0, 3), RecordFileKind::Heats,
         RecordFileShape::CutShort},
        {"header of 4 bytes, count 0", heatFile(0, 1).substr(0, 4), RecordFileKind::Heats,
         RecordFileShape::Whole},
        {"random bytes", "\x9a\x7f\x13\xe0garbage of a page", RecordFileKind::Heats,
         RecordFileShape::CutShort},
        {"ind2, 2 competitors", competitorFile(128, 2, 3), RecordFileKind::Ind2,
         RecordFileShape::Whole},
        {"ind2, 2 competitors, one short", competitorFile(128, 2, 2), RecordFileKind::Ind2,
         RecordFileShape::CutShort},
        {"ind2, count -5", competitorFile(128, -5, 3), RecordFileKind::Ind2,
         RecordFileShape::NegativeCount},
        {"results, 2 competitors", competitorFile(384, 2, 12), RecordFileKind::Results,
         RecordFileShape::Whole},
        {"results, 2 competitors, one short", competitorFile(384, 2, 11),
         RecordFileKind::Results, RecordFileShape::CutShort},
        {"results, count 2^31 - 1", competitorFile(384, 0x7fffffff, 12), RecordFileKind::Results,
         RecordFileShape::CutShort},
        {"results, count -2^31", competitorFile(384, INT32_MIN, 12), RecordFileKind::Results,
         RecordFileShape::NegativeCount},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recordFileShape(c.bytes, c.kind), c.shape) << c.what;
}

}  // namespace
}  // namespace quendro
