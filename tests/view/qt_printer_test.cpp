// The lap list through Qt Print Support into a real PDF file, read back with
// poppler's tools.
#include "platform/qt_print/qt_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "platform/text_rules.h"
#include "reports/lap_list.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

// The left edge, in points, of the n-th word (from 0) of the PDF that matches word.
double leftOf(const std::string& bbox, const std::string& word, int n = 0) {
    std::regex pattern("<word xMin=\"([0-9.]+)\"[^>]*>" + word + "</word>");
    for (std::sregex_iterator it(bbox.begin(), bbox.end(), pattern), end; it != end; ++it) {
        if (n-- == 0) return std::stod((*it)[1]);
    }
    return -1;
}

class QtPrinterTest : public ::testing::Test {
  protected:
    void printList(Printer& printer, int swims) {
        printer.setFont(kLapListFont, kLapListPoints);
        LapListHeader header{u"2010/06/29", u"9:30:00",    u"県選手権", u"プール",
                             u"2026/07/25", u"2026/07/26", u"12",       {}};
        for (size_t i = 0; i < 8; ++i)
            header.distanceCaptions[i] = u" " + decimalText(50 * (i + 1)) + u"m";
        printLapListHeader(printer, header);
        printRule(printer);
        printCompetitorLine(printer,
                            {u"1201          ", u"山田太郎        ", u"県立第一高  ", u"33", 17});
        printer.endLine();
        std::array<std::u16string, 60> splits;
        splits[0] = u"   31.25";
        splits[1] = u" 1:05.32";
        for (int s = 0; s < swims; ++s) printSwim(printer, u" 100m自由形 予選  1:05.32", splits, 2);
        printRule(printer);
    }

    test::TempFolder temp;
};

TEST_F(QtPrinterTest, TheListLandsInAPdfAtItsTwips) {
    fs::path pdf = temp.path() / "list.pdf";
    auto printer = QtPrinter::pdf(pdf);
    printList(*printer, 1);
    Printer::Outcome outcome = printer->endDoc();
    ASSERT_TRUE(outcome.ok);
    ASSERT_TRUE(fs::exists(pdf));

    std::string text = run("pdftotext -layout '" + pdf.string() + "' -");
    EXPECT_NE(text.find("大会名 県選手権"), std::string::npos) << text;
    EXPECT_NE(text.find("山田太郎"), std::string::npos);
    EXPECT_NE(text.find("1:05.32"), std::string::npos);

    // Positions, in points (20 twips), measured from the dashed rule at X = 250.
    std::string bbox = run("pdftotext -bbox '" + pdf.string() + "' -");
    double rule = leftOf(bbox, "-{110}");
    ASSERT_GT(rule, 0) << bbox;
    EXPECT_NEAR(leftOf(bbox, "2010/06/29") - rule, (8000 - 250) / 20.0, 0.6);
    EXPECT_NEAR(leftOf(bbox, "1201") - rule, (9750 - 250) / 20.0, 0.6);
    // The second split: a blank, eight characters and a blank after X = 3250.
    EXPECT_NEAR(leftOf(bbox, "1:05.32", 1) - rule, (3250 + 1000 + 200 - 250) / 20.0, 0.6);
    // Its lap under it: "(" and three blanks before the digits.
    EXPECT_NEAR(leftOf(bbox, "34\\.07\\)") - rule, (3250 + 1000 + 400 - 250) / 20.0, 0.6);
    EXPECT_EQ(run("pdftoppm -r 60 -png -f 1 -l 1 '" + pdf.string() + "' '" +
                  (temp.path() / "page").string() + "' && echo ok"),
              "ok\n");
    fs::copy_file(pdf, fs::path(QUENDRO_SHOT_DIR) / "lap_list.pdf",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(temp.path() / "page-1.png", fs::path(QUENDRO_SHOT_DIR) / "lap_list_page1.png",
                  fs::copy_options::overwrite_existing);
}

TEST_F(QtPrinterTest, ALongListGoesOnOnNewPagesWithoutTheHeader) {
    fs::path pdf = temp.path() / "long.pdf";
    auto printer = QtPrinter::pdf(pdf);
    printList(*printer, 60);  // three lines a swim
    ASSERT_TRUE(printer->endDoc().ok);
    std::string info = run("pdfinfo '" + pdf.string() + "'");
    std::smatch pages;
    ASSERT_TRUE(std::regex_search(info, pages, std::regex("Pages:\\s+([0-9]+)")));
    EXPECT_GE(std::stoi(pages[1]), 2);
    std::string text = run("pdftotext -layout '" + pdf.string() + "' -");
    EXPECT_EQ(text.find("大会名"), text.rfind("大会名"));  // the header once
}

TEST_F(QtPrinterTest, AFolderThatCannotBeWrittenIsAFailureWithAWord) {
    auto printer = QtPrinter::pdf(temp.path() / "no such folder" / "list.pdf");
    printList(*printer, 1);
    Printer::Outcome outcome = printer->endDoc();
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.word.substr(0, 10), u"印刷できませんでした");
}

TEST_F(QtPrinterTest, AFullDiskIsAFailureAndNoWordOfSuccess) {
    fs::create_directories(temp.path() / "disk");
    test::SmallDisk disk(temp.path() / "disk", test::SmallDisk::Kind::Full);
    if (!disk.mounted()) GTEST_SKIP() << "skipped: " << disk.why();
    auto printer = QtPrinter::pdf(temp.path() / "disk" / "list.pdf");
    printList(*printer, 40);
    Printer::Outcome outcome = printer->endDoc();
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.word.substr(0, 10), u"印刷できませんでした");
}

}  // namespace
}  // namespace quendro
