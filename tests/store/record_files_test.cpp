#include "store/record_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/record_bytes.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::RecordBytes;
using test::TestMachine;
using test::writeFile;

// Four double-byte characters: 山田太郎.
const std::string kYamada = "\x8E\x52\x93\x63\x91\xBE\x98\x59";

// A competitor record of either file: the common part at its offsets.
std::string competitorBytes(size_t length, std::string_view number, std::string_view name,
                            std::int16_t reportNumber = 0, std::string_view grade = "  ",
                            std::string_view report = "") {
    return RecordBytes(length)
        .bytes(0, std::string("\x01\x00\x00\x00", 4))
        .bytes(11, number)
        .bytes(25, name)
        .bytes(71, report)
        .bytes(89, grade)
        .int16(91, reportNumber)
        .str();
}

TEST(RecordFiles, Ind2ReadsOnlyTheCountedCompetitors) {
    TestMachine m;
    std::string file = RecordBytes(128).int32(0, 3).str();
    file += competitorBytes(128, "1234", kYamada, 15, "33", "\x8C\xA7\x91\x49");
    file += competitorBytes(128, "0007", "SUZUKI");
    file += competitorBytes(128, "12345678901234", "TANAKA");
    file += competitorBytes(128, "9999", "FOURTH");  // beyond the count
    file += competitorBytes(128, "9998", "FIFTH");
    writeFile(m.driveD() / "ind2.dat", file);

    CompetitorTable table(m.files(), u"D:\\ind2.dat", CompetitorSource::Ind2);
    ASSERT_EQ(table.competitorCount(), 3);
    CompetitorRecord first = table.competitor(1);
    EXPECT_EQ(first.numberText, u"1234          ");
    EXPECT_EQ(first.competitorName, u"山田太郎            ");  // four characters and twelve blanks
    EXPECT_EQ(first.competitorName.size(), 16u);
    EXPECT_EQ(first.reportNumber, 15);
    EXPECT_EQ(first.gradeCode, u"33");
    EXPECT_EQ(first.reportText, u"県選" + std::u16string(10, u' '));
    EXPECT_EQ(table.competitor(2).numberText, u"0007          ");
    EXPECT_EQ(table.competitor(3).numberText, u"12345678901234");
    EXPECT_EQ(table.competitor(3).competitorName, u"TANAKA          ");
}

TEST(RecordFiles, ResultsFileSkipsRecordsTwoToTen) {
    TestMachine m;
    std::string file = RecordBytes(384).int32(0, 2).str();
    for (int r = 2; r <= 10; ++r) file += std::string(384, '\xFF');  // never read
    file += competitorBytes(384, "0101", "FIRST", -3, "21");
    file += competitorBytes(384, "0102", "SECOND");
    writeFile(m.driveD() / "KEKKA.DAT", file);

    CompetitorTable table(m.files(), u"D:\\kekka.dat", CompetitorSource::Results);
    ASSERT_EQ(table.competitorCount(), 2);
    EXPECT_EQ(table.competitor(1).competitorName, u"FIRST           ");
    EXPECT_EQ(table.competitor(1).reportNumber, -3);
    EXPECT_EQ(table.competitor(1).gradeCode, u"21");
    EXPECT_EQ(table.competitor(2).numberText, u"0102          ");
}

TEST(RecordFiles, HeatRecordsGiveEventStageAndTenLanes) {
    TestMachine m;
    std::string file = RecordBytes(256, '\0').int16(0, 2).str();
    file += std::string(9 * 256, '\0');
    RecordBytes heat(256, '\0');
    heat.int16(11, 5)
        .bytes(13, "2")
        .int16(22 + 2 * 4, 0)
        .int16(22 + 2 * 5, 17)
        .int32(46 + 4 * 5, 25831);
    heat.int16(22 + 2 * 9, 120).int32(46 + 4 * 9, 888888);
    heat.int16(22 + 2 * 10, 55).int16(22 + 2 * 11, 56);  // slots 10 and 11 exist but are not lanes
    heat.int32(46 + 4 * 10, 1234);
    file += heat.str();
    // The second heat is cut off inside its lane table.
    file += RecordBytes(256, '\0').int16(11, 13).bytes(13, " ").int16(22, 7).str().substr(0, 30);
    writeFile(m.driveD() / "taikai.dat", file);

    HeatTable table(m.files(), u"D:\\taikai.dat");
    ASSERT_EQ(table.heatCount(), 2);
    HeatRecord first = table.heat(1);
    EXPECT_EQ(first.eventCode, 5);
    EXPECT_EQ(first.stageCode, u"2");
    EXPECT_EQ(first.laneCompetitor[4], 0);
    EXPECT_EQ(first.laneCompetitor[5], 17);
    EXPECT_EQ(first.laneTime[5], 25831);
    EXPECT_EQ(first.laneCompetitor[9], 120);
    EXPECT_EQ(first.laneTime[9], 888888);
    HeatRecord second = table.heat(2);
    EXPECT_EQ(second.eventCode, 13);
    EXPECT_EQ(second.stageCode, u" ");
    EXPECT_EQ(second.laneCompetitor[0], 7);
    EXPECT_EQ(second.laneCompetitor[3], 0);  // bytes past the end read as zero
    EXPECT_EQ(second.laneTime[0], 0);
}

