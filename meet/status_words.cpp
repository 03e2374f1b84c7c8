#include "meet/status_words.h"

#include "platform/text_rules.h"
#include "store/working_folder.h"

namespace quendro {

std::u16string workingFolderWord(FileStatus status) {
    std::u16string why = status == FileStatus::AccessDenied ? u"書き込み禁止" : u"保存に失敗";
    return u"作業フォルダに書き込めません (" + why + u"): " + std::u16string(kWorkingFolder);
}

std::u16string reportWord(std::u16string_view done, int unreadSwims) {
    if (unreadSwims == 0) return std::u16string(done);
    return u"ラップファイルを読めなかった泳ぎが " + decimalText(unreadSwims) + u" 件あります (" +
           std::u16string(done) + u")";
}

std::u16string seasonListTooLargeWord(std::u16string_view url) {
    return u"大会一覧が大きすぎます（1 MB・10000 件まで）: " + std::u16string(url);
}

}  // namespace quendro
