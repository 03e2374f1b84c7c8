#include "cli/export/export_options.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/export/export_run.h"
#include "platform/text_rules.h"
#include "tests/support/kept_output.h"
#include "tests/support/local_meet.h"
#include "tests/support/test_machine.h"

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
    EXPECT_FALSE(p.options->caFile);
    EXPECT_EQ(parseExportOptions({"--format=csv", "--cacert", "/etc/ca.pem", "m"}).options->caFile,
              "/etc/ca.pem");
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
        {{"--format", "csv", "m", "--cacert"}, "--cacert の値がありません"},
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

// The competitor table a publisher holds, made from the results file: its
// count, then 128 bytes a competitor, the first 94 of the results record.
std::string ind2FromResults(const std::string& results) {
    std::int32_t count = 0;
    for (int i = 3; i >= 0; --i) count = count * 256 + static_cast<unsigned char>(results[i]);
    std::string table = results.substr(0, 4) + std::string(124, ' ');
    for (std::int32_t k = 1; k <= count; ++k)
        table += results.substr(static_cast<size_t>(k + 9) * 384, 94) + std::string(34, ' ');
    return table;
}

// A record file is the meet's only when it holds every record its header
// counts: each file is held whole and exactly one record short. The heat
// table has 256-byte records after ten of heading; the results file 384-byte
// records after ten; the publisher's competitor table 128-byte records after one.
TEST(ExportRun, RecordFilesOneRecordShortOfTheirCountAreRefused) {
    struct Case {
        const char* name;
        bool web;
        const char* file;
        size_t cut;  // bytes taken off its end
        bool ok;
    };
    const Case cases[] = {
        {"local, all whole", false, "", 0, true},
        {"heat table one record short", false, "taikai.dat", 256, false},
        {"results file one record short", false, "kekka/KEKKA.DAT", 384, false},
        {"publisher, all whole", true, "", 0, true},
        {"publisher's heat table one record short", true, "taikai.txt", 256, false},
        {"publisher's competitor table one record short", true, "ind2.txt", 128, false},
    };
    namespace fs = std::filesystem;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestMachine m;
        test::writeLocalMeet(m);
        const fs::path meet = m.driveD() / "meet";
        const fs::path published = m.root() / "pub";
        ExportOptions options;
        options.format = ExportFormat::Json;
        if (c.web) {
            test::writeFile(published / "taikai.txt", test::readFile(meet / "taikai.dat"));
            test::writeFile(published / "kijun.txt", test::readFile(meet / "kijun.dat"));
            test::writeFile(published / "ind2.txt",
                            ind2FromResults(test::readFile(meet / "kekka" / "KEKKA.DAT")));
            m.server().serveFolder("/swim/2026/2026001", published.string());
            options.source = toUtf8(m.serverBase()) + "2026/2026001/";
        } else {
            options.source = "D:\\meet";
        }
        if (*c.file) {
            const fs::path file = (c.web ? published : meet) / c.file;
            std::string bytes = test::readFile(file);
            ASSERT_GT(bytes.size(), c.cut);
            test::writeFile(file, bytes.substr(0, bytes.size() - c.cut));
        }
        MeetSession session(m.files(), m.inet());
        test::KeptOutput output;
        ExportOutcome outcome =
            runExport(options, session, c.web ? u"" : u"D:\\meet", SiteControl{}, output);
        EXPECT_EQ(outcome.result, c.ok ? ExportResult::Written : ExportResult::MeetUnread);
        EXPECT_EQ(output.committed, c.ok);
    }
}

}  // namespace
}  // namespace quendro::cli
