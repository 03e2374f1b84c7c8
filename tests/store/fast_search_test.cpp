#include <gtest/gtest.h>

#include "store/competitor_search.h"
#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::RecordBytes;
using test::sjis;
using test::TestMachine;
using test::writeFile;

// Number fields built by hand: digits, blanks, double-byte characters, a
// record cut short and one missing its number. The header counts the records,
// unless a damaged count is given.
std::string resultsFile(const std::vector<std::string>& numbers, size_t lastLength,
                        std::int32_t counted = -1) {
    if (counted < 0) counted = static_cast<std::int32_t>(numbers.size());
    std::string file = RecordBytes(384).int32(0, counted).str();
    file += std::string(9 * 384, '\0');
    for (size_t i = 0; i < numbers.size(); ++i) {
        std::string record = RecordBytes(384).bytes(11, numbers[i]).bytes(25, sjis(u"山田太郎")).str();
        if (i + 1 == numbers.size()) record.resize(lastLength);
        file += record;
    }
    return file;
}

TEST(FastSearch, FindsWhatTheRecordByRecordSearchFinds) {
    TestMachine m;
    const std::vector<std::string> numbers = {
        "1234", "12345", " 1234", "007", "0071", sjis(u"１２３"), "12" + sjis(u"三"),
        "\x81", "123456789012345", "1201", "1201"};
    const std::u16string filters[] = {u"", u"  ", u"0", u"00", u"1", u"12", u"123", u"1234",
                                      u"12345", u"2", u" 1", u"007", u"1201", u"abc",
                                      u"１２", u"12三", u"123456789012345", u"1234567890123456",
                                      u"12\uFF71"};
    // The last record whole or cut short; and headers that count far more
    // competitors than the file holds, which hold to the eleven that are there.
    const std::pair<size_t, std::int32_t> files[] = {
        {384, -1}, {13, -1}, {5, -1}, {384, 12}, {5, 40}, {384, kMaxResultsCompetitors}};
    for (auto [lastLength, counted] : files) {
        SCOPED_TRACE(counted);
        writeFile(m.driveD() / "KEKKA.DAT", resultsFile(numbers, lastLength, counted));
        CompetitorTable table(m.files(), u"D:\\KEKKA.DAT", CompetitorSource::Results);
        CompetitorFileBytes bytes(m.files(), u"D:\\KEKKA.DAT", CompetitorSource::Results);
        ASSERT_EQ(bytes.competitorCount(), 11);
        ASSERT_EQ(table.competitorCount(), 11);
        for (const auto& filter : filters) {
            SearchResult expected = searchCompetitors(table, filter);
            SearchResult found = searchCompetitors(bytes, filter);
            EXPECT_EQ(found.lines, expected.lines) << lastLength;
            EXPECT_EQ(found.ordinals, expected.ordinals) << lastLength;
        }
    }
    // The filter 1 finds the numbers that start with it, a filter of one
    // double-byte character the number that does.
    EXPECT_EQ(searchCompetitors(CompetitorFileBytes(m.files(), u"D:\\KEKKA.DAT",
                                                    CompetitorSource::Results),
                                u"１")
                  .ordinals.size(),
              11u);  // not a number: everyone
}

TEST(FastSearch, ACompetitorTableAndAMissingFile) {
    TestMachine m;
    std::string ind2 = RecordBytes(128).int32(0, 2).str() +
                       RecordBytes(128).bytes(11, "501").bytes(25, "A").str() +
                       RecordBytes(128).bytes(11, "502").bytes(25, "B").str();
    writeFile(m.driveD() / "ind2.dat", ind2);
    CompetitorFileBytes file(m.files(), u"D:\\ind2.dat", CompetitorSource::Ind2);
    SearchResult found = searchCompetitors(file, u"502");
    EXPECT_EQ(found.ordinals, std::vector<std::int16_t>{2});
    EXPECT_EQ(found.lines, std::vector<std::u16string>{u"502             B               "});
    CompetitorFileBytes missing(m.files(), u"D:\\none.dat", CompetitorSource::Ind2);
    EXPECT_EQ(missing.competitorCount(), 0);
    EXPECT_TRUE(searchCompetitors(missing, u"").lines.empty());
    // A header that counts more records than the file holds: only the record
    // that begins in the file is listed, its missing bytes read as blanks, as
    // the record reader gives them; a header alone lists no one.
    writeFile(m.driveD() / "short.dat", RecordBytes(128).int32(0, 3).str() + std::string(30, ' '));
    CompetitorFileBytes shortFile(m.files(), u"D:\\short.dat", CompetitorSource::Ind2);
    CompetitorTable shortTable(m.files(), u"D:\\short.dat", CompetitorSource::Ind2);
    EXPECT_EQ(searchCompetitors(shortFile, u"").lines,
              std::vector<std::u16string>(1, std::u16string(32, u' ')));
    EXPECT_EQ(searchCompetitors(shortTable, u"").lines, searchCompetitors(shortFile, u"").lines);
    writeFile(m.driveD() / "header.dat", RecordBytes(128).int32(0, 3).str());
    CompetitorFileBytes header(m.files(), u"D:\\header.dat", CompetitorSource::Ind2);
    CompetitorTable headerTable(m.files(), u"D:\\header.dat", CompetitorSource::Ind2);
    EXPECT_EQ(header.competitorCount(), 0);
    EXPECT_EQ(headerTable.competitorCount(), 0);
}

}  // namespace
}  // namespace quendro
