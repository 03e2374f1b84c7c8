#include "platform/host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/text_rules.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

FileStatus statusOf(int error) {
    switch (error) {
        case ENOENT: return FileStatus::NotFound;
        case ENOTDIR: return FileStatus::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EEXIST: return FileStatus::AccessDenied;
        case EISDIR:
        case ENAMETOOLONG:
        case EINVAL: return FileStatus::BadName;
        default: return FileStatus::IoError;
    }
}

// A missing file inside an existing folder is NotFound; a missing folder on the
// way is PathNotFound.
FileStatus missingStatus(const fs::path& host) {
    std::error_code ec;
    fs::path parent = host.parent_path();
    if (parent.empty() || fs::is_directory(parent, ec)) return FileStatus::NotFound;
    return FileStatus::PathNotFound;
}

// A NUL would cut the host's path short where the program's path goes on: such
// a path names nothing.
bool holdsNul(std::u16string_view path) {
    return path.find(u'\0') != std::u16string_view::npos;
}

bool namesNoFile(std::u16string_view path) {
    return path.empty() || path.back() == u'\\' || path.back() == u'/' || holdsNul(path);
}

// Opens a file for reading only when it is a regular file. The open itself
// never waits: a FIFO planted as a lap file would otherwise hold the reader
// until someone writes into it. A folder, a pipe or a device names no file the
// program reads (BadName).
int openRegularFile(const fs::path& host, FileStatus& status) {
    int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        status = errno == ENOENT ? missingStatus(host) : statusOf(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        status = FileStatus::BadName;
        return -1;
    }
    // Reads of a regular file wait for the disk as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    status = FileStatus::Ok;
    return fd;
}

bool writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

class HostRecordFile : public RecordFile {
  public:
    HostRecordFile(std::shared_ptr<HostFileSystem::Handle> handle, int length)
        : handle_(std::move(handle)), length_(length) {}

    std::string record(std::int64_t number) override { return records(number, 1); }

    std::string records(std::int64_t first, std::int64_t count) override {
        std::string bytes;
        if (first < 1 || count < 1 || handle_->fd < 0) return bytes;
        bytes.resize(static_cast<size_t>(count * length_));
        off_t offset = static_cast<off_t>((first - 1) * length_);
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::pread(handle_->fd, bytes.data() + done, bytes.size() - done,
                                offset + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        bytes.resize(done);
        return bytes;
    }

  private:
    std::shared_ptr<HostFileSystem::Handle> handle_;
    int length_;
};

// Bytes gathered in a buffer and written to a new file beside the target,
// which takes the place of the target at commit().
class HostOutputFile : public OutputFile {
  public:
    explicit HostOutputFile(FileStatus failure) : status_(failure) {}
    HostOutputFile(fs::path host, fs::path temporary, int fd)
        : host_(std::move(host)), temporary_(std::move(temporary)), fd_(fd) {
        buffer_.reserve(kBufferSize);
    }
    ~HostOutputFile() override { discard(); }
    HostOutputFile(const HostOutputFile&) = delete;
    HostOutputFile& operator=(const HostOutputFile&) = delete;

    bool write(std::string_view bytes) override {
        if (status_ != FileStatus::Ok) return false;
        if (buffer_.size() + bytes.size() < kBufferSize) {
            buffer_.append(bytes);
            return true;
        }
        flush();  // what came before, then a large piece as it stands
        if (bytes.size() >= kBufferSize) {
            if (status_ == FileStatus::Ok && !writeAll(fd_, bytes)) status_ = statusOf(errno);
        } else {
            buffer_.append(bytes);
        }
        return status_ == FileStatus::Ok;
    }

    FileStatus commit() override {
        if (status_ != FileStatus::Ok) {
            discard();
            return status_;
        }
        flush();
        if (status_ == FileStatus::Ok && ::close(fd_) != 0) status_ = statusOf(errno);
        fd_ = -1;
        if (status_ == FileStatus::Ok && ::rename(temporary_.c_str(), host_.c_str()) != 0)
            status_ = statusOf(errno);
        if (status_ != FileStatus::Ok) {
            ::unlink(temporary_.c_str());
            return status_;
        }
        committed_ = true;
        return FileStatus::Ok;
    }

    static constexpr size_t kBufferSize = 1 << 18;

  private:
    void flush() {
        if (status_ == FileStatus::Ok && !writeAll(fd_, buffer_)) status_ = statusOf(errno);
        buffer_.clear();
    }
    void discard() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
        if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
        committed_ = true;  // once only
    }

