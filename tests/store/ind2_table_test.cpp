#include "store/ind2_table.h"

#include <gtest/gtest.h>

#include "store/record_files.h"
#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::RecordBytes;
using test::sjis;

// A results file built by hand: header with the count, records 2 to 10 that are
// never read, then one 384-byte record per competitor.
std::string resultsFile(std::int32_t count, const std::vector<std::string>& records) {
    std::string file = RecordBytes(384).int32(0, count).bytes(4, "HEADERJUNK").str();
    for (int n = 2; n <= 10; ++n) file += RecordBytes(384, 'x').str();
    for (const std::string& r : records) file += r;
    return file;
}

std::string competitor(std::int32_t serial, const char* number, std::u16string_view name,
                       std::u16string_view school, const char* grade, std::int16_t report) {
    return RecordBytes(384)
        .int32(0, serial)
        .bytes(4, "ABCDEFG")
        .bytes(11, number)
        .bytes(25, sjis(name))
        .bytes(41, "KANA")
        .bytes(71, sjis(school))
        .bytes(89, grade)
        .int16(91, report)
        .bytes(93, "Z")
        .bytes(94, "R")  // past the common part: not carried over
        .bytes(300, "TIMES")
        .str();
}

TEST(Ind2TableTest, CarriesTheCountAndTheCommonPartOverByteForByte) {
    std::string first = competitor(1, "1201", u"山田太郎", u"県立第一高", "33", 17);
    std::string second = competitor(2, "2002", u"伊藤ｻﾁｺ", u"県大学", "41", -2);
    Ind2Table table = ind2FromResults(resultsFile(2, {first, second}));

    // Built by hand from the 128-byte layout: count, then blanks; each record
    // bytes 0 to 93 of the results record, then 34 blanks.
    std::string expected = RecordBytes(128).int32(0, 2).str() + first.substr(0, 94) +
                           std::string(34, ' ') + second.substr(0, 94) + std::string(34, ' ');
    EXPECT_EQ(table.bytes, expected);
    EXPECT_EQ(table.competitors, 2);
    EXPECT_FALSE(table.truncated);

    // The reader of internet mode sees the same competitors as local mode.
    for (std::int32_t k = 1; k <= 2; ++k) {
        std::string_view ind2 =
            std::string_view(table.bytes).substr(static_cast<size_t>(k) * 128, 128);
        std::string_view results = k == 1 ? first : second;
        CompetitorRecord a = decodeCompetitorRecord(ind2);
        CompetitorRecord b = decodeCompetitorRecord(results);
        EXPECT_EQ(a.numberText, b.numberText);
        EXPECT_EQ(a.competitorName, b.competitorName);
        EXPECT_EQ(a.reportText, b.reportText);
        EXPECT_EQ(a.gradeCode, b.gradeCode);
        EXPECT_EQ(a.reportNumber, b.reportNumber);
    }
}

TEST(Ind2TableTest, EmptyShortAndOddFiles) {
    struct Case {
        const char* what;
        std::string file;
        std::string expected;
        bool truncated;
    };
    std::string one = competitor(1, "1", u"A", u"S", "11", 1);
    std::string header0 = RecordBytes(128).int32(0, 0).str();
    const Case cases[] = {
        {"no file content", "", header0, false},
        {"count 0", resultsFile(0, {one}), header0, false},
        {"negative count", resultsFile(-5, {one}), header0, false},
        // Only the counted records are read.
        {"count 1 of 2", resultsFile(1, {one, one}),
         RecordBytes(128).int32(0, 1).str() + one.substr(0, 94) + std::string(34, ' '), false},
        // Two counted, one and a half present: the half record is filled with blanks.
        {"truncated", resultsFile(3, {one, one.substr(0, 50)}),
         RecordBytes(128).int32(0, 2).str() + one.substr(0, 94) + std::string(34, ' ') +
             one.substr(0, 50) + std::string(78, ' '),
         true},
    };
    for (const Case& c : cases) {
        Ind2Table table = ind2FromResults(c.file);
        EXPECT_EQ(table.bytes, c.expected) << c.what;
        EXPECT_EQ(table.truncated, c.truncated) << c.what;
        EXPECT_EQ(table.bytes.size() % 128, 0u) << c.what;
    }
}

}  // namespace
}  // namespace quendro
