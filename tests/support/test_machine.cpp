#include "tests/support/test_machine.h"

#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/shift_jis.h"

namespace fs = std::filesystem;

namespace quendro::test {
namespace {

fs::path makeTempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() /
            ("quendro-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) return candidate;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

HostFileSystem makeFiles(const fs::path& root) {
    fs::create_directories(root / "drives" / "c");
    fs::create_directories(root / "meet");
    fs::create_directory_symlink(root / "meet", root / "drives" / "d");
    fs::create_directory_symlink("/", root / "drives" / "z");
    fs::create_directories(root / "work" / "bin");
    fs::create_directories(root / "work" / "ctl");
    return HostFileSystem(DriveMap(root / "drives", root / "work" / "bin"));
}

}  // namespace

TempFolder::TempFolder() : path_(makeTempFolder()) {}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

TestMachine::TestMachine(LocalDateTime today) : files_(makeFiles(temp_.path())), clock_(today) {}

std::u16string TestMachine::serverBase() const {
    std::string base = server_.base() + "/swim/";
    return std::u16string(base.begin(), base.end());
}

void writeFile(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string sjis(std::u16string_view text) {
    return encodeShiftJis(text);
}

}  // namespace quendro::test
