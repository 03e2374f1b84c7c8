// quendro-publish and quendro-export against the project's nginx over https:
// with the publisher's own CA given they work as over http; without it, or
// with the wrong one, nothing goes and stderr names the host and the reason.
#include <gtest/gtest.h>

#include "tests/cli/publish_fixture.h"
#include "tests/support/test_certificates.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::runCommand;
using test::shellQuoted;

test::NginxPublisher::Options withTls() {
    test::NginxPublisher::Options options;
    options.tls = true;
    return options;
}

class PublishHttpsTest : public ::testing::Test {
  protected:
    PublishHttpsTest() : nginx(m.root() / "publisher", withTls()) {
        fs::copy(fs::path(QUENDRO_SOURCE_DIR) / "sample" / "meet", meet(),
                 fs::copy_options::recursive);
    }
    fs::path meet() const { return m.driveD() / "meet"; }
    test::CommandResult publish(const std::string& options, const std::string& env = "") {
        return runCommand(test::publishCommand(
            m.root(), options + " --season 2026 " + shellQuoted(meet().string()) + " " + nginx.base(),
            env));
    }
    // The export's CSV, into exported(); its messages are the output.
    test::CommandResult exportCsv(const std::string& arguments, const std::string& env = "") {
        fs::remove(exported());
        return runCommand("cd " + shellQuoted(m.root().string()) + " && env XDG_DATA_HOME=" +
                          shellQuoted((m.root() / "xdg").string()) + " " + env + " " +
                          shellQuoted(QUENDRO_EXPORT_PROGRAM) + " --format csv --output " +
                          shellQuoted(exported().string()) + " " + arguments);
    }
    fs::path exported() const { return m.root() / "export.csv"; }
    std::string ca() const { return shellQuoted(nginx.caFile().string()); }

    test::TestMachine m;
    test::NginxPublisher nginx;
};

TEST_F(PublishHttpsTest, WithThePublishersCaTheMeetGoesAndComesBackAsOverHttp) {
    ASSERT_TRUE(nginx.running()) << nginx.why();
    test::CommandResult run = publish("--cacert " + ca());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(test::heldOnServer(nginx.tree() / "2026" / "2026001" / "lap" / "r0001.txt"),
              readFile(meet() / "lap" / "r0001"));

    // The export from the server, the CA given by option or by the
    // environment, is the export of the meet's folder.
    test::CommandResult local =
        exportCsv("--results " + shellQuoted((meet() / "kekka" / "KEKKA.DAT").string()) + " " +
                  shellQuoted(meet().string()));
    ASSERT_EQ(local.status, 0) << local.output;
    const std::string csv = readFile(exported());
    ASSERT_FALSE(csv.empty());
    const std::string folder = nginx.base() + "2026/2026001/";
    test::CommandResult byOption = exportCsv("--cacert " + ca() + " " + folder);
    ASSERT_EQ(byOption.status, 0) << byOption.output;
    EXPECT_EQ(readFile(exported()), csv);
    test::CommandResult byVariable = exportCsv(folder, "QUENDRO_CA_FILE=" + ca());
    ASSERT_EQ(byVariable.status, 0) << byVariable.output;
    EXPECT_EQ(readFile(exported()), csv);
}

TEST_F(PublishHttpsTest, WithoutItNothingGoesAndTheHostAndReasonAreTold) {
    ASSERT_TRUE(nginx.running()) << nginx.why();
    test::TestCertificates made = test::makeTestCertificates(
        m.root() / "certificates", nginx.caFile(), nginx.tlsFolder() / "ca.key");
    ASSERT_TRUE(made.why.empty()) << made.why;
    const std::string refused = "サーバー 127.0.0.1 の証明書を確認できません: 信頼できる認証局の署名がありません";
    struct Case {
        const char* what;
        std::string options;
    };
    const Case cases[] = {
        {"no CA", ""},
        {"another CA", "--cacert " + shellQuoted(made.otherCa.string())},
    };
    for (const Case& c : cases) {
        test::CommandResult run = publish(c.options);
        EXPECT_NE(run.status, 0) << c.what;
        EXPECT_NE(run.output.find(refused), std::string::npos) << c.what << ": " << run.output;
        EXPECT_TRUE(test::filesUnder(nginx.tree()).empty()) << c.what;

        test::CommandResult exported =
            exportCsv(c.options + " " + nginx.base() + "2026/2026001/");
        EXPECT_EQ(exported.status, 1) << c.what;
        EXPECT_NE(exported.output.find(refused), std::string::npos)
            << c.what << ": " << exported.output;
        EXPECT_FALSE(fs::exists(this->exported())) << c.what;
    }
}

}  // namespace
}  // namespace quendro
