// The rules that keep a meet safe, each row run through every program that
// reads a meet: the window model's confirm, quendro-export and quendro-publish.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/main_window.h"
#include "cli/export/export_run.h"
#include "platform/gzip.h"
#include "platform/text_rules.h"
#include "store/meet_file_reader.h"
#include "tests/cli/publish_fixture.h"
#include "tests/support/kept_output.h"
#include "tests/support/local_meet.h"
#include "tests/support/raw_server.h"

namespace fs = std::filesystem;

namespace quendro {
namespace {

using test::readFile;
using test::writeFile;

cli::ExportResult exportOf(test::TestMachine& m, const std::string& source,
                           std::u16string_view folder, test::KeptOutput& output) {
    cli::ExportOptions options;
    options.format = cli::ExportFormat::Csv;
    options.source = source;
    MeetSession session(m.files(), m.inet());
    return cli::runExport(options, session, folder, SiteControl{}, output).result;
}

// A meet file that is a link out of its folder, a pipe, an empty or a cut
// record file: the window keeps the meet it showed, the export writes nothing,
// the publisher sends nothing of it and ends in a failure.
TEST(MeetFileRule, EveryProgramRefusesTheSameFiles) {
    struct Case {
        const char* what;
        const char* file;  // in the meet folder
        enum { LinkOut, Pipe, Bytes } kind;
        std::ptrdiff_t keep;  // Bytes: how many of the good bytes stay (-1: one short)
        MeetFileProblem problem;
    };
    const Case cases[] = {
        {"header, a link out of the folder", "kijun.dat", Case::LinkOut, 0, MeetFileProblem::OutsideFolder},
        {"heat table, a link out of the folder", "taikai.dat", Case::LinkOut, 0, MeetFileProblem::OutsideFolder},
        {"results, a link out of its folder", "kekka/KEKKA.DAT", Case::LinkOut, 0, MeetFileProblem::OutsideFolder},
        {"heat table, a pipe", "taikai.dat", Case::Pipe, 0, MeetFileProblem::NotRegular},
        {"heat table, empty", "taikai.dat", Case::Bytes, 0, MeetFileProblem::Empty},
        {"results, empty", "kekka/KEKKA.DAT", Case::Bytes, 0, MeetFileProblem::Empty},
        {"heat table, one byte short", "taikai.dat", Case::Bytes, -1, MeetFileProblem::CutShort},
        {"results, one byte short", "kekka/KEKKA.DAT", Case::Bytes, -1, MeetFileProblem::CutShort},
    };
    test::TestMachine m;
    test::NginxPublisher nginx(m.root() / "publisher");
    ASSERT_TRUE(nginx.running()) << nginx.why();
    const fs::path meet = m.driveD() / "meet";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A good meet again, and a season of its own on the server.
        for (const char* planted : {"kijun.dat", "taikai.dat", "kekka/KEKKA.DAT"})
            fs::remove(meet / planted);
        test::writeLocalMeet(m);
        const fs::path file = meet / c.file;
        const std::string season = std::to_string(2030 + (&c - cases));
        const std::string good = readFile(file);
        // A window that shows the good meet first.
        MainWindow window(m.machine());
        test::openLocalMeet(window);
        ASSERT_EQ(window.importOutcome, ImportOutcome::Imported) << toUtf8(window.statusText);
        const int swims = window.swimTableCount;

        fs::remove(file);
        if (c.kind == Case::LinkOut) {
            writeFile(m.root() / "secret", "SECRET " + good);
            fs::create_symlink(m.root() / "secret", file);
        } else if (c.kind == Case::Pipe) {
            ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
        } else {
            size_t keep = c.keep < 0 ? good.size() - 1 : static_cast<size_t>(c.keep);
            writeFile(file, good.substr(0, keep));
        }
        // The one reader says why; every program below asks it.
        const std::string name = fs::path(c.file).filename().string();
        const bool results = name == "KEKKA.DAT";
        const std::u16string folder = results ? u"D:\\meet\\kekka\\" : u"D:\\meet\\";
        std::optional<RecordFileKind> kind;
        if (name == "taikai.dat") kind = RecordFileKind::Heats;
        if (results) kind = RecordFileKind::Results;
        EXPECT_EQ(readMeetFile(m.files(), folder, folder + fromUtf8(name), kind).problem, c.problem);

        window.cmdKakutei.click();
        EXPECT_EQ(window.importOutcome, ImportOutcome::Damaged) << toUtf8(window.statusText);
        EXPECT_EQ(window.swimTableCount, swims);
        EXPECT_EQ(window.txtNa.text(), u"県選手権");

        test::KeptOutput output;
        EXPECT_EQ(exportOf(m, "D:\\meet", u"D:\\meet", output), cli::ExportResult::MeetUnread);
        EXPECT_FALSE(output.committed);

        test::CommandResult run = test::runCommand(test::publishCommand(
            m.root(), "--season " + season + " " + test::shellQuoted(meet.string()) + " " + nginx.base()));
        EXPECT_NE(run.status, 0) << run.output;
        for (const std::string& served : test::filesUnder(nginx.tree()))
            EXPECT_EQ(test::heldOnServer(nginx.tree() / served).find("SECRET"), std::string::npos)
                << served;
        if (c.kind == Case::Bytes) {
            const char* name = fs::path(c.file).filename() == "taikai.dat" ? "taikai.txt" : "ind2.txt";
            EXPECT_FALSE(test::onServer(nginx.tree() / season / "2026001" / name)) << run.output;
        }
    }
}

// A folder that is not there is told as one, not as its first missing file,
// and every path is named in one form (a host path with "/" throughout): by
// the window's confirm, quendro-export and quendro-publish alike.
TEST(MeetFileRule, AMissingFolderIsToldAsOneAndEveryPathInOneForm) {
    test::TestMachine m;
    fs::create_directories(m.driveD() / "empty");
    const std::string host = m.driveD().string();
    struct Case {
        const char* folder;  // below drive D
        ImportOutcome outcome;
        std::u16string shown;    // the folder given as D:\...
        std::string shownHost;   // the folder given as a host path
    };
    const Case cases[] = {
        {"meeet", ImportOutcome::NoFolder, u"フォルダがありません: D:\\meeet\\",
         "フォルダがありません: " + host + "/meeet/\n"},
        {"empty", ImportOutcome::Missing, u"ファイルがありません: D:\\empty\\kijun.dat",
         "ファイルがありません: " + host + "/empty/kijun.dat\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::u16string folder = u"D:\\" + fromUtf8(c.folder);
        MainWindow window(m.machine());
        window.optWeb.select(0);
        window.Dir1.setPath(folder);
        window.cmdKakutei.click();
        EXPECT_EQ(window.importOutcome, c.outcome);
        EXPECT_EQ(window.statusText.substr(0, c.shown.size()), c.shown);

        cli::ExportOptions options;
        options.format = cli::ExportFormat::Csv;
        options.source = toUtf8(folder);
        MeetSession session(m.files(), m.inet());
        test::KeptOutput output;
        cli::ExportOutcome exported = cli::runExport(options, session, folder, SiteControl{}, output);
        EXPECT_EQ(exported.result, cli::ExportResult::MeetUnread);
        EXPECT_EQ(exported.notes, std::vector<std::string>{toUtf8(c.shown)});

        test::CommandResult run = test::runCommand(test::publishCommand(
            m.root(), "--season 2026 " + test::shellQuoted(host + "/" + c.folder) +
                          " http://127.0.0.1:1/swim/"));
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.output.find(c.shownHost), std::string::npos) << run.output;
    }
}

// A copy of the meet folder reads its own results file, never the one of the
// meet it was copied from (which the header's folder, on the copy's drive,
// names): the window, the export and the publisher alike.
TEST(ResultsFileRule, ACopiedMeetFolderReadsItsOwnResults) {
    test::TestMachine m;
    test::NginxPublisher nginx(m.root() / "publisher");
    ASSERT_TRUE(nginx.running()) << nginx.why();
    test::writeLocalMeet(m);  // D:\meet, whose header names X:\meet\kekka\KEKKA.DAT
    const fs::path meet = m.driveD() / "meet";
    const fs::path copy = m.driveD() / "copy";
    fs::copy(meet, copy, fs::copy_options::recursive);
    // The original's results: another meet's competitors, in D:\meet\kekka.
    std::string other = readFile(meet / "kekka" / "KEKKA.DAT");
    other.replace(11 + 10 * 384, 4, "9999");
    writeFile(meet / "kekka" / "KEKKA.DAT", other);

    MainWindow window(m.machine());
    window.optWeb.select(0);
    window.Dir1.setPath(u"D:\\copy");
    window.cmdKakutei.click();
    ASSERT_EQ(window.importOutcome, ImportOutcome::Imported) << toUtf8(window.statusText);
    EXPECT_EQ(window.resultDir + window.resultFile, u"D:\\copy\\kekka\\KEKKA.DAT");
    EXPECT_NE(window.statusText.find(u"結果ファイル: D:\\copy\\kekka\\KEKKA.DAT"), std::u16string::npos);
    ASSERT_GT(window.lstNamae.listCount(), 0);
    EXPECT_NE(window.lstNamae.items()[0].substr(0, 4), u"9999");

    test::KeptOutput output;
    EXPECT_EQ(exportOf(m, "D:\\copy", u"D:\\copy", output), cli::ExportResult::Written);
    EXPECT_EQ(output.bytes.find("9999"), std::string::npos);

    test::CommandResult run = test::runCommand(test::publishCommand(
        m.root(), "--season 2026 " + test::shellQuoted(copy.string()) + " " + nginx.base()));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("kekka"), std::string::npos) << run.output;
    EXPECT_EQ(test::heldOnServer(nginx.tree() / "2026" / "2026001" / "ind2.txt").find("9999"),
              std::string::npos);
}

