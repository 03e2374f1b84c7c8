#include "platform/ca_file.h"

#include <filesystem>
#include <fstream>

#include "platform/text_rules.h"

namespace quendro {

ChosenCaFile chooseCaFile(const std::optional<std::string>& option, const char* variable) {
    ChosenCaFile chosen;
    if (option) {
        chosen.path = *option;
    } else if (variable && *variable) {
        chosen.path = variable;
    } else {
        return chosen;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::file_status status = fs::status(chosen.path, ec);
    if (chosen.path.empty() || !fs::exists(status)) {
        chosen.check = CaFileCheck::Missing;
    } else if (!fs::is_regular_file(status)) {
        chosen.check = CaFileCheck::NotRegular;
    } else {
        std::ifstream file(chosen.path, std::ios::binary);
        char first = 0;
        // An empty file reads nothing, and is no list of authorities either.
        chosen.check = file && file.read(&first, 1) ? CaFileCheck::Usable : CaFileCheck::Unreadable;
    }
    return chosen;
}

std::string caFileRefusal(const ChosenCaFile& chosen) {
    std::string name = toUtf8(visibleText(fromUtf8(chosen.path)));
    switch (chosen.check) {
        case CaFileCheck::None:
        case CaFileCheck::Usable:
            return {};
        case CaFileCheck::Missing:
            return "エラー: 認証局の証明書ファイルがありません: " + name;
        case CaFileCheck::NotRegular:
            return "エラー: 認証局の証明書ファイルが普通のファイルではありません: " + name;
        case CaFileCheck::Unreadable:
            return "エラー: 認証局の証明書ファイルを読めません: " + name;
    }
    return {};
}

}  // namespace quendro
