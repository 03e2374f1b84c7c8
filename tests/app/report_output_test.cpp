// The HTML page and the printed list of a made-up meet with the oddities of
// real lap files, compared byte for byte with the pages the program has always
// written (tests/data/generated_meet), from a local folder, from a folder whose
// lap folder is upper case, and from the server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/main_window.h"
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

}  // namespace
}  // namespace quendro
