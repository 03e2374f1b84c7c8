#include "store/meet_header.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/main_window.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::sjis;
using test::TestMachine;
using test::writeFile;

// The 73 fields of a meet header, as the timing system writes them.
std::vector<std::u16string> headerFields() {
    std::vector<std::u16string> fields(73, u"0");
    fields[0] = u"D:\\TIMING\\";
    fields[1] = u"KEKKA.DAT";
    fields[2] = u"1234567";
    fields[3] = u"第1回県選手権水泳競技大会";
    fields[4] = u"県選手権";
    fields[5] = u"20100629";
    fields[6] = u"20100704";
    fields[7] = u"県立プール";
    fields[8] = u"1";
    fields[71] = u"1";
    fields[72] = u"9";
    return fields;
}

// Fields joined by commas, ten to a line; fields holding a comma are quoted.
std::string headerBytes(const std::vector<std::u16string>& fields) {
    std::u16string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        bool quote = fields[i].find(u',') != std::u16string::npos;
        text += quote ? u"\"" + fields[i] + u"\"" : fields[i];
        text += (i % 10 == 9 || i + 1 == fields.size()) ? u"\r\n" : u",";
    }
    return sjis(text);
}

class MeetHeaderTest : public ::testing::Test {
  protected:
    void writeWorkingHeader(const std::vector<std::u16string>& fields) {
        writeFile(m.workingFolder() / "kijun.dat", headerBytes(fields));
    }
    // The window as start-up leaves it in internet mode, with lap option 200m chosen.
    void readHeader() {
        window.webMode = 1;
        window.optLap.select(4);
        window.ReadMeetHeader();
    }

