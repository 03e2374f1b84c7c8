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

bool startsWithFolder(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (p == path.end() || *p != *f) return false;
    }
    return true;
}

}  // namespace

ConfinedFiles::ConfinedFiles(HostFileSystem& host, fs::path root)
    : host_(host), root_(std::move(root)) {}

bool ConfinedFiles::inside(std::u16string_view path) {
    bool ok = path.find(u'\0') == std::u16string_view::npos;
    if (ok) {
        std::error_code ec;
        fs::path host = fs::weakly_canonical(host_.driveMap().toHost(path), ec);
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
    return inside(path) ? host_.readBytes(path, bytes) : FileStatus::NotFound;
}

FileStatus ConfinedFiles::writeBytes(std::u16string_view path, std::string_view bytes) {
    return insideForChange(path) ? host_.writeBytes(path, bytes) : FileStatus::AccessDenied;
}

FileStatus ConfinedFiles::appendBytes(std::u16string_view path, std::string_view bytes) {
    return insideForChange(path) ? host_.appendBytes(path, bytes) : FileStatus::AccessDenied;
}

FileStatus ConfinedFiles::moveFile(std::u16string_view from, std::u16string_view to) {
    return insideForChange(from) && insideForChange(to) ? host_.moveFile(from, to) : FileStatus::AccessDenied;
}

FileStatus ConfinedFiles::deleteFile(std::u16string_view path) {
    return insideForChange(path) ? host_.deleteFile(path) : FileStatus::AccessDenied;
}

FileStatus ConfinedFiles::makeFolder(std::u16string_view path) {
    return insideForChange(path) ? host_.makeFolder(path) : FileStatus::AccessDenied;
}

std::u16string ConfinedFiles::folderName(std::u16string_view path) {
    return inside(path) ? host_.folderName(path) : std::u16string();
}

bool ConfinedFiles::folderExists(std::u16string_view path) {
    return inside(path) && host_.folderExists(path);
}

std::unique_ptr<RecordFile> ConfinedFiles::openRecords(std::u16string_view path,
                                                       int recordLength, FileStatus& status) {
    if (!inside(path)) {
        status = FileStatus::NotFound;
        return nullptr;
    }
    return host_.openRecords(path, recordLength, status);
}

std::vector<std::u16string> ConfinedFiles::subfolders(std::u16string_view path) {
    return inside(path) ? host_.subfolders(path) : std::vector<std::u16string>();
}

FuzzMachine::FuzzMachine() : root_(makeRoot()) {
    // The drives folder exists before the drive map sees it, so that no drive
    // leads to the host's "/".
    fs::create_directories(root_ / "drives" / "c" / "quendro" / "temp");
    fs::create_directories(root_ / "drives" / "d");
    fs::create_directories(root_ / "work" / "bin");
    fs::create_directories(root_ / "work" / "ctl");
    host_ = std::make_unique<HostFileSystem>(DriveMap(root_ / "drives", root_ / "work" / "bin"));
    files_ = std::make_unique<ConfinedFiles>(*host_, root_);
}

FuzzMachine::~FuzzMachine() {
    files_->closeAll();
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
