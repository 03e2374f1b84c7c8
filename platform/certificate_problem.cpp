#include "platform/certificate_problem.h"

namespace quendro {

std::u16string certificateFailureWord(std::u16string_view host, CertificateProblem problem) {
    std::u16string reason;
    switch (problem) {
        case CertificateProblem::UnknownIssuer:
            reason = u"信頼できる認証局の署名がありません";
            break;
        case CertificateProblem::Expired: reason = u"有効期限が切れています"; break;
        case CertificateProblem::NotYetValid: reason = u"まだ有効期間になっていません"; break;
        case CertificateProblem::WrongHost: reason = u"別のホスト名の証明書です"; break;
        case CertificateProblem::CaFileUnusable:
            reason = u"指定された認証局のファイルを読めません";
            break;
        case CertificateProblem::None:
        case CertificateProblem::Other: reason = u"証明書が正しくありません"; break;
    }
    return u"サーバー " + std::u16string(host) + u" の証明書を確認できません: " + reason;
}

}  // namespace quendro
