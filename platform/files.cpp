#include "platform/files.h"

#include "platform/shift_jis.h"

namespace quendro {

std::string RecordFile::records(std::int64_t first, std::int64_t count) {
    std::string bytes;
    for (std::int64_t n = first; n < first + count; ++n) {
        std::string one = record(n);
        bytes += one;
        if (one.empty()) break;  // the end of the file
    }
    return bytes;
}
namespace {

// Keeps the bytes and hands them to writeBytes at the end.
class BufferedOutputFile : public OutputFile {
  public:
    BufferedOutputFile(FileSystem& files, std::u16string path)
        : files_(files), path_(std::move(path)) {}
    bool write(std::string_view bytes) override {
        bytes_.append(bytes);
        return true;
    }
    FileStatus commit() override { return files_.writeBytes(path_, bytes_); }

  private:
    FileSystem& files_;
    std::u16string path_;
    std::string bytes_;
};

}  // namespace

std::unique_ptr<OutputFile> FileSystem::createFile(std::u16string_view path) {
    return std::make_unique<BufferedOutputFile>(*this, std::u16string(path));
}

FileStatus FileSystem::moveFile(std::u16string_view from, std::u16string_view to) {
    std::string bytes;
    FileStatus status = readBytes(from, bytes);
    if (status == FileStatus::Ok) status = writeBytes(to, bytes);
    if (status == FileStatus::Ok) status = deleteFile(from);
    return status;
}

std::u16string shownPath(std::u16string_view path) {
    if (path.find(u"://") != std::u16string_view::npos) return std::u16string(path);
    const char16_t separator = !path.empty() && path.front() == u'/' ? u'/' : u'\\';
    std::u16string shown;
    shown.reserve(path.size());
    for (char16_t c : path) {
        if (c == u'/' || c == u'\\') {
            if (!shown.empty() && shown.back() == separator) continue;
            c = separator;
        }
        shown.push_back(c);
    }
    return shown;
}

std::u16string pathForUser(FileSystem& files, std::u16string_view path) {
    std::u16string shown = shownPath(path);
    std::u16string where = files.whereOnMachine(path);
    if (where.empty() || where == shown) return shown;
    return shown + u" (" + where + u")";
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

}  // namespace quendro
