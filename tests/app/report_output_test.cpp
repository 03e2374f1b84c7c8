// The HTML page and the printed list of a made-up meet with the oddities of
// real lap files, compared byte for byte with the pages the program has always
// written (tests/data/generated_meet), from a local folder, from a folder whose
// lap folder is upper case, and from the server; and none of them, nor the
// confirm, when the user stops it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "app/listed_swims.h"
#include "app/main_window.h"
#include "cli/export/export_run.h"
#include "platform/curl_transfer.h"
#include "platform/text_rules.h"
#include "tests/support/test_machine.h"
#include "tools/meet_generator.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::TestMachine;
using test::writeFile;

const fs::path kGolden = fs::path(QUENDRO_TEST_DATA) / "generated_meet";

tools::MeetShape testShape() {
    tools::MeetShape shape;
    shape.heats = 24;
    shape.competitors = 70;
    shape.splits = 64;
    shape.full = false;
    shape.seed = 7;
    shape.resultFolder = u"D:\\gen\\kekka\\";
    return shape;
}

std::string printedLines(const std::vector<std::u16string>& lines) {
    std::string text;
    for (const auto& line : lines) text += toUtf8(line) + "\n";
    return text;
}

// The expected bytes; QUENDRO_WRITE_GOLDEN=1 writes them anew from what the
// program makes (only ever on purpose, when the pages are meant to change).
void expectGolden(const std::string& name, const std::string& actual) {
    if (const char* write = std::getenv("QUENDRO_WRITE_GOLDEN"); write && *write == '1') {
        writeFile(kGolden / name, actual);
    }
    std::string expected = readFile(kGolden / name);
    ASSERT_FALSE(expected.empty()) << name;
    EXPECT_TRUE(actual == expected) << name << " differs from the page written so far";
}

class ReportOutputTest : public ::testing::Test {
  protected:
    ReportOutputTest() { window.txtTaikai.setText(m.serverBase()); }

    void importLocal(const tools::MeetShape& shape) {
        tools::writeLocalMeet(m.driveD() / "gen", shape);
        window.optWeb.select(0);
        window.webMode = 0;
        window.Dir1.setPath(u"D:\\gen");
        window.cmdKakutei.click();
    }

    void importFromServer(const tools::MeetShape& shape) {
        fs::path served = m.root() / "served" / "2026" / "2026001";
        tools::writeServerMeet(served, shape);
        m.server().serveFolder("/swim/2026/2026001", served.string());
        fs::create_directories(m.driveD() / "out");
        window.webMode = 1;
        window.seasonYear = u"2026";
        window.meetCode = u"2026001";
        window.Dir1.setPath(u"D:\\out");
        window.cmdKakutei.click();
    }

    // Both reports of every listed competitor.
    void expectReports(const fs::path& pageFolder) {
        ASSERT_EQ(window.hitCount, 70);
        window.cmdHtml.click();
        expectGolden("expected.html", readFile(pageFolder / "県選9.html"));
        window.cmdLp.click();
        ASSERT_FALSE(m.printer().documents.empty());
        expectGolden("expected_list.txt", printedLines(m.printer().documents.back()));
    }

    TestMachine m;
    MainWindow window{m.machine()};
};

TEST_F(ReportOutputTest, LocalMeet) {
    importLocal(testShape());
    expectReports(m.driveD() / "gen");
}

TEST_F(ReportOutputTest, LapFolderInUpperCase) {
    tools::MeetShape shape = testShape();
    shape.upperCaseLapFolder = true;
    importLocal(shape);
    expectReports(m.driveD() / "gen");
}

TEST_F(ReportOutputTest, MeetFromTheServer) {
    importFromServer(testShape());
    expectReports(m.driveD() / "out");
}

std::vector<std::string> lapRequests(const test::HttpTestServer& server) {
    std::vector<std::string> laps;
    for (const auto& request : server.requests()) {
        if (request.find("/lap/") != std::string::npos) laps.push_back(request);
    }
    return laps;
}

