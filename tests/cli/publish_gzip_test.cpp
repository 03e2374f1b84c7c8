// Compressed uploads: the project's nginx says it stores gzip, the publisher
// sends NAME.gz, and every reader gets the bytes a plain publish gives; a
// server that says nothing gets plain files. And the file of an extra
// certificate authority, checked before anything is sent.
#include <gtest/gtest.h>

#include "platform/ca_file.h"
#include "tests/cli/publish_fixture.h"
#include "tests/support/http_server.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::filesUnder;
using test::readFile;
using test::runCommand;
using test::shellQuoted;
using test::writeFile;

class PublishGzipTest : public test::PublishedMeetTest {
  protected:
    // A file of the server fetched by curl: as browsers that take gzip get it
    // (unpacked by curl), as those that do not, and the bytes on the wire.
    enum class Asking { Compressed, Plain, Raw };
    std::string get(const std::string& path, Asking asking) {
        static const char* options[] = {"--compressed", "", "-H 'Accept-Encoding: gzip'"};
        fs::path out = m.root() / "fetched";
        fs::remove(out);
        runCommand(std::string("curl -sf ") + options[static_cast<int>(asking)] + " -o " +
                   shellQuoted(out.string()) + " " + shellQuoted(nginx.base() + "2026/" + path));
        return readFile(out);
    }
};

// The meet's files and web data that a plain publish to a server that keeps
// what is PUT gives, by path below the season.
const char* kFiles[] = {"2026001/kijun.txt",         "2026001/taikai.txt",
                        "2026001/ind2.txt",          "2026001/lap/r0001.txt",
                        "2026001/lap/r0012.txt",     "2026001/web/fold.json",
                        "2026001/web/heats/0012.json", "2026001/web/competitors/0.json"};

TEST_F(PublishGzipTest, CompressedUploadsReadBackAsThePlainPublishGivesThem) {
    ASSERT_TRUE(nginx.running());
    // A server that does not say it stores gzip: plain files, as always. (It
    // serves nothing of what it keeps, so the season list is never read back
    // with the entry: that run ends as failed, after the meet's files.)
    test::HttpTestServer plain;
    test::CommandResult run = runCommand(test::publishCommand(
        m.root(), "--season 2026 " + shellQuoted(meet().string()) + " " + plain.base() + "/swim/"));
    EXPECT_NE(run.output.find("ウェブ用データを送信しました"), std::string::npos) << run.output;
    for (const std::string& request : plain.requests())
        EXPECT_EQ(request.find(".gz"), std::string::npos) << request;

    run = publish();
    ASSERT_EQ(run.status, 0) << run.output;
    for (const char* file : kFiles) {
        const std::string expected = plain.putBody(std::string("/swim/2026/") + file);
        ASSERT_FALSE(expected.empty()) << file;
        // Stored as NAME.gz alone: no plain NAME beside it.
        EXPECT_FALSE(fs::exists(served(file))) << file;
        EXPECT_TRUE(fs::exists(served(std::string(file) + ".gz"))) << file;
        EXPECT_EQ(get(file, Asking::Compressed), expected) << file;
        EXPECT_EQ(get(file, Asking::Plain), expected) << file;
        EXPECT_TRUE(get(file, Asking::Raw).starts_with("\x1f\x8b")) << file;
    }
    // The season lists stay plain files, read back as they are.
    EXPECT_EQ(readFile(served("list.txt")), test::sjis(u",\"2026001 県選手権\"\r\n"));
    EXPECT_FALSE(fs::exists(served("list.txt.gz")));
    EXPECT_TRUE(fs::exists(served("web/meets.json")));
    // Publishing again reads the list back and finds nothing to send.
    run = publish();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("大会一覧には既にあります"), std::string::npos) << run.output;
    for (const std::string& file : filesUnder(nginx.tree() / "2026" / "2026001"))
        EXPECT_TRUE(file.ends_with(".gz")) << file;
}

TEST(CaFileTest, ACaFileThatCannotBeUsedStopsThePublisherBeforeAnyTransfer) {
    test::TestMachine m;
    test::HttpTestServer server;
    fs::create_directory(m.root() / "folder");
    writeFile(m.root() / "ca.pem", "-----BEGIN CERTIFICATE-----\n");
    const std::string meet = shellQuoted((m.root() / "nomeet").string());
    const std::string base = " " + server.base() + "/swim/";
    struct Case {
        const char* what;
        std::string options;
        std::string env;
        int status;
    };
    const Case cases[] = {
        {"missing file", "--cacert /none/ca.pem", "", 2},
        {"folder", "--cacert " + shellQuoted((m.root() / "folder").string()), "", 2},
        {"variable naming a folder", "",
         "QUENDRO_CA_FILE=" + shellQuoted((m.root() / "folder").string()), 2},
        // A good option wins over a bad variable: the run goes on, and ends
        // at the folder that holds no meet.
        {"option over variable", "--cacert " + shellQuoted((m.root() / "ca.pem").string()),
         "QUENDRO_CA_FILE=/none/ca.pem", 1},
    };
    for (const Case& c : cases) {
        test::CommandResult run = runCommand(
            test::publishCommand(m.root(), c.options + " --season 2026 " + meet + base, c.env) +
            " 2>&1");
        EXPECT_EQ(run.status, c.status) << c.what << run.output;
        if (c.status == 2) {
            EXPECT_NE(run.output.find("認証局の証明書ファイル"), std::string::npos) << run.output;
        }
    }
    EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace quendro
