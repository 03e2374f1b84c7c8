#include "platform/ca_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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
        // Opened without waiting, and taken only if it is still a regular file
        // once open: a pipe put in its place meanwhile never holds the check.
        // An empty file reads nothing, and is no list of authorities either.
        int fd = ::open(chosen.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat opened {};
        char first = 0;
        if (fd < 0) {
            chosen.check = CaFileCheck::Unreadable;
        } else if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            chosen.check = CaFileCheck::NotRegular;
        } else {
            chosen.check = ::read(fd, &first, 1) == 1 ? CaFileCheck::Usable : CaFileCheck::Unreadable;
        }
        if (fd >= 0) ::close(fd);
    }
    return chosen;
}

std::string caFileForTransfers(const ChosenCaFile& chosen) {
    return chosen.check == CaFileCheck::Usable ? chosen.path : std::string();
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