// One request per heat the report needs, each heat once, over a few kept
// connections; the next report fetches them afresh.
TEST_F(ReportOutputTest, AReportAsksTheServerOnceForEachHeat) {
    importFromServer(testShape());
    std::set<std::u16string> heats;
    for (int i = 1; i <= window.swimTableCount; ++i)
        heats.insert(window.swimTable[static_cast<size_t>(i)].substr(13, 4));
    std::vector<std::pair<size_t, size_t>> progress;
    window.onLapDownloads = [&](size_t done, size_t total) { progress.emplace_back(done, total); };
    size_t connectionsBefore = m.server().connectionCount();

    window.cmdHtml.click();
    std::vector<std::string> first = lapRequests(m.server());
    EXPECT_EQ(first.size(), heats.size());
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), first.size());
    EXPECT_LE(m.server().connectionCount() - connectionsBefore, CurlTransfer::kParallel);
    ASSERT_EQ(progress.size(), heats.size());
    EXPECT_EQ(progress.back(), std::make_pair(heats.size(), heats.size()));

    // The working file holds the lap file of the last swim chosen, as after a click.
    int row = window.lstShumoku.listIndex();
    ASSERT_GE(row, 0);
    std::u16string heat = window.swimKeys[static_cast<size_t>(row)];
    std::string served = readFile(m.root() / "served" / "2026" / "2026001" / "lap" /
                                  ("r" + toUtf8(heat) + ".txt"));
    EXPECT_EQ(readFile(m.workingFolder() / "t.txt"), served + "\r\n");

    window.cmdLp.click();
    EXPECT_EQ(lapRequests(m.server()).size(), 2 * heats.size());
}

// Every file below the folders with its bytes, but the working lap file t.txt:
// the swim choices' own, which every swim a report chooses rewrites.
std::map<fs::path, std::string> filesBelow(std::initializer_list<fs::path> folders) {
    std::map<fs::path, std::string> files;
    for (const fs::path& folder : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().filename() != "t.txt")
                files[entry.path()] = readFile(entry.path());
    }
    return files;
}

// Work the user stops (Esc) while the server holds a file back: the page, the
// printed list, the list for spreadsheets, quendro-export and the confirm all
// leave every file as it was, missing or not, and say they stopped.
TEST_F(ReportOutputTest, StoppedWorkLeavesEveryFileAsItWasAndSaysSo) {
    importFromServer(testShape());
    ASSERT_EQ(window.importOutcome, ImportOutcome::Imported);
    const fs::path out = m.driveD() / "out";

    // Whether the work's outcome value says it stopped, and its words.
    using Said = std::pair<bool, std::u16string>;
    auto inWindow = [&](bool stopped) { return Said{stopped, window.statusText}; };
    struct Case {
        const char* what;
        const char* held;  // the last heat's lap file, or a meet file
        bool oldPage;      // a page of the meet is there before
        std::function<Said()> work;
    };
    // clang-format off
    const Case cases[] = {
        {"page over an old page", "lap/r0024.txt", true, [&] {
            window.cmdHtml.click(); return inWindow(window.htmlOutcome == WriteOutcome::Cancelled); }},
        {"page where there was none", "lap/r0024.txt", false, [&] {
            window.cmdHtml.click(); return inWindow(window.htmlOutcome == WriteOutcome::Cancelled); }},
        {"printed list", "lap/r0024.txt", false, [&] {
            window.cmdLp.click(); return inWindow(m.printer().documents.empty()); }},
        {"list for spreadsheets", "lap/r0024.txt", false, [&] {
            writeListExport(window, m.files(), ListFormat::Csv); return inWindow(!fs::exists(out / "県選9.csv")); }},
        {"quendro-export", "lap/r0024.txt", false, [&] {
            cli::ExportOptions options;
            options.source = toUtf8(m.serverBase()) + "2026/2026001/";
            MeetSession session(m.files(), m.inet());
            auto ended = cli::runExport(options, session, u"", {}, *createWholeFile(out / "e.csv"));
            return Said{ended.result == cli::ExportResult::Cancelled, fromUtf8(ended.notes.back())}; }},
        {"confirm", "kijun.txt", true, [&] {
            window.cmdKakutei.click(); return inWindow(window.importOutcome == ImportOutcome::Cancelled); }},
    };
    // clang-format on
    for (const Case& c : cases) {
        if (c.oldPage) writeFile(out / "県選9.html", "<HTML>old</HTML>\r\n");
        if (!c.oldPage) fs::remove(out / "県選9.html");
        const auto before = filesBelow({out, m.root() / "drives"});
        // The user presses Esc while the server holds the file back.
        const std::string held = std::string("/swim/2026/2026001/") + c.held;
        m.server().holdBack(held, std::chrono::seconds(2));
        m.server().whenAsked(held, [this] { m.inet().cancel(); });
        Said said = c.work();
        m.server().holdBack(held, {});
        m.server().whenAsked(held, {});
        EXPECT_TRUE(said.first) << c.what;
        EXPECT_EQ(said.second, kCancelledWord) << c.what;
        EXPECT_EQ(filesBelow({out, m.root() / "drives"}), before) << c.what;
    }
}

}  // namespace
}  // namespace quendro
