#include "fuzz/fuzz_machine.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "platform/text_rules.h"

namespace fs = std::filesystem;

namespace quendro::fuzz {
namespace {

fs::path makeRoot() {
    std::string pattern = (fs::temp_directory_path() / "quendro-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    return fs::canonical(pattern);
}

// The drives folder exists before the drive map sees it, so that no drive
// leads to the host's "/".
DriveMap confinedDrives(const fs::path& root) {
    fs::create_directories(root / "drives" / "c" / "quendro" / "temp");
    fs::create_directories(root / "drives" / "d");
    fs::create_directories(root / "work" / "bin");
    fs::create_directories(root / "work" / "ctl");
    return DriveMap(root / "drives", root / "work" / "bin");
}

bool startsWithFolder(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (p == path.end() || *p != *f) return false;
    }
    return true;
}

// A file that may not be written: every write fails, and so does the commit.
class RefusedFile : public OutputFile {
  public:
    bool write(std::string_view) override { return false; }
    FileStatus commit() override { return FileStatus::AccessDenied; }
};

}  // namespace

ConfinedFiles::ConfinedFiles(DriveMap map, fs::path root)
    : HostFileSystem(std::move(map)), root_(std::move(root)) {}

bool ConfinedFiles::inside(std::u16string_view path) {
    bool ok = path.find(u'\0') == std::u16string_view::npos;
    if (ok) {
        std::error_code ec;
        fs::path asked = driveMap().toHost(path);
        fs::path host = fs::weakly_canonical(asked, ec);
        // A name longer than the file system allows names no file anywhere: it
        // is judged by the folder it would stand in, which is where the
        // program asked for it.
        if (ec == std::errc::filename_too_long && !asked.filename().empty() &&
            asked.filename() != ".." && asked.filename() != ".") {
            host = fs::weakly_canonical(asked.parent_path(), ec) / asked.filename();
        }
        ok = !ec && startsWithFolder(host, root_);
    }
    if (!ok) ++refused;
    return ok;
}

bool ConfinedFiles::insideForChange(std::u16string_view path) {
    bool ok = inside(path);
    if (!ok) ++refusedChanges;
    return ok;
}

FileStatus ConfinedFiles::readBytes(std::u16string_view path, std::string& bytes) {
    return inside(path) ? HostFileSystem::readBytes(path, bytes) : FileStatus::NotFound;
}

std::unique_ptr<RecordFile> ConfinedFiles::openRecords(std::u16string_view path, int recordLength,
                                                       FileStatus& status) {
    if (!inside(path)) {
        status = FileStatus::NotFound;
        return nullptr;
    }
    return HostFileSystem::openRecords(path, recordLength, status);
}

std::u16string ConfinedFiles::folderName(std::u16string_view path) {
    return inside(path) ? HostFileSystem::folderName(path) : std::u16string();
}

bool ConfinedFiles::folderExists(std::u16string_view path) {
    return inside(path) && HostFileSystem::folderExists(path);
}

std::vector<std::u16string> ConfinedFiles::subfolders(std::u16string_view path) {
    return inside(path) ? HostFileSystem::subfolders(path) : std::vector<std::u16string>();
}

std::u16string ConfinedFiles::whereOnMachine(std::u16string_view path) {
    return inside(path) ? HostFileSystem::whereOnMachine(path) : std::u16string();
}

std::optional<FileVersion> ConfinedFiles::fileVersion(std::u16string_view path) {
    return inside(path) ? HostFileSystem::fileVersion(path) : std::nullopt;
}

FileStatus ConfinedFiles::writeBytes(std::u16string_view path, std::string_view bytes) {
    return insideForChange(path) ? HostFileSystem::writeBytes(path, bytes)
                                 : FileStatus::AccessDenied;
}

FileStatus ConfinedFiles::appendBytes(std::u16string_view path, std::string_view bytes) {
    return insideForChange(path) ? HostFileSystem::appendBytes(path, bytes)
                                 : FileStatus::AccessDenied;
}

std::unique_ptr<OutputFile> ConfinedFiles::createFile(std::u16string_view path) {
    if (!insideForChange(path)) return std::make_unique<RefusedFile>();
    return HostFileSystem::createFile(path);
}

FileStatus ConfinedFiles::moveFile(std::u16string_view from, std::u16string_view to) {
    return insideForChange(from) && insideForChange(to) ? HostFileSystem::moveFile(from, to)
                                                        : FileStatus::AccessDenied;
}

FileStatus ConfinedFiles::deleteFile(std::u16string_view path) {
    return insideForChange(path) ? HostFileSystem::deleteFile(path) : FileStatus::AccessDenied;
}

FileStatus ConfinedFiles::makeFolder(std::u16string_view path) {
    return insideForChange(path) ? HostFileSystem::makeFolder(path) : FileStatus::AccessDenied;
}

FuzzMachine::FuzzMachine() : root_(makeRoot()), files_(confinedDrives(root_), root_) {}

FuzzMachine::~FuzzMachine() {
    files_.closeAll();
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void writeHostFile(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace quendro::fuzz
