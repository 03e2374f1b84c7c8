// How a refused certificate of the publisher is told, and which addresses go
// over TLS.

#include <gtest/gtest.h>

#include "platform/certificate_problem.h"
#include "platform/curl_options.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

// The scheme in any case, as libcurl reads it; nothing short of "https://".
TEST(OverTls, AnHttpsSchemeInAnyCase) {
    const std::pair<const char*, bool> cases[] = {
        {"https://127.0.0.1/swim/", true}, {"HTTPS://host/", true}, {"hTtPs://", true},
        {"https:/", false},                {"http://host/", false}, {"httpsx://host/", false},
        {"", false},                       {" https://host/", false},
    };
    for (const auto& [url, tls] : cases) EXPECT_EQ(overTls(url), tls) << url;
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
