// The web viewer sent by quendro-publish to the site's root: which files of
// its folder go, and the project's nginx publisher taking them by PUT.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cli/publish/viewer_files.h"
#include "tests/cli/publish_fixture.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::runCommand;
using test::shellQuoted;
using test::TestMachine;
using test::writeFile;

TEST(ViewerFilesTest, NamesThatBecomeAddresses) {
    struct Case {
        const char* name;
        bool ok;
    } cases[] = {
        {"index.html", true},        {"js/views/heat.js", true},  {"a-b_c.9.css", true},
        {"", false},                 {".hidden", false},          {"js/.eslintrc", false},
        {"..", false},               {"js/../x.js", false},       {"/index.html", false},
        {"js//x.js", false},         {"js/", false},              {"a b.js", false},
        {"js\\x.js", false},         {"é.js", false},             {"a?b.js", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isViewerFileName(c.name), c.ok) << c.name;
}

TEST(ViewerFilesTest, TheSiteRootIsTheBaseWithoutItsLastFolder) {
    struct Case {
        const char* base;
        const char* root;
    } cases[] = {
        {"http://127.0.0.1:8808/swim/", "http://127.0.0.1:8808/"},
        {"http://127.0.0.1:8808/swim", "http://127.0.0.1:8808/"},
        {"https://example.jp/club/swim/", "https://example.jp/club/"},
        {"http://127.0.0.1:8808/", "http://127.0.0.1:8808/"},
        {"http://127.0.0.1:8808", "http://127.0.0.1:8808/"},
    };
    for (const Case& c : cases) EXPECT_EQ(siteRootOf(c.base), c.root) << c.base;
}

TEST(ViewerFilesTest, RegularFilesWithPlainNamesThePageLast) {
    TestMachine m;
    fs::path web = m.root() / "web";
    writeFile(web / "index.html", "<p>");
    writeFile(web / "style.css", "p{}");
    writeFile(web / "js" / "main.js", "1");
    writeFile(web / ".hidden", "x");
    writeFile(web / ".git" / "config", "x");
    writeFile(web / "a b.js", "x");
    writeFile(m.root() / "secret.txt", "secret");
    fs::create_symlink(m.root() / "secret.txt", web / "js" / "out.js");
    fs::create_directory_symlink(m.root(), web / "up");
    ASSERT_EQ(mkfifo((web / "js" / "pipe.js").c_str(), 0600), 0);

    ViewerFiles found = listViewerFiles(web);
    ASSERT_EQ(found.outcome, ViewerListing::Listed);
    std::vector<std::string> names;
    for (const ViewerFile& file : found.files) names.push_back(file.name);
    EXPECT_EQ(names, (std::vector<std::string>{"js/main.js", "style.css", "index.html"}));
    EXPECT_EQ(found.bytes, 7u);
    std::map<std::string, ViewerSkip> skipped;
    for (const ViewerSkipped& s : found.skipped) skipped[s.name] = s.why;
    EXPECT_EQ(skipped, (std::map<std::string, ViewerSkip>{{".hidden", ViewerSkip::BadName},
                                                          {".git", ViewerSkip::BadName},
                                                          {"a b.js", ViewerSkip::BadName},
                                                          {"js/out.js", ViewerSkip::Link},
                                                          {"up", ViewerSkip::Link},
                                                          {"js/pipe.js", ViewerSkip::NotRegular}}));

    EXPECT_EQ(listViewerFiles(m.root() / "none").outcome, ViewerListing::Missing);
    EXPECT_EQ(listViewerFiles(web / "index.html").outcome, ViewerListing::Missing);
}

TEST(ViewerFilesTest, AtMostSoManyFilesAndBytes) {
    TestMachine m;
    fs::path many = m.root() / "many";
    for (std::size_t i = 0; i < kViewerMaxFiles; ++i)
        writeFile(many / ("f" + std::to_string(i) + ".js"), "1");
    EXPECT_EQ(listViewerFiles(many).outcome, ViewerListing::Listed);
    EXPECT_EQ(listViewerFiles(many).files.size(), kViewerMaxFiles);
    writeFile(many / "one-more.js", "1");
    ViewerFiles tooMany = listViewerFiles(many);
    EXPECT_EQ(tooMany.outcome, ViewerListing::TooMany);
    EXPECT_TRUE(tooMany.files.empty());

    fs::path large = m.root() / "large";
    writeFile(large / "a.js", std::string(kViewerMaxBytes - 1, 'a'));
    writeFile(large / "b.js", "b");
    EXPECT_EQ(listViewerFiles(large).outcome, ViewerListing::Listed);
    writeFile(large / "c.js", "c");
    ViewerFiles tooLarge = listViewerFiles(large);
    EXPECT_EQ(tooLarge.outcome, ViewerListing::TooLarge);
    EXPECT_TRUE(tooLarge.files.empty());
}

class PublishViewerTest : public ::testing::Test {
  protected:
    PublishViewerTest() : nginx(m.root() / "publisher") {
        fs::copy(fs::path(QUENDRO_SOURCE_DIR) / "sample" / "meet", m.driveD() / "meet",
                 fs::copy_options::recursive);
        fs::copy(fs::path(QUENDRO_SOURCE_DIR) / "web", viewer(), fs::copy_options::recursive);
    }
    fs::path viewer() const { return m.root() / "viewer"; }
    test::CommandResult publish() {
        std::string command = test::publishCommand(
            m.root(), "--viewer " + shellQuoted(viewer().string()) + " --season 2026 " +
                          shellQuoted((m.driveD() / "meet").string()) + " " + nginx.base());
        return runCommand("timeout 120 sh -c " + shellQuoted(command));
    }
    std::string root() const { return "http://127.0.0.1:" + std::to_string(nginx.port()) + "/"; }
    test::CommandResult get(const std::string& path) {
        return runCommand("curl -sf " + shellQuoted(root() + path));
    }
    // The PUTs the server took outside the season folders.
    int viewerPuts() const {
        std::string log = readFile(m.root() / "publisher" /
                                   ("nginx-" + std::to_string(nginx.port())) / "logs" / "access.log");
        return test::countOf(log, "\"PUT /") - test::countOf(log, "\"PUT /swim/");
    }

    TestMachine m;
    test::NginxPublisher nginx;
};

TEST_F(PublishViewerTest, TheChangedFileGoesToTheSiteRootOnceAndNoOtherFile) {
    ASSERT_TRUE(nginx.running()) << nginx.why();
    writeFile(viewer() / "js" / "dom.js", readFile(viewer() / "js" / "dom.js") + "// 第２版\n");

    test::CommandResult run = publish();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(viewerPuts(), 1) << run.output;
    EXPECT_EQ(get("").output, readFile(viewer() / "index.html"));
    EXPECT_EQ(get("js/dom.js").output, readFile(viewer() / "js" / "dom.js"));
    EXPECT_EQ(get("js/main.js").output, readFile(viewer() / "js" / "main.js"));
    // The meet went too.
    EXPECT_EQ(get("swim/2026/2026001/kijun.txt").status, 0);

    run = publish();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(viewerPuts(), 1) << run.output;
    EXPECT_EQ(get("js/dom.js").output, readFile(viewer() / "js" / "dom.js"));
}

TEST_F(PublishViewerTest, ALinkOutOfTheFolderAndAPipeAreNotSent) {
    ASSERT_TRUE(nginx.running()) << nginx.why();
    writeFile(m.root() / "secret.txt", "secret");
    fs::create_symlink(m.root() / "secret.txt", viewer() / "js" / "out.js");
    ASSERT_EQ(mkfifo((viewer() / "js" / "pipe.js").c_str(), 0600), 0);

    test::CommandResult run = publish();
    EXPECT_EQ(run.status, 0) << run.output;  // ended, and not by the timeout (124)
    EXPECT_EQ(viewerPuts(), 0) << run.output;
    EXPECT_NE(get("js/out.js").status, 0);
    EXPECT_NE(get("js/pipe.js").status, 0);
    EXPECT_EQ(get("js/main.js").output, readFile(viewer() / "js" / "main.js"));
}

TEST_F(PublishViewerTest, AFailedViewerFailsTheRunButNotTheMeet) {
    ASSERT_TRUE(nginx.running()) << nginx.why();
    // The served folder taken from the worker: the viewer's PUT fails.
    fs::path served = m.root() / "publisher" / ("nginx-" + std::to_string(nginx.port())) / "web";
    writeFile(viewer() / "js" / "new.js", "1");
    fs::permissions(served / "js", fs::perms::owner_write | fs::perms::group_write |
                                       fs::perms::others_write, fs::perm_options::remove);
    test::CommandResult run = publish();
    fs::permissions(served / "js", fs::perms::owner_write, fs::perm_options::add);
    if (get("js/new.js").status == 0)
        GTEST_SKIP() << "the worker writes a folder without write bits (runs as root)";
    EXPECT_EQ(viewerPuts(), 1) << run.output;
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(get("swim/2026/2026001/web/meet.json").status, 0) << run.output;
    EXPECT_EQ(get("swim/2026/web/meets.json").status, 0) << run.output;
}

}  // namespace
}  // namespace quendro
