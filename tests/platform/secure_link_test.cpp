// How a refused certificate of the publisher is told.

#include <gtest/gtest.h>

#include "platform/certificate_problem.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

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