    MeetHeaderTest() { window.txtTaikai.setText(m.serverBase()); }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(MeetHeaderTest, AWholeHeaderFillsTheWindow) {
    writeWorkingHeader(headerFields());
    window.dataDir = u"E:\\MEET\\";
    readHeader();
    EXPECT_EQ(window.resultDir, u"E:\\TIMING\\");
    EXPECT_EQ(window.resultFile, u"KEKKA.DAT");
    EXPECT_EQ(window.txtCode.text(), u"1234567");
    EXPECT_EQ(window.txtNa.text(), u"第1回県選手権水泳競技大会");
    EXPECT_EQ(window.txtRyaku.text(), u"県選手権");
    EXPECT_EQ(window.txtSdate.text(), u"2010/06/29");
    EXPECT_EQ(window.txtEdate.text(), u"2010/07/04");
    EXPECT_EQ(window.txtBasho.text(), u"県立プール");
    EXPECT_EQ(window.optSuiro.selected(), 0);  // "1": 25 m
    EXPECT_EQ(window.poolIndex, 0);
    EXPECT_EQ(window.optSetti.selected(), 1);  // one end
    EXPECT_EQ(window.touchpadIndex, 1);
    EXPECT_EQ(window.optLap.selected(), 0);  // cumulative after a whole header
    EXPECT_EQ(window.lapIndex, 0);           // the option's handler ran
}

TEST_F(MeetHeaderTest, PoolLengthCodes) {
    struct Case {
        std::u16string code;
        int option;
        std::int16_t poolIndex;
    };
    const Case cases[] = {{u"0", 1, 1}, {u"1", 0, 0},  {u"2", 2, 2},
                          {u"", 2, 2},  {u"0 ", 2, 2}, {u"00", 2, 2}};
    for (const Case& c : cases) {
        auto fields = headerFields();
        fields[8] = c.code;
        writeWorkingHeader(fields);
        window.optSuiro.select(2);  // the user chose 100 m before
        readHeader();
        EXPECT_EQ(window.optSuiro.selected(), c.option);
        EXPECT_EQ(window.poolIndex, c.poolIndex);
    }
}

TEST_F(MeetHeaderTest, TouchpadPlacement) {
    struct Case {
        std::u16string field;
        int option;
        std::int16_t touchpadIndex;
        int lapOption;
    };
    const Case cases[] = {
        {u"1", 1, 1, 0},   {u"0", 0, 0, 0},   {u" 1", 1, 1, 0},   {u"abc", 0, 0, 0},
        {u"0.5", 0, 0, 0}, {u"1.5", 1, 1, 4},  // 1.5 rounds to 2, which names no option
        {u"3", 1, 1, 4},   {u"-1", 1, 1, 4},  {u"1e40", 1, 1, 4},
    };
    for (const Case& c : cases) {
        auto fields = headerFields();
        fields[71] = c.field;
        writeWorkingHeader(fields);
        window.optSetti.select(1);
        window.touchpadIndex = 1;
        readHeader();
        EXPECT_EQ(window.optSetti.selected(), c.option)
            << std::string(c.field.begin(), c.field.end());
        EXPECT_EQ(window.touchpadIndex, c.touchpadIndex);
        EXPECT_EQ(window.optLap.selected(), c.lapOption);
    }
}

TEST_F(MeetHeaderTest, SeventyTwoFieldsStopBeforeTheLapOption) {
    auto fields = headerFields();
    fields.pop_back();
    writeWorkingHeader(fields);
    readHeader();
    EXPECT_EQ(window.txtBasho.text(), u"県立プール");
    EXPECT_EQ(window.touchpadIndex, 1);
    EXPECT_EQ(window.optLap.selected(), 4);
}

TEST_F(MeetHeaderTest, AShortHeaderAppliesWhatItHolds) {
    writeFile(m.workingFolder() / "kijun.dat",
              sjis(u"C:\\RESULT\\,R.DAT,7654321,大会名,略\r\n2010"));
    window.txtSdate.setText(u"before");
    readHeader();
    EXPECT_EQ(window.resultDir, u"C:\\RESULT\\");  // no data folder: kept as read
    EXPECT_EQ(window.txtRyaku.text(), u"略");
    EXPECT_EQ(window.txtSdate.text(), u"2010//10");  // cut and joined by position
    EXPECT_EQ(window.txtEdate.text(), u"");
    EXPECT_EQ(window.optLap.selected(), 4);
}

TEST_F(MeetHeaderTest, QuotedFieldsHoldCommas) {
    auto fields = headerFields();
    fields[3] = u"第1回,県選手権";
    fields[7] = u"A,B,C";
    writeWorkingHeader(fields);
    readHeader();
    EXPECT_EQ(window.txtNa.text(), u"第1回,県選手権");
    EXPECT_EQ(window.txtBasho.text(), u"A,B,C");
    EXPECT_EQ(window.touchpadIndex, 1);  // the count of fields stays right
    EXPECT_EQ(window.optLap.selected(), 0);
}

TEST_F(MeetHeaderTest, WithoutAHeaderNothingChanges) {
    window.txtNa.setText(u"前の大会");
    window.resultDir = u"X:\\";
    readHeader();
    EXPECT_EQ(window.txtNa.text(), u"前の大会");
    EXPECT_EQ(window.resultDir, u"X:\\");
    EXPECT_EQ(window.optLap.selected(), 4);
    EXPECT_TRUE(window.statusText.empty());
}

TEST_F(MeetHeaderTest, LocalModeReadsTheDataFolder) {
    auto fields = headerFields();
    fields[2] = u"LOCAL01";
    writeFile(m.driveD() / "meet" / "KIJUN.DAT", headerBytes(fields));
    writeWorkingHeader(headerFields());
    window.webMode = 0;
    window.dataDir = u"D:\\meet\\";
    window.ReadMeetHeader();
    EXPECT_EQ(window.txtCode.text(), u"LOCAL01");
    EXPECT_EQ(window.resultDir, u"D:\\TIMING\\");
}

TEST(MeetHeader, PureRules) {
    EXPECT_EQ(headerDate(u"20100629"), u"2010/06/29");
    EXPECT_EQ(headerDate(u""), u"//");
    EXPECT_EQ(resultDirFor(u"D:\\TIMING\\", u"E:\\MEET\\"), u"E:\\TIMING\\");
    EXPECT_EQ(resultDirFor(u"C:\\RESULT\\", u""), u"C:\\RESULT\\");
    EXPECT_EQ(resultDirFor(u"", u"E:\\"), u"");
    EXPECT_EQ(parseMeetHeader(u"a,b\r\n").fieldCount, 2);
    std::u16string many;
    for (int i = 0; i < 80; ++i) many += u"f,";
    EXPECT_EQ(parseMeetHeader(many).fieldCount, 73);
}

}  // namespace
}  // namespace quendro
