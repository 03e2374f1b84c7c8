#include "platform/host_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "platform/text_rules.h"
#include "tests/support/test_machine.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::TestMachine;
using test::writeFile;

TEST(DriveMap, FirstUseCreatesDriveCAndDriveZ) {
    test::TempFolder temp;
    DriveMap map(temp.path() / "drives", temp.path());
    EXPECT_TRUE(fs::is_directory(temp.path() / "drives" / "c"));
    EXPECT_TRUE(fs::is_symlink(temp.path() / "drives" / "z"));
    EXPECT_EQ(fs::read_symlink(temp.path() / "drives" / "z"), "/");
    EXPECT_EQ(map.drives(), (std::vector<std::u16string>{u"c:", u"z:"}));
    EXPECT_TRUE(fs::equivalent(map.toHost(u"Z:\\etc"), "/etc"));
    EXPECT_EQ(map.toHost(u"c:\\quendro\\temp\\kijun.dat"),
              temp.path() / "drives" / "c" / "quendro" / "temp" / "kijun.dat");
    EXPECT_EQ(map.toHost(u"/var/tmp"), fs::path("/var/tmp"));
    EXPECT_EQ(map.toHost(u"meet/x.dat"), temp.path() / "meet" / "x.dat");
    EXPECT_EQ(map.toProgram(temp.path() / "drives" / "c" / "quendro"), u"C:\\quendro");
    EXPECT_EQ(map.toProgram("/usr/share"), u"Z:\\usr\\share");
    EXPECT_EQ(map.toProgram("/"), u"Z:\\");
}

