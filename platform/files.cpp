#include "platform/files.h"

#include "platform/shift_jis.h"

namespace quendro {

FileStatus FileSystem::moveFile(std::u16string_view from, std::u16string_view to) {
    std::string bytes;
    FileStatus status = readBytes(from, bytes);
    if (status == FileStatus::Ok) status = writeBytes(to, bytes);
    if (status == FileStatus::Ok) status = deleteFile(from);
    return status;
}

std::u16string pathForUser(FileSystem& files, std::u16string_view path) {
    std::u16string where = files.whereOnMachine(path);
    if (where.empty() || where == path) return std::u16string(path);
    return std::u16string(path) + u" (" + where + u")";
}

FileStatus readText(FileSystem& files, std::u16string_view path, std::u16string& text) {
    std::string bytes;
    FileStatus status = files.readBytes(path, bytes);
    if (status == FileStatus::Ok) text = decodeShiftJis(bytes);
    return status;
}

FileStatus writeText(FileSystem& files, std::u16string_view path, std::u16string_view text) {
    return files.writeBytes(path, encodeShiftJis(text));
}

FileStatus appendText(FileSystem& files, std::u16string_view path, std::u16string_view text) {
    return files.appendBytes(path, encodeShiftJis(text));
}

}  // namespace quendro
