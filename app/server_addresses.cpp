#include "app/server_addresses.h"

namespace quendro {

std::u16string seasonFolderUrl(std::u16string_view base, std::u16string_view season) {
    return std::u16string(base) + std::u16string(season) + u"/";
}

std::u16string meetListUrl(std::u16string_view base, std::u16string_view season) {
    return seasonFolderUrl(base, season) + u"list.txt";
}

std::u16string meetListUploadUrl(std::u16string_view base, std::u16string_view season) {
    return seasonFolderUrl(base, season) + u"list.dat";
}

std::u16string meetFolderUrl(std::u16string_view base, std::u16string_view season,
                             std::u16string_view meetCode) {
    return seasonFolderUrl(base, season) + std::u16string(meetCode) + u"/";
}

std::u16string lapFileUrl(std::u16string_view base, std::u16string_view season,
                          std::u16string_view meetCode, std::u16string_view heatNumber) {
    return meetFolderUrl(base, season, meetCode) + u"lap/r" + std::u16string(heatNumber) + u".txt";
}

}  // namespace quendro
