#include "platform/transfer_failure.h"

#include "platform/text_rules.h"

namespace quendro {
namespace {

// An error answer, by the family of its status.
std::u16string errorStatusWord(long status) {
    std::u16string why;
    if (status == 404 || status == 410) {
        why = u"サーバーにありません";
    } else if (status == 401 || status == 407) {
        why = u"サーバーにサインインできません";
    } else if (status == 403) {
        why = u"サーバーに断られました";
    } else if (status >= 500) {
        why = u"サーバー内部のエラーです";
    } else {
        why = u"サーバーが要求を受け付けません";
    }
    return why + u"（HTTP " + decimalText(status) + u"）";
}

}  // namespace

bool noServerAnswered(DownloadFailure failure) {
    switch (failure) {
        case DownloadFailure::NoAnswer:
        case DownloadFailure::NoConnection:
        case DownloadFailure::NoHost:
        case DownloadFailure::TimedOut: return true;
        default: return false;
    }
}

std::u16string transferFailureWord(DownloadFailure failure, long status,
                                   CertificateProblem certificate, std::u16string_view host) {
    switch (failure) {
        case DownloadFailure::None: return u"";
        case DownloadFailure::NoAnswer: return u"サーバーから応答がありません";
        case DownloadFailure::NoConnection: return u"サーバーに接続できません";
        case DownloadFailure::NoHost: return u"サーバーの名前が見つかりません";
        case DownloadFailure::TimedOut: return u"サーバーが時間内に応答しません";
        case DownloadFailure::ErrorStatus: return errorStatusWord(status);
        case DownloadFailure::TooLarge: return u"ファイルが大きすぎます";
        case DownloadFailure::Stalled: return u"サーバーからの送信が止まりました";
        case DownloadFailure::CutShort: return u"転送が途中で切れました";
        case DownloadFailure::BadRedirect:
            return status >= 300 && status < 400
                       ? u"転送先が正しくありません（HTTP " + decimalText(status) + u"）"
                       : u"転送先が正しくありません";
        case DownloadFailure::BadAddress: return u"アドレスが正しくありません";
        case DownloadFailure::Certificate:
            return certificateFailureWord(visibleText(host), certificate);
        case DownloadFailure::SecureLink: return u"サーバーと暗号化した接続を始められません";
        case DownloadFailure::Damaged: return u"サーバーの応答が壊れています";
        case DownloadFailure::Cancelled: return std::u16string(kCancelledWord);
        case DownloadFailure::Other: return u"転送できませんでした";
    }
    return u"";
}

}  // namespace quendro