TEST(HostFiles, PathsOfTheProgramReachTheirHostFiles) {
    TestMachine m;
    writeFile(m.driveD() / "kijun.dat", "D");
    writeFile(m.siteControlFile(), "CTL");
    std::string bytes;
    EXPECT_EQ(m.files().readBytes(u"D:\\kijun.dat", bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, "D");
    EXPECT_EQ(m.files().readBytes(u"d:/kijun.dat", bytes), FileStatus::Ok);
    EXPECT_EQ(m.files().readBytes(u"..\\ctl\\dr_kyo.ctl", bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, "CTL");
    EXPECT_EQ(m.files().readBytes(fromUtf8((m.driveD() / "kijun.dat").string()), bytes),
              FileStatus::Ok);
    EXPECT_EQ(bytes, "D");
}

TEST(HostFiles, NamesMatchIgnoringCaseWhenTheExactNameIsMissing) {
    TestMachine m;
    writeFile(m.driveD() / "MEET1" / "KIJUN.DAT", "upper");
    writeFile(m.driveD() / "MEET1" / "LAP" / "R0012", "lap");
    std::string bytes;
    EXPECT_EQ(m.files().readBytes(u"D:\\meet1\\kijun.dat", bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, "upper");
    EXPECT_EQ(m.files().readBytes(u"D:\\meet1\\lap\\r0012", bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, "lap");
    // The exact name wins over a case variant.
    writeFile(m.driveD() / "MEET1" / "kijun.dat", "lower");
    EXPECT_EQ(m.files().readBytes(u"D:\\MEET1\\kijun.dat", bytes), FileStatus::Ok);
    EXPECT_EQ(bytes, "lower");
    EXPECT_EQ(m.files().folderName(u"D:\\meet1"), u"MEET1");

    // Another thread (a followed lap file) reads while reports remember
    // listings and forget them again.
    int good = 0;
    std::thread follower([&m, &good] {
        std::string lap;
        for (int i = 0; i < 2000; ++i) {
            good += m.files().readBytes(u"D:\\meet1\\lap\\r0012", lap) == FileStatus::Ok && lap == "lap";
        }
    });
    for (int i = 0; i < 2000; ++i) {
        ListingMemory report(m.files());
        EXPECT_EQ(m.files().readBytes(u"D:\\meet1\\LAP\\r0012", bytes), FileStatus::Ok);
    }
    follower.join();
    EXPECT_EQ(good, 2000);
}

TEST(HostFiles, FailuresAreToldApart) {
    TestMachine m;
    std::string bytes;
    EXPECT_EQ(m.files().readBytes(u"D:\\none.dat", bytes), FileStatus::NotFound);
    EXPECT_EQ(m.files().readBytes(u"D:\\nofolder\\none.dat", bytes), FileStatus::PathNotFound);
    EXPECT_EQ(m.files().readBytes(u"D:\\", bytes), FileStatus::BadName);
    EXPECT_EQ(m.files().deleteFile(u"D:\\none.dat"), FileStatus::NotFound);
    EXPECT_EQ(m.files().deleteFile(u"c:\\quendro\\temp\\list.dat"), FileStatus::PathNotFound);
    EXPECT_EQ(m.files().writeBytes(u"c:\\quendro\\temp\\list.dat", "x"), FileStatus::PathNotFound);
    EXPECT_EQ(m.files().appendBytes(u"c:\\quendro\\temp\\list.dat", "x"), FileStatus::PathNotFound);
    EXPECT_EQ(m.files().folderName(u"c:\\quendro"), u"");
    EXPECT_EQ(m.files().makeFolder(u"c:\\quendro\\temp"), FileStatus::PathNotFound);
    EXPECT_EQ(m.files().makeFolder(u"c:\\quendro"), FileStatus::Ok);
    EXPECT_EQ(m.files().makeFolder(u"c:\\quendro"), FileStatus::AccessDenied);
    EXPECT_EQ(m.files().folderName(u"c:\\quendro"), u"quendro");
}

TEST(HostFiles, WritesReplaceAppendsAddAndDeletesRemove) {
    TestMachine m;
    fs::create_directories(m.workingFolder());
    const std::u16string list = u"c:\\quendro\\temp\\list.dat";
    ASSERT_EQ(m.files().writeBytes(list, "a much longer first content"), FileStatus::Ok);
    ASSERT_EQ(m.files().writeBytes(list, "short"), FileStatus::Ok);
    EXPECT_EQ(readFile(m.workingFolder() / "list.dat"), "short");
    ASSERT_EQ(m.files().appendBytes(list, ",\"x\"\r\n"), FileStatus::Ok);
    EXPECT_EQ(readFile(m.workingFolder() / "list.dat"), "short,\"x\"\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m.workingFolder()), fs::directory_iterator()),
              1);
    EXPECT_EQ(m.files().deleteFile(list), FileStatus::Ok);
    EXPECT_FALSE(fs::exists(m.workingFolder() / "list.dat"));
}

TEST(HostFiles, APathHoldingANulNamesNothing) {
    TestMachine m;
    HostFileSystem& files = m.files();
    writeFile(m.driveD() / "x", "kept");
    // Cut at the NUL, each of these would reach D:\x.
    const std::u16string withNul(u"D:\\x\0\\..\\y", 11);
    std::string bytes;
    EXPECT_EQ(files.readBytes(withNul, bytes), FileStatus::BadName);
    EXPECT_EQ(files.writeBytes(withNul, "new"), FileStatus::BadName);
    EXPECT_EQ(files.appendBytes(withNul, "new"), FileStatus::BadName);
    EXPECT_EQ(files.moveFile(withNul, u"D:\\z"), FileStatus::BadName);
    EXPECT_EQ(files.deleteFile(withNul), FileStatus::BadName);
    EXPECT_EQ(files.makeFolder(std::u16string(u"D:\\n\0", 5)), FileStatus::BadName);
    EXPECT_FALSE(files.folderExists(std::u16string(u"D:\\\0", 4)));
    FileStatus status;
    EXPECT_EQ(files.openRecords(withNul, 10, status), nullptr);
    EXPECT_EQ(status, FileStatus::BadName);
    EXPECT_EQ(readFile(m.driveD() / "x"), "kept");
    EXPECT_FALSE(fs::exists(m.driveD() / "n"));
}

TEST(HostFiles, TheSafeWriteFollowsNoPlantedLink) {
    TestMachine m;
    writeFile(m.root() / "victim", "kept");
    // A link where the write put its temporary file before.
    fs::create_symlink(m.root() / "victim", m.driveD() / "page.html.quendro-new");
    ASSERT_EQ(m.files().writeBytes(u"D:\\page.html", "page"), FileStatus::Ok);
    EXPECT_EQ(readFile(m.driveD() / "page.html"), "page");
    EXPECT_EQ(readFile(m.root() / "victim"), "kept");
    EXPECT_FALSE(fs::is_symlink(m.driveD() / "page.html"));
    // Nothing of the write is left beside the file; the planted link is as it was.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m.driveD()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"page.html", "page.html.quendro-new"}));
}

// The one safe write puts a file in the place of a file or a link, never of a
// folder, a device or a pipe; a bare name is a file of the current folder.
TEST(HostFiles, TheSafeWriteReplacesOnlyAFile) {
    TestMachine m;
    const fs::path at = m.root() / "out";
    fs::create_directories(at);
    writeFile(at / "file", "old");
    writeFile(m.root() / "victim", "kept");
    fs::create_symlink(m.root() / "victim", at / "link");
    fs::create_directories(at / "folder");
    ASSERT_EQ(::mkfifo((at / "pipe").c_str(), 0644), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::mknod((at / "device").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    struct Case {
        const char* name;
        FileStatus status;
    };
    const Case cases[] = {
        {"file", FileStatus::Ok},       {"new", FileStatus::Ok},
        {"link", FileStatus::Ok},       {"folder", FileStatus::BadName},
        {"pipe", FileStatus::BadName},  {"device", root ? FileStatus::BadName : FileStatus::Ok},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(writeWholeFile(at / c.name, "new"), c.status) << c.name;
        if (c.status == FileStatus::Ok) {
            EXPECT_EQ(readFile(at / c.name), "new") << c.name;
        }
    }
    EXPECT_EQ(readFile(m.root() / "victim"), "kept");
    EXPECT_TRUE(fs::is_fifo(at / "pipe"));
    if (root) {
        EXPECT_TRUE(fs::is_character_file(at / "device"));
    }
    // A bare name, written in the current folder.
    const fs::path before = fs::current_path();
    fs::current_path(at);
    EXPECT_EQ(writeWholeFile("bare.csv", "bare"), FileStatus::Ok);
    fs::current_path(before);
    EXPECT_EQ(readFile(at / "bare.csv"), "bare");
}

// Only regular files are read: a FIFO planted as a lap file would hold every
// reader until someone wrote into it, a device would never end.
TEST(HostFiles, OnlyRegularFilesAreRead) {
    TestMachine m;
    HostFileSystem& files = m.files();
    fs::create_directories(m.driveD() / "lap");
    ASSERT_EQ(::mkfifo((m.driveD() / "lap" / "r0003").c_str(), 0644), 0);
    writeFile(m.driveD() / "lap" / "r0001", "1,31.25,G\r\n");
    fs::create_symlink(m.driveD() / "lap" / "r0001", m.driveD() / "lap" / "r0002");
    fs::create_symlink("/dev/zero", m.driveD() / "lap" / "r0004");
    writeFile(m.root() / "secret", "1,31.25,G\r\n");
    fs::create_symlink(m.root() / "secret", m.driveD() / "lap" / "r0005");
    fs::create_symlink("../lap/r0001", m.driveD() / "lap" / "r0006");
    struct Case {
        const char16_t* path;
        FileStatus status;
        std::string bytes;
        FileStatus inside;  // read as a file of the folder D:\lap
    };
    const Case cases[] = {
        {u"D:\\lap\\r0001", FileStatus::Ok, "1,31.25,G\r\n", FileStatus::Ok},
        // A link to a file is that file, inside the folder only when it lies there.
        {u"D:\\lap\\r0002", FileStatus::Ok, "1,31.25,G\r\n", FileStatus::Ok},
        {u"D:\\lap\\r0005", FileStatus::Ok, "1,31.25,G\r\n", FileStatus::OutsideFolder},
        {u"D:\\lap\\r0006", FileStatus::Ok, "1,31.25,G\r\n", FileStatus::Ok},
        {u"D:\\lap\\r0003", FileStatus::BadName, "", FileStatus::BadName},  // a FIFO, nobody writing
        {u"D:\\lap\\r0004", FileStatus::BadName, "", FileStatus::BadName},  // a device
        {u"D:\\lap", FileStatus::BadName, "", FileStatus::BadName},           // a folder
    };
    for (const Case& c : cases) {
        std::string bytes = "before";
        EXPECT_EQ(files.readBytesInside(u"D:\\lap\\", c.path, bytes), c.inside) << toUtf8(c.path);
        EXPECT_EQ(files.readBytes(c.path, bytes), c.status) << toUtf8(c.path);
        if (c.status == FileStatus::Ok) {
            EXPECT_EQ(bytes, c.bytes) << toUtf8(c.path);
        }
        FileStatus status = FileStatus::IoError;
        auto records = files.openRecords(c.path, 4, status);
        EXPECT_EQ(status, c.status) << toUtf8(c.path);
        EXPECT_EQ(records != nullptr, c.status == FileStatus::Ok) << toUtf8(c.path);
    }
}

TEST(HostFiles, TextFilesAreShiftJisOnDisk) {
    TestMachine m;
    ASSERT_EQ(writeText(m.files(), u"D:\\x.txt", u"県選手権\r\n"), FileStatus::Ok);
    EXPECT_EQ(readFile(m.driveD() / "x.txt"), "\x8C\xA7\x91\x49\x8E\xE8\x8C\xA0\r\n");
    std::u16string text;
    ASSERT_EQ(readText(m.files(), u"D:\\x.txt", text), FileStatus::Ok);
    EXPECT_EQ(text, u"県選手権\r\n");
}

TEST(HostFiles, RecordsAreReadByNumberAndCloseAllClosesThem) {
    TestMachine m;
    writeFile(m.driveD() / "r.dat", "AAAABBBBCC");
    FileStatus status;
    auto file = m.files().openRecords(u"D:\\r.dat", 4, status);
    ASSERT_EQ(status, FileStatus::Ok);
    EXPECT_EQ(file->record(2), "BBBB");
    EXPECT_EQ(file->record(3), "CC");  // a truncated last record comes back short
    EXPECT_EQ(file->record(4), "");
    EXPECT_EQ(file->record(0), "");
    m.files().closeAll();
    EXPECT_EQ(file->record(1), "");

    EXPECT_EQ(m.files().openRecords(u"D:\\none.dat", 4, status), nullptr);
    EXPECT_EQ(status, FileStatus::NotFound);
    EXPECT_FALSE(fs::exists(m.driveD() / "none.dat"));  // a missing file is not created
}

TEST(HostFiles, DrivesAndFolders) {
    TestMachine m;
    fs::create_directories(m.driveD() / "b_meet");
    fs::create_directories(m.driveD() / "A_meet");
    fs::create_directories(m.driveD() / ".hidden");
    writeFile(m.driveD() / "file.dat", "");
    EXPECT_EQ(m.files().drives(), (std::vector<std::u16string>{u"c:", u"d:", u"z:"}));
    EXPECT_EQ(m.files().subfolders(u"D:\\"), (std::vector<std::u16string>{u"A_meet", u"b_meet"}));
    EXPECT_TRUE(m.files().folderExists(u"D:\\A_meet\\"));
    EXPECT_FALSE(m.files().folderExists(u"D:\\file.dat"));
    EXPECT_FALSE(m.files().folderExists(u""));
    std::string current = fs::canonical(m.root() / "work" / "bin").string();
    std::replace(current.begin(), current.end(), '/', '\\');
    EXPECT_EQ(m.files().currentFolder(), u"Z:" + fromUtf8(current));
}

}  // namespace
}  // namespace quendro
