#include "store/competitor_search.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::RecordBytes;
using test::TestMachine;
using test::writeFile;

std::string ind2(const std::vector<std::pair<std::string, std::string>>& competitors) {
    std::string file =
        RecordBytes(128).int32(0, static_cast<std::int32_t>(competitors.size())).str();
    for (const auto& [number, name] : competitors) {
        file += RecordBytes(128).bytes(11, number).bytes(25, name).str();
    }
    return file;
}

TEST(CompetitorSearch, NumberFilter) {
    const std::u16string number = u"1234          ";
    struct Case {
        std::u16string filter;
        bool matches;
    };
    const Case cases[] = {
        {u"1", true},
        {u"12", true},
        {u"123", true},
        {u"1234", true},
        {u"12345", false},
        {u"2", false},
        {u" 1", false},  // value 1, but the blank must match too
        {u"", true},
        {u"   ", true},
        {u"0", true},
        {u"00", true},
        {u"山田", true},
        {u"abc", true},
        {u"007", false},
        {u"1234          ", true},
        {u"123456789012345", false},  // longer than the field
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesNumberFilter(number, c.filter), c.matches)
            << std::string(c.filter.begin(), c.filter.end());
    }
    EXPECT_TRUE(matchesNumberFilter(u"007           ", u"007"));
    EXPECT_FALSE(matchesNumberFilter(u"7             ", u"007"));
}

TEST(CompetitorSearch, TypedNumberReadsFullWidthDigits) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"１２４８", u"1248"},
        {u"０", u"0"},     // the first full-width digit
        {u"９", u"9"},     // the last
        {u"／", u"／"},    // just below it
        {u"：", u"："},    // just past it
        {u" １0 ", u" 10 "},
        {u"Ａ1", u"Ａ1"},
        {u"", u""},
    };
    for (const auto& [typed, number] : cases)
        EXPECT_EQ(typedNumber(typed), number) << std::string(typed.begin(), typed.end());
}

TEST(CompetitorSearch, ListLinesAndOrdinalsInFileOrder) {
    TestMachine m;
    writeFile(m.driveD() / "ind2.dat",
              ind2({{"1201", "\x8E\x52\x93\x63\x91\xBE\x98\x59"}, {"2201", "B"}, {"1202", "C"}}));
    CompetitorTable table(m.files(), u"D:\\ind2.dat", CompetitorSource::Ind2);
    SearchResult found = searchCompetitors(table, u"12");
    ASSERT_EQ(found.lines.size(), 2u);
    EXPECT_EQ(found.lines[0], u"1201            山田太郎            ");  // 14 + 2 + 16 characters
    EXPECT_EQ(found.lines[0].size(), 32u);
    EXPECT_EQ(found.ordinals, (std::vector<std::int16_t>{1, 3}));
    EXPECT_EQ(searchCompetitors(table, u"").ordinals.size(), 3u);
}

TEST(CompetitorSearch, TheNumberBoxSearchesAtEveryKeystroke) {
    TestMachine m;
    writeFile(m.workingFolder() / "ind2.dat", ind2({{"1201", "A"}, {"2201", "B"}, {"1202", "C"}}));
    writeFile(m.driveD() / "KEKKA.DAT",
              RecordBytes(384).int32(0, 1).str() + std::string(9 * 384, '\0') +
                  RecordBytes(384).bytes(11, "9001").bytes(25, "LOCAL").str());
    MainWindow window(m.machine());
    window.webMode = 1;
    window.lstShumoku.addItem(u"old swim");

    window.txtBango.setText(u"1");
    EXPECT_EQ(window.lstNamae.listCount(), 2);
    EXPECT_EQ(window.hitCount, 2);
    EXPECT_EQ(window.hitRecords[0], 1);
    EXPECT_EQ(window.hitRecords[1], 3);
    EXPECT_EQ(window.lstShumoku.listCount(), 0);
    window.txtBango.setText(u"12");
    EXPECT_EQ(window.lstNamae.items()[1].substr(0, 4), u"1202");
    window.txtBango.setText(u"9");
    EXPECT_EQ(window.hitCount, 0);
    EXPECT_EQ(window.lstNamae.listCount(), 0);

    // In local mode the results file is searched.
    window.webMode = 0;
    window.resultDir = u"D:\\";
    window.resultFile = u"kekka.dat";
    window.txtBango.setText(u"");
    ASSERT_EQ(window.hitCount, 1);
    EXPECT_EQ(window.lstNamae.items()[0], u"9001            LOCAL           ");

    // A missing file lists nobody.
    window.resultFile = u"none.dat";
    window.SearchCompetitors();
    EXPECT_EQ(window.hitCount, 0);
}

}  // namespace
}  // namespace quendro
