#include "platform/internet_transfer.h"

#include "platform/shift_jis.h"
#include "platform/text_rules.h"

namespace quendro {

std::u16string downloadFailureWord(const Download& download) {
    switch (download.failure) {
        case DownloadFailure::None: return u"";
        case DownloadFailure::NoAnswer: return u"サーバーから応答がありません";
        case DownloadFailure::ErrorStatus:
            return u"サーバーがエラー " + decimalText(download.status) + u" を返しました";
        case DownloadFailure::TooLarge: return u"ファイルが大きすぎます";
        case DownloadFailure::Stalled: return u"サーバーからの送信が止まりました";
        case DownloadFailure::CutShort: return u"転送が途中で切れました";
        case DownloadFailure::BadRedirect: return u"転送先が正しくありません";
        case DownloadFailure::BadAddress: return u"アドレスが正しくありません";
    }
    return u"";
}

std::optional<std::u16string> openUrlAsText(InternetTransfer& inet, std::u16string_view url) {
    auto body = inet.openUrl(url);
    if (!body) return std::nullopt;
    return decodeShiftJis(*body);
}

}  // namespace quendro