// The same rule on what a server sends: a heat table or competitor table
// that is empty or cut, or a compressed body cut in half, is never taken.
TEST(MeetFileRule, WhatTheServerSendsIsTakenOnlyWhole) {
    test::TestMachine m;
    test::writeLocalMeet(m);
    const fs::path meet = m.driveD() / "meet";
    const std::string heats = readFile(meet / "taikai.dat");
    const std::string header = readFile(meet / "kijun.dat");
    struct Case {
        const char* what;
        const char* file;
        std::string bytes;
    };
    const Case cases[] = {
        {"heat table, empty", "taikai.txt", ""},
        {"heat table, one record short", "taikai.txt", heats.substr(0, heats.size() - 256)},
        {"competitor table, one byte short", "ind2.txt", std::string(128 * 3 - 1, ' ')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path served = m.root() / "served" / c.what;
        writeFile(served / "taikai.txt", heats);
        writeFile(served / "kijun.txt", header);
        writeFile(served / "ind2.txt", std::string("\x02\0\0\0", 4) + std::string(128 * 3 - 4, ' '));
        writeFile(served / c.file, c.bytes);
        const std::string code = "M" + std::to_string(&c - cases + 1);
        m.server().serveFolder("/swim/2026/" + code, served.string());

        MainWindow window(m.machine());
        window.webMode = 1;
        window.txtTaikai.setText(m.serverBase());
        window.seasonYear = u"2026";
        window.meetCode = fromUtf8(code);
        window.cmdKakutei.click();
        EXPECT_EQ(window.importOutcome, ImportOutcome::Damaged) << toUtf8(window.statusText);
        EXPECT_FALSE(fs::exists(m.workingFolder() / "taikai.dat"));

        test::KeptOutput output;
        EXPECT_EQ(exportOf(m, toUtf8(m.serverBase()) + "2026/" + code + "/", u"", output),
                  cli::ExportResult::MeetUnread);
        EXPECT_FALSE(output.committed);
    }

    // A gzip body cut in half, its length told for what was sent.
    const std::string packed = gzipBytes(heats);
    test::RawServer cut([&](test::RawServer&, int socket) {
        std::string half = packed.substr(0, packed.size() / 2);
        test::RawServer::send(socket, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " +
                                          std::to_string(half.size()) + "\r\n\r\n" + half);
    });
    MainWindow window(m.machine());
    window.webMode = 1;
    window.txtTaikai.setText(fromUtf8(cut.base()) + u"/swim/");
    window.seasonYear = u"2026";
    window.meetCode = u"2026001";
    window.cmdKakutei.click();
    EXPECT_NE(window.importOutcome, ImportOutcome::Imported) << toUtf8(window.statusText);
    EXPECT_FALSE(fs::exists(m.workingFolder() / "taikai.dat"));
}

}  // namespace
}  // namespace quendro
