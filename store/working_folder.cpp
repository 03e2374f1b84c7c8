#include "store/working_folder.h"

namespace quendro {
namespace {

bool ensureFolder(FileSystem& files, std::u16string_view folder) {
    return files.folderExists(folder) || files.makeFolder(folder) == FileStatus::Ok;
}

}  // namespace

bool ensureWorkingFolder(FileSystem& files) {
    return ensureFolder(files, kWorkingParent) && ensureFolder(files, kWorkingFolder);
}

FileStatus replaceFilesTogether(FileSystem& files, const std::vector<NewFile>& newFiles) {
    std::vector<std::u16string> staged;
    auto discard = [&] {
        for (const std::u16string& path : staged) files.deleteFile(path);
    };
    for (const NewFile& file : newFiles) {
        std::u16string beside = std::u16string(file.path) + u".new";
        FileStatus status = files.writeBytes(beside, file.bytes);
        if (status != FileStatus::Ok) {
            discard();
            return status;
        }
        staged.push_back(std::move(beside));
    }
    for (size_t i = 0; i < newFiles.size(); ++i) {
        FileStatus status = files.moveFile(staged[i], newFiles[i].path);
        if (status != FileStatus::Ok) {
            staged.erase(staged.begin(), staged.begin() + static_cast<std::ptrdiff_t>(i));
            discard();
            return status;
        }
    }
    return FileStatus::Ok;
}

FileStatus replaceWorkingFiles(FileSystem& files, const std::vector<NewFile>& newFiles) {
    FileStatus written = replaceFilesTogether(files, newFiles);
    if (written == FileStatus::PathNotFound && ensureWorkingFolder(files))
        written = replaceFilesTogether(files, newFiles);
    return written;
}

}  // namespace quendro
