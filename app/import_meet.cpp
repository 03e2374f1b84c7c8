#include "app/main_window.h"
#include "meet/meet_session.h"
#include "store/meet_header.h"
#include "store/server_addresses.h"
#include "store/site_control.h"
#include "meet/status_words.h"
#include "platform/address_sign_in.h"
#include "store/competitor_search.h"
#include "store/meet_code.h"
#include "store/meet_file_reader.h"
#include "store/meet_import.h"
#include "store/working_folder.h"

namespace quendro {
namespace {

bool fileReadable(FileSystem& files, std::u16string_view path) {
    std::string bytes;
    return files.readBytes(path, bytes) == FileStatus::Ok;
}

}  // namespace

void MainWindow::cmdKakutei_Click() {
    setMousePointer(MousePointer::Hourglass);
    statusText.clear();
    // What the boxes showed, for a download that fails: the last good meet stays.
    const std::u16string shown[] = {txtNa.text(), txtSdate.text(), txtEdate.text(),
                                    txtBasho.text()};
    auto giveUp = [&](std::u16string word, ImportOutcome outcome = ImportOutcome::Failed) {
        importOutcome = outcome;
        txtNa.setText(shown[0]);
        txtSdate.setText(shown[1]);
        txtEdate.setText(shown[2]);
        txtBasho.setText(shown[3]);
        statusText = std::move(word);
        setMousePointer(MousePointer::Default);
    };
    txtNa.setText(u"読み込み中");
    txtSdate.setText(u"");
    txtEdate.setText(u"");
    txtBasho.setText(u"");

    FileSystem& files = machine_.files;
    // The meet's files through the one reader of every program; the window
    // keeps what it takes in its own state, and lets the session go.
    MeetSession session(files, Inet1);
    MeetOpening opened;
    std::u16string heatTablePath;
    std::u16string headerPath;
    if (webMode != 0) {
        // The meet code becomes a folder of the server's address: a code that
        // is no meet's name ("..", a path) fetches nothing.
        if (!isMeetCodeName(meetCode)) {
            giveUp(meetCodeRefusal(meetCode) + u"  読み込みません", ImportOutcome::Refused);
            return;
        }
        selectedDir = Dir1.path();
        if (selectedDir.empty() || selectedDir.back() != u'\\') selectedDir += u"\\";
        std::u16string folder = meetFolderUrl(txtTaikai.text(), seasonYear, meetCode);
        lblWeb.caption = folder;
        showWork();
        // The three files of the meet folder become the working files, byte for
        // byte, all three or none, and only when the heat table and the
        // competitor table are whole: the files on disk and the meet in the
        // window always belong to the same import. The three are asked for at
        // once (streams of one connection over https).
        opened = session.openServer(txtTaikai.text(), seasonYear, meetCode);
        if (!opened.ok()) {
            giveUp(opened.word,
                   opened.outcome == MeetOpenOutcome::FileRefused ? ImportOutcome::Damaged
                   : opened.outcome == MeetOpenOutcome::Cancelled ? ImportOutcome::Cancelled
                                                                  : ImportOutcome::Failed);
            return;
        }
        const std::vector<NewFile> arrived = {{kWorkingHeats, session.heatBytes()},
                                              {kWorkingCompetitors, session.competitorBytes()},
                                              {kWorkingHeader, session.headerBytes()}};
        FileStatus written = replaceWorkingFiles(files, arrived);
        if (written != FileStatus::Ok) {
            giveUp(workingFolderWord(written));
            return;
        }
        ReadMeetHeader();
        PrepareLapGrid();
        heatTablePath = kWorkingHeats;
        headerPath = kWorkingHeader;
    } else {
        dataDir = Dir1.path() + u"\\";
        lblWeb.caption = dataDir;
        showWork();
        headerPath = dataDir + std::u16string(kMeetHeaderName);
        heatTablePath = dataDir + u"taikai.dat";
        // The meet's files are read through the one reader of every program; a
        // file that is no meet's file is refused before anything is replaced.
        // The results file is found by the header, or the site control file
        // when the header names none.
        SiteControl site;
        site.resultDir = resultDir;
        site.resultFile = resultFile;
        opened = session.openFolder(dataDir, site, std::nullopt);
        if (opened.outcome == MeetOpenOutcome::FileRefused &&
            opened.problem != MeetFileProblem::Missing) {
            giveUp(opened.word, ImportOutcome::Damaged);
            return;
        }
        if (!fileReadable(files, headerPath)) {
            // No header, no meet: nothing of the meet shown before stays, so that
            // no competitor of another meet is listed against this folder's heats.
            txtNa.setText(u"");
            txtCode.setText(u"");
            txtRyaku.setText(u"");
            resultDir.clear();
            resultFile.clear();
        }
        ReadMeetHeader();
        PrepareLapGrid();
        // The results file where the header says, or, where that is not there,
        // found again inside the data folder (a copy of the meet folder).
        if (opened.ok() && session.resultsPath() != resultDir + resultFile) {
            resultDir = folderOf(session.resultsPath());
            resultFile = session.resultsPath().substr(resultDir.size());
        }
    }

    // The heat table as the session read it, when it did; else (a missing
    // file) as the folder holds it: an empty meet.
    TakeSwimIndex(opened.ok() ? HeatTable(session.heatBytes()) : HeatTable(files, heatTablePath));

    SearchCompetitors();

    // A meet folder without its header or heat table imports as an empty meet;
    // the status line says which file is missing, or that the folder itself is.
    importOutcome = ImportOutcome::Missing;
    if (webMode == 0 && opened.outcome == MeetOpenOutcome::NoFolder) {
        statusText = opened.word;
        importOutcome = ImportOutcome::NoFolder;
    } else if (!fileReadable(files, headerPath)) {
        statusText = u"ファイルがありません: " + pathForUser(files, headerPath);
    } else if (!fileReadable(files, heatTablePath)) {
        statusText = u"ファイルがありません: " + pathForUser(files, heatTablePath);
    } else if (webMode == 0 && opened.outcome == MeetOpenOutcome::NoResults) {
        statusText = u"結果ファイルがありません: " + pathForUser(files, opened.file);
        importOutcome = ImportOutcome::NoResults;
    } else if (webMode == 0) {
        // Which results file the competitors come from, so that a results file
        // of another meet is never read unnoticed.
        statusText = u"読み込みました: " + shownPath(lblWeb.caption) + u"  結果ファイル: " +
                     shownPath(resultDir + resultFile);
        importOutcome = ImportOutcome::Imported;
    } else {
        statusText = u"読み込みました: " + withoutPassword(lblWeb.caption);
        importOutcome = ImportOutcome::Imported;
    }
    // From now on the meet follows its files, on the server or in the folder.
    CompetitorFile competitorFile = competitorFileFor(webMode, resultDir, resultFile);
    std::u16string folder = webMode != 0 ? meetFolderUrl(txtTaikai.text(), seasonYear, meetCode)
                                         : std::u16string();
    shownMeet = FollowedMeet{webMode != 0,
                             webMode != 0 ? folder + u"taikai.txt" : heatTablePath,
                             webMode != 0 ? folder + u"ind2.txt" : competitorFile.path,
                             webMode != 0 ? RecordFileKind::Ind2 : RecordFileKind::Results};
    takenCompetitors_.reset();
    setMousePointer(MousePointer::Default);
}

}  // namespace quendro
