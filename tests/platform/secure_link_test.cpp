// The publisher over https: which CA file is trusted, and how a refused
// certificate is told.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/ca_file.h"
#include "platform/certificate_problem.h"
#include "platform/text_rules.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

TEST(CaFile, TheProgramsOwnChoiceComesBeforeTheEnvironment) {
    struct Case {
        std::string given;
        const char* environment;
        std::string chosen;
    };
    const Case cases[] = {
        {"", nullptr, ""},
        {"", "/env/ca.pem", "/env/ca.pem"},
        {"/own/ca.pem", "/env/ca.pem", "/own/ca.pem"},
        {"/own/ca.pem", nullptr, "/own/ca.pem"},
        {"", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(chosenCaFile(c.given, c.environment), c.chosen);
}

TEST(CaFile, OnlyARegularFileThatCanBeReadIsUsed) {
    test::TempFolder temp;
    std::filesystem::path folder = temp.path();
    std::ofstream(folder / "ca.pem") << "-----BEGIN CERTIFICATE-----\n";
    std::ofstream(folder / "empty.pem");
    std::filesystem::create_directory(folder / "dir.pem");
    std::filesystem::create_symlink(folder / "ca.pem", folder / "link.pem");
    struct Case {
        std::string name;
        std::string refusal;  // its start; empty: usable
    };
    const Case cases[] = {
        {"ca.pem", ""},
        {"link.pem", ""},  // a link to a regular file is that file
        {"missing.pem", "認証局のファイルがありません: "},
        {"dir.pem", "認証局のファイルが普通のファイルではありません: "},
        {"empty.pem", "認証局のファイルを読めません: "},
    };
    for (const Case& c : cases) {
        std::string path = (folder / c.name).string();
        std::string refusal = caFileRefusal(path);
        if (c.refusal.empty()) {
            EXPECT_EQ(refusal, "") << c.name;
        } else {
            EXPECT_EQ(refusal, c.refusal + path) << c.name;
        }
    }
}

TEST(CertificateWords, NameTheHostAndTheReason) {
    const std::pair<CertificateProblem, std::u16string> cases[] = {
        {CertificateProblem::UnknownIssuer, u"信頼できる認証局の署名がありません"},
        {CertificateProblem::Expired, u"有効期限が切れています"},
        {CertificateProblem::NotYetValid, u"まだ有効期間になっていません"},
        {CertificateProblem::WrongHost, u"別のホスト名の証明書です"},
        {CertificateProblem::CaFileUnusable, u"指定された認証局のファイルを読めません"},
        {CertificateProblem::Other, u"証明書が正しくありません"},
    };
    for (const auto& [problem, reason] : cases) {
        EXPECT_EQ(certificateFailureWord(u"pool.example.jp", problem),
                  u"サーバー pool.example.jp の証明書を確認できません: " + reason);
    }
}

}  // namespace
}  // namespace quendro