TEST(RecordFiles, ShortFilesReadAsBlanksAndZeros) {
    TestMachine m;
    // The header counts four competitors; the file holds one and a half, and
    // the count holds to the two whose records begin in it.
    std::string file = RecordBytes(128).int32(0, 4).str();
    file += competitorBytes(128, "1", "ONE");
    file += competitorBytes(128, "2", "TWO").substr(0, 30);
    writeFile(m.driveD() / "ind2.dat", file);

    CompetitorTable table(m.files(), u"D:\\ind2.dat", CompetitorSource::Ind2);
    ASSERT_EQ(table.competitorCount(), 2);
    CompetitorRecord cut = table.competitor(2);
    EXPECT_EQ(cut.numberText, u"2             ");
    EXPECT_EQ(cut.competitorName, u"TWO" + std::u16string(13, u' '));
    CompetitorRecord missing = table.competitor(4);
    EXPECT_EQ(missing.numberText, std::u16string(14, u' '));
    EXPECT_EQ(missing.competitorName, std::u16string(16, u' '));
    EXPECT_EQ(missing.gradeCode, u"  ");
    EXPECT_EQ(missing.reportNumber, 0);
}

TEST(RecordFiles, CompetitorsReadAllAtOnceAsRecordByRecord) {
    TestMachine m;
    std::string ind2 = RecordBytes(128).int32(0, 3).str();  // the third record cut short
    ind2 += competitorBytes(128, "1", "ONE") + competitorBytes(128, "2", "TWO") +
            competitorBytes(128, "3", "THREE").substr(0, 40);
    writeFile(m.driveD() / "ind2.dat", ind2);
    std::string results = RecordBytes(384).int32(0, 2).str() + std::string(9 * 384, 'x');
    results += competitorBytes(384, "0101", "FIRST") + competitorBytes(384, "0102", "SECOND") +
               competitorBytes(384, "0103", "BEYOND");
    writeFile(m.driveD() / "kekka.dat", results);

    const std::pair<std::u16string, CompetitorSource> files[] = {
        {u"D:\\ind2.dat", CompetitorSource::Ind2}, {u"D:\\kekka.dat", CompetitorSource::Results}};
    for (const auto& [path, source] : files) {
        CompetitorTable one(m.files(), path, source);
        CompetitorTable all(m.files(), path, source, CompetitorReading::AllAtOnce);
        ASSERT_EQ(all.competitorCount(), one.competitorCount());
        for (std::int32_t k = -12; k <= one.competitorCount() + 3; ++k) {
            CompetitorRecord a = one.competitor(k), b = all.competitor(k);
            EXPECT_EQ(a.numberText, b.numberText) << k;
            EXPECT_EQ(a.competitorName, b.competitorName) << k;
            EXPECT_EQ(a.reportText, b.reportText) << k;
            EXPECT_EQ(a.gradeCode, b.gradeCode) << k;
            EXPECT_EQ(a.reportNumber, b.reportNumber) << k;
        }
    }
}

TEST(RecordFiles, InvalidShiftJisDecodesWithReplacementCharacters) {
    std::string record = competitorBytes(128, "1", std::string("\xA0\x8E\x52\x81", 4));
    CompetitorRecord competitor = decodeCompetitorRecord(record);
    // The lead byte 0x81 at the end of the field meets a blank and stands alone.
    EXPECT_EQ(competitor.competitorName, u"\uFFFD山\uFFFD" + std::u16string(13, u' '));
}

TEST(RecordFiles, MissingEmptyOrDamagedFilesHaveNoRecords) {
    TestMachine m;
    HeatTable missing(m.files(), u"D:\\taikai.dat");
    EXPECT_EQ(missing.heatCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(m.driveD() / "taikai.dat"));  // not created

    writeFile(m.driveD() / "empty.dat", "");
    EXPECT_EQ(
        CompetitorTable(m.files(), u"D:\\empty.dat", CompetitorSource::Ind2).competitorCount(), 0);

    writeFile(m.driveD() / "negative.dat", RecordBytes(128).int32(0, -5).str());
    EXPECT_EQ(
        CompetitorTable(m.files(), u"D:\\negative.dat", CompetitorSource::Ind2).competitorCount(),
        0);

    // A count beyond what record numbers can address is held at the limit, in
    // a file (sparse, of zeros) that holds more records than that.
    writeFile(m.driveD() / "huge.dat", RecordBytes(384).int32(0, 2000000000).str());
    std::filesystem::resize_file(m.driveD() / "huge.dat",
                                 std::uintmax_t{384} * (kMaxResultsCompetitors + 20));
    EXPECT_EQ(
        CompetitorTable(m.files(), u"D:\\huge.dat", CompetitorSource::Results).competitorCount(),
        kMaxResultsCompetitors);
    writeFile(m.driveD() / "heats.dat", RecordBytes(256).int16(0, 32767).str());
    EXPECT_EQ(HeatTable(m.files(), u"D:\\heats.dat").heatCount(), kMaxHeats);
}

}  // namespace
}  // namespace quendro
