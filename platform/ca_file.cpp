#include "platform/ca_file.h"

#include <filesystem>
#include <fstream>

namespace quendro {

std::string chosenCaFile(const std::string& given, const char* environment) {
    if (!given.empty()) return given;
    return environment ? std::string(environment) : std::string();
}

std::string caFileRefusal(const std::string& path) {
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return "認証局のファイルがありません: " + path;
    if (!std::filesystem::is_regular_file(status))
        return "認証局のファイルが普通のファイルではありません: " + path;
    std::ifstream in(path, std::ios::binary);
    if (!in || in.peek() == std::ifstream::traits_type::eof())
        return "認証局のファイルを読めません: " + path;
    return {};
}

}  // namespace quendro