    FileStatus status_ = FileStatus::Ok;
    fs::path host_;
    fs::path temporary_;
    int fd_ = -1;
    std::string buffer_;
    bool committed_ = false;
};

}  // namespace

HostFileSystem::Handle::~Handle() {
    close();
}

void HostFileSystem::Handle::close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

namespace {

// The rest of an open regular file, read to its end; the descriptor is closed.
FileStatus readOpenFile(int fd, std::string& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) info.st_size = 0;
    // Read straight into a string of the file's size; a file that grows
    // meanwhile is read on to its end.
    std::string content;
    size_t done = 0;
    content.resize(static_cast<size_t>(std::max<off_t>(info.st_size, 0)) + 1);
    for (;;) {
        if (done == content.size()) content.resize(content.size() * 2);
        ssize_t n = ::read(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int error = errno;
            ::close(fd);
            return statusOf(error);
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    content.resize(done);
    ::close(fd);
    bytes = std::move(content);
    return FileStatus::Ok;
}

// Whether the path lies below the folder, both without links, "." or "..".
bool liesWithin(const fs::path& folder, const fs::path& file) {
    auto f = folder.begin();
    auto p = file.begin();
    for (; f != folder.end(); ++f, ++p) {
        if (f->empty()) continue;  // the closing "/" of a folder
        if (p == file.end() || *f != *p) return false;
    }
    return p != file.end();
}

}  // namespace

FileStatus HostFileSystem::readBytes(std::u16string_view path, std::string& bytes) {
    if (namesNoFile(path)) return FileStatus::BadName;
    FileStatus opened = FileStatus::Ok;
    int fd = openRegularFile(map_.toHost(path), opened);
    if (fd < 0) return opened;
    return readOpenFile(fd, bytes);
}

FileStatus HostFileSystem::readBytesInside(std::u16string_view folder, std::u16string_view path,
                                           std::string& bytes) {
    if (namesNoFile(path)) return FileStatus::BadName;
    FileStatus opened = FileStatus::Ok;
    int fd = openRegularFile(map_.toHost(path), opened);
    if (fd < 0) return opened;
    // The file actually opened, every link followed, against the folder
    // itself: a link planted in the folder never carries a file from elsewhere.
    std::error_code ec;
    fs::path within = fs::canonical(map_.toHost(folder), ec);
    fs::path file = ec ? fs::path() : fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
    if (ec || !liesWithin(within, file)) {
        ::close(fd);
        return FileStatus::OutsideFolder;
    }
    return readOpenFile(fd, bytes);
}

FileStatus writeWholeFile(const fs::path& host, std::string_view bytes) {
    std::unique_ptr<OutputFile> out = createWholeFile(host);
    out->write(bytes);
    return out->commit();
}

FileStatus HostFileSystem::writeBytes(std::u16string_view path, std::string_view bytes) {
    if (namesNoFile(path)) return FileStatus::BadName;
    return writeWholeFile(map_.toHost(path), bytes);
}

std::unique_ptr<OutputFile> createWholeFile(const fs::path& host) {
    std::error_code ec;
    // What stands under the name is replaced only when it is a file (or a
    // link, which the rename replaces without following): a folder, a device
    // ("/dev/null"), a pipe or a socket is never put aside for a file.
    fs::file_status standing = fs::symlink_status(host, ec);
    if (fs::exists(standing) && !fs::is_regular_file(standing) && !fs::is_symlink(standing))
        return std::make_unique<HostOutputFile>(FileStatus::BadName);
    fs::path parent = host.parent_path().empty() ? fs::path(".") : host.parent_path();
    if (!fs::is_directory(parent, ec))
        return std::make_unique<HostOutputFile>(FileStatus::PathNotFound);
    // The new content goes to a file of its own first, so that a failed write
    // never leaves the old file half overwritten. That file is new, made with a
    // name of its own: nothing planted under its name is followed or overwritten.
    std::string temporary = host.string() + ".quendro-XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return std::make_unique<HostOutputFile>(statusOf(errno));
    ::fchmod(fd, 0644);
    return std::make_unique<HostOutputFile>(host, fs::path(temporary), fd);
}

std::unique_ptr<OutputFile> HostFileSystem::createFile(std::u16string_view path) {
    if (namesNoFile(path)) return std::make_unique<HostOutputFile>(FileStatus::BadName);
    return createWholeFile(map_.toHost(path));
}

FileStatus HostFileSystem::appendBytes(std::u16string_view path, std::string_view bytes) {
    if (namesNoFile(path)) return FileStatus::BadName;
    fs::path host = map_.toHost(path);
    int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return errno == ENOENT ? FileStatus::PathNotFound : statusOf(errno);
    bool ok = writeAll(fd, bytes);
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    return ok ? FileStatus::Ok : statusOf(error);
}

FileStatus HostFileSystem::moveFile(std::u16string_view from, std::u16string_view to) {
    if (namesNoFile(from) || namesNoFile(to)) return FileStatus::BadName;
    fs::path source = map_.toHost(from);
    fs::path target = map_.toHost(to);
    if (::rename(source.c_str(), target.c_str()) == 0) return FileStatus::Ok;
    return errno == ENOENT ? missingStatus(source) : statusOf(errno);
}

FileStatus HostFileSystem::deleteFile(std::u16string_view path) {
    if (namesNoFile(path)) return FileStatus::BadName;
    fs::path host = map_.toHost(path);
    if (::unlink(host.c_str()) == 0) return FileStatus::Ok;
    if (errno == ENOENT) return missingStatus(host);
    return statusOf(errno);
}

FileStatus HostFileSystem::makeFolder(std::u16string_view path) {
    if (path.empty() || holdsNul(path)) return FileStatus::BadName;
    fs::path host = map_.toHost(path);
    if (::mkdir(host.c_str(), 0755) == 0) return FileStatus::Ok;
    return errno == ENOENT ? FileStatus::PathNotFound : statusOf(errno);
}

std::u16string HostFileSystem::folderName(std::u16string_view path) {
    if (holdsNul(path)) return {};
    fs::path host = map_.toHost(path);
    std::error_code ec;
    if (!fs::exists(host, ec)) return {};
    fs::path name = host.filename();
    if (name.empty()) name = host.parent_path().filename();
    return fromUtf8(name.string());
}

bool HostFileSystem::folderExists(std::u16string_view path) {
    std::error_code ec;
    return !path.empty() && !holdsNul(path) && fs::is_directory(map_.toHost(path), ec);
}

std::unique_ptr<RecordFile> HostFileSystem::openRecords(std::u16string_view path, int recordLength,
                                                        FileStatus& status) {
    if (namesNoFile(path) || recordLength <= 0) {
        status = FileStatus::BadName;
        return nullptr;
    }
    fs::path host = map_.toHost(path);
    int fd = openRegularFile(host, status);
    if (fd < 0) return nullptr;
    auto handle = std::make_shared<Handle>();
    handle->fd = fd;
    std::erase_if(open_, [](const std::weak_ptr<Handle>& h) { return h.expired(); });
    open_.push_back(handle);
    status = FileStatus::Ok;
    return std::make_unique<HostRecordFile>(std::move(handle), recordLength);
}

void HostFileSystem::closeAll() {
    for (auto& weak : open_) {
        if (auto handle = weak.lock()) handle->close();
    }
    open_.clear();
}

std::vector<std::u16string> HostFileSystem::drives() {
    return map_.drives();
}

std::vector<std::u16string> HostFileSystem::subfolders(std::u16string_view path) {
    std::vector<std::string> names;
    if (holdsNul(path)) return {};
    std::error_code ec;
    fs::directory_iterator it(map_.toHost(path), ec);
    if (!ec) {
        for (const auto& entry : it) {
            std::string name = entry.path().filename().string();
            std::error_code dirError;
            if (!name.empty() && name[0] != '.' && entry.is_directory(dirError))
                names.push_back(name);
        }
    }
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        });
        return s;
    };
    std::sort(names.begin(), names.end(),
              [&](const std::string& a, const std::string& b) { return lower(a) < lower(b); });
    std::vector<std::u16string> folders;
    for (const auto& name : names) folders.push_back(fromUtf8(name));
    return folders;
}

std::u16string HostFileSystem::currentFolder() {
    return map_.toProgram(map_.currentFolder());
}

std::u16string HostFileSystem::whereOnMachine(std::u16string_view path) {
    if (path.empty()) return {};
    std::error_code error;
    // Links of the drives folder resolved, so that the path is the file's own.
    fs::path host = fs::weakly_canonical(map_.toHost(path), error);
    if (error) host = map_.toHost(path);
    std::u8string text = host.u8string();
    return fromUtf8(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

std::optional<FileVersion> HostFileSystem::fileVersion(std::u16string_view path) {
    if (namesNoFile(path)) return std::nullopt;
    struct stat info {};
    if (::stat(map_.toHost(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileVersion{
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
        static_cast<std::uint64_t>(info.st_size)};
}

}  // namespace quendro
