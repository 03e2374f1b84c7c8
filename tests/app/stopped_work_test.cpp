// Work the user stops (Esc) while the server holds a file back: the page, the
// printed list, the list for spreadsheets, quendro-export and the confirm all
// leave every file as it was, missing or not, and say they stopped.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "app/listed_swims.h"
#include "app/main_window.h"
#include "cli/export/export_run.h"
#include "platform/text_rules.h"
#include "tests/support/test_machine.h"
#include "tools/meet_generator.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;

// Every file below the folder with its bytes; the working lap file t.txt is
// the swim choices' own, rewritten by every swim a report chooses.
std::map<std::string, std::string> filesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename() != "t.txt")
            files[entry.path().string()] = readFile(entry.path());
    }
    return files;
}

TEST(StoppedWork, LeavesEveryFileAsItWasAndSaysSo) {
    test::TestMachine m;
    MainWindow window{m.machine()};
    tools::MeetShape shape;
    shape.heats = 17;
    shape.competitors = 30;
    shape.seed = 22;
    const fs::path served = m.root() / "served" / "2026" / "2026001";
    tools::writeServerMeet(served, shape);
    m.server().serveFolder("/swim/2026/2026001", served.string());
    fs::create_directories(m.driveD() / "out");
    window.txtTaikai.setText(m.serverBase());
    window.webMode = 1;
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    window.Dir1.setPath(u"D:\\out");
    window.cmdKakutei.click();
    ASSERT_EQ(window.importOutcome, ImportOutcome::Imported);
    // The lap file of the last listed swim, among the last the reports need.
    window.lstNamae.choose(window.hitCount - 1);
    const std::string lastLap = "/swim/2026/2026001/lap/r" +
                                toUtf8(window.swimKeys[static_cast<size_t>(window.swimCount - 1)]) +
                                ".txt";
    const fs::path page = m.driveD() / "out" / "県選9.html";

    struct Said {
        bool stopped;  // the outcome value says the work was stopped
        std::u16string words;
    };
    struct Case {
        const char* what;
        std::string held;
        const char* oldPage;  // the page there before, or none
        std::function<Said()> work;
    };
    const Case cases[] = {
        {"page over an old page", lastLap, "<HTML>old</HTML>\r\n",
         [&] {
             window.cmdHtml.click();
             return Said{window.htmlOutcome == WriteOutcome::Cancelled, window.statusText};
         }},
        {"page where there was none", lastLap, nullptr,
         [&] {
             window.cmdHtml.click();
             return Said{window.htmlOutcome == WriteOutcome::Cancelled, window.statusText};
         }},
        {"printed list", lastLap, nullptr,
         [&] {
             window.cmdLp.click();
             return Said{m.printer().documents.empty(), window.statusText};
         }},
        {"list for spreadsheets", lastLap, nullptr,
         [&] {
             writeListExport(window, m.files(), ListFormat::Csv);
             return Said{!fs::exists(m.driveD() / "out" / "県選9.csv"), window.statusText};
         }},
        {"quendro-export", lastLap, nullptr,
         [&] {
             cli::ExportOptions options;
             options.format = cli::ExportFormat::Html;
             options.source = toUtf8(m.serverBase()) + "2026/2026001/";
             MeetSession session(m.files(), m.inet());
             auto output = createWholeFile(m.driveD() / "out" / "export.html");
             cli::ExportOutcome outcome =
                 cli::runExport(options, session, u"", SiteControl{}, *output);
             return Said{outcome.result == cli::ExportResult::Cancelled,
                         fromUtf8(outcome.notes.back())};
         }},
        {"confirm", "/swim/2026/2026001/kijun.txt", "<HTML>old</HTML>\r\n",
         [&] {
             window.cmdKakutei.click();
             return Said{window.importOutcome == ImportOutcome::Cancelled, window.statusText};
         }},
    };
    for (const Case& c : cases) {
        if (c.oldPage) test::writeFile(page, c.oldPage);
        if (!c.oldPage) fs::remove(page);
        const auto before = filesBelow(m.root() / "drives");
        const auto pageBefore = filesBelow(m.driveD() / "out");
        // The user presses Esc once the server holds the file back.
        m.server().holdUntilReleased(c.held);
        std::thread esc([&m] {
            if (m.server().waitUntilHeld(std::chrono::seconds(10))) m.inet().cancel();
        });
        Said said = c.work();
        esc.join();
        m.server().release();

        EXPECT_TRUE(said.stopped) << c.what;
        EXPECT_EQ(said.words, kCancelledWord) << c.what;
        EXPECT_EQ(filesBelow(m.driveD() / "out"), pageBefore) << c.what;
        EXPECT_EQ(filesBelow(m.root() / "drives"), before) << c.what;
    }
    // The meet stays as the last confirm took it.
    EXPECT_EQ(window.importOutcome, ImportOutcome::Cancelled);
    EXPECT_EQ(window.txtRyaku.text(), u"県選");
    EXPECT_GT(window.hitCount, 0);
}

}  // namespace
}  // namespace quendro
