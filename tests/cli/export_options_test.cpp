#include "cli/export/export_options.h"

#include <gtest/gtest.h>

#include "cli/export/export_run.h"

namespace quendro::cli {
namespace {

TEST(ExportOptions, CommandLines) {
    ParsedOptions p = parseExportOptions({"--format", "json", "--filter=やま", "--output", "x.json",
                                          "--results", "/r/KEKKA.DAT", "/srv/meet"});
    ASSERT_TRUE(p.options) << p.error;
    EXPECT_EQ(p.options->format, ExportFormat::Json);
    EXPECT_EQ(p.options->filter, "やま");
    EXPECT_EQ(p.options->output, "x.json");
    EXPECT_EQ(p.options->results, "/r/KEKKA.DAT");
    EXPECT_EQ(p.options->source, "/srv/meet");
    EXPECT_TRUE(p.options->olderLapLayout);
    EXPECT_FALSE(
        parseExportOptions({"--format=csv", "--lap-layout=new", "m"}).options->olderLapLayout);
    EXPECT_TRUE(parseExportOptions({"--help"}).options->help);

    struct Bad {
        std::vector<std::string> args;
        std::string error;
    };
    const Bad bad[] = {
        {{"/srv/meet"}, "--format がありません"},
        {{"--format", "csv"}, "取得元がありません"},
        {{"--format", "xml", "m"}, "形式が違います: xml (csv, json, html のどれか)"},
        {{"--format"}, "--format の値がありません"},
        {{"--format", "csv", "--zip", "m"}, "知らないオプションです: --zip"},
        {{"--format", "csv", "a", "b"}, "取得元が二つ以上あります: b"},
        {{"--format", "csv", "--lap-layout", "x", "m"},
         "ラップファイルの形式が違います: x (old か new)"},
    };
    for (const Bad& b : bad) {
        ParsedOptions parsed = parseExportOptions(b.args);
        EXPECT_FALSE(parsed.options);
        EXPECT_EQ(parsed.error, b.error);
    }
}

TEST(ExportOptions, MeetFolderAddresses) {
    auto url = parseMeetUrl(u"http://127.0.0.1:8808/swim/2026/2026001/");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->base, u"http://127.0.0.1:8808/swim/");
    EXPECT_EQ(url->season, u"2026");
    EXPECT_EQ(url->meetCode, u"2026001");
    url = parseMeetUrl(u"https://h/2026/M1");  // no closing "/", no folder above the season
    ASSERT_TRUE(url);
    EXPECT_EQ(url->base, u"https://h/");
    EXPECT_FALSE(parseMeetUrl(u"http://h/2026/"));
    EXPECT_FALSE(parseMeetUrl(u"http://h/"));
    EXPECT_FALSE(parseMeetUrl(u"/srv/meet"));
    EXPECT_TRUE(isUrl("https://h/a/b"));
    EXPECT_FALSE(isUrl("D:\\meet"));
}

TEST(ExportOptions, WhereTheResultsFileMayBe) {
    EXPECT_EQ(resultFileCandidates(u"Z:\\work\\meet\\", u"Z:\\meet\\kekka\\", u"KEKKA.DAT"),
              (std::vector<std::u16string>{u"Z:\\work\\meet\\kekka\\KEKKA.DAT",
                                           u"Z:\\work\\meet\\KEKKA.DAT"}));
    EXPECT_EQ(resultFileCandidates(u"Z:\\work\\MEET", u"D:\\meet\\", u"R.DAT"),
              (std::vector<std::u16string>{u"Z:\\work\\MEET\\R.DAT", u"Z:\\work\\MEET\\R.DAT"}));
    EXPECT_EQ(resultFileCandidates(u"Z:\\a\\", u"D:\\x\\y\\", u"R.DAT"),
              (std::vector<std::u16string>{u"Z:\\a\\R.DAT"}));
}

}  // namespace
}  // namespace quendro::cli
