// The file of an extra certificate authority: which one is chosen, which is
// refused, and what a transfer is given.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/ca_file.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::writeFile;

TEST(CaFileTest, TheOptionWinsOverTheVariableAndOnlyAReadableRegularFileIsTaken) {
    test::TestMachine m;
    const fs::path good = m.root() / "ca.pem";
    writeFile(good, "-----BEGIN CERTIFICATE-----\n");
    writeFile(m.root() / "empty.pem", "");
    fs::create_directory(m.root() / "folder");
    const std::string pipe = (m.root() / "pipe").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string locked = (m.root() / "locked.pem").string();
    writeFile(locked, "-----BEGIN CERTIFICATE-----\n");
    fs::permissions(locked, fs::perms::none);
    // Mode 000 holds for anyone but the superuser, who reads the file all the same.
    const CaFileCheck lockedCheck = ::geteuid() == 0 ? CaFileCheck::Usable : CaFileCheck::Unreadable;
    struct Case {
        const char* what;
        std::optional<std::string> option;
        const char* variable;
        std::string path;
        CaFileCheck check;
    };
    const Case cases[] = {
        {"neither", std::nullopt, nullptr, "", CaFileCheck::None},
        {"empty variable", std::nullopt, "", "", CaFileCheck::None},
        {"variable", std::nullopt, good.c_str(), good.string(), CaFileCheck::Usable},
        {"option", good.string(), nullptr, good.string(), CaFileCheck::Usable},
        {"option over variable", good.string(), "/none/ca.pem", good.string(),
         CaFileCheck::Usable},
        {"option missing, variable good", std::string("/none/ca.pem"), good.c_str(),
         "/none/ca.pem", CaFileCheck::Missing},
        {"empty option", std::string(""), good.c_str(), "", CaFileCheck::Missing},
        {"folder", (m.root() / "folder").string(), nullptr, (m.root() / "folder").string(),
         CaFileCheck::NotRegular},
        // Never opened: a pipe without a writer would hold the check for good.
        {"pipe", pipe, nullptr, pipe, CaFileCheck::NotRegular},
        {"character device", std::string("/dev/zero"), nullptr, "/dev/zero",
         CaFileCheck::NotRegular},
        {"mode 000", locked, nullptr, locked, lockedCheck},
        {"empty file", (m.root() / "empty.pem").string(), nullptr,
         (m.root() / "empty.pem").string(), CaFileCheck::Unreadable},
    };
    for (const Case& c : cases) {
        ChosenCaFile chosen = chooseCaFile(c.option, c.variable);
        EXPECT_EQ(chosen.path, c.path) << c.what;
        EXPECT_EQ(chosen.check, c.check) << c.what;
        bool refused = c.check != CaFileCheck::None && c.check != CaFileCheck::Usable;
        EXPECT_EQ(caFileRefusal(chosen).empty(), !refused) << c.what;
        EXPECT_EQ(caFileForTransfers(chosen), refused ? "" : c.path) << c.what;
    }
    fs::permissions(locked, fs::perms::owner_all);
}

}  // namespace
}  // namespace quendro
