#include "tests/support/small_disk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro::test {

SmallDisk::SmallDisk(fs::path folder, Kind kind) : folder_(std::move(folder)) {
    if (::geteuid() != 0) {
        why_ = "not root: no small disk can be mounted";
        return;
    }
    std::map<std::string, std::string> kept;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_, ec))
        kept[entry.path().filename().string()] = readFile(entry.path());
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0) {
        why_ = std::string("tmpfs cannot be mounted here: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
    for (const auto& [name, bytes] : kept) writeFile(folder_ / name, bytes);
    if (kind == Kind::ReadOnly) {
        ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
        return;
    }
    // Filled with one file until no byte more fits.
    std::ofstream filler(folder_ / "filler", std::ios::binary);
    std::string block(512, 'f');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
           filler.flush()) {
    }
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

}  // namespace quendro::test
