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

}  // namespace quendro
