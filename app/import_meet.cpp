#include "app/main_window.h"
#include "app/meet_header.h"
#include "app/server_addresses.h"
#include "app/status_words.h"
#include "platform/address_sign_in.h"
#include "store/competitor_search.h"
#include "store/meet_code.h"
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
        // byte, all three or none: the files on disk and the meet in the window
        // always belong to the same import.
        // The three are asked for at once (streams of one connection over
        // https), and taken in their order.
        const std::vector<MeetFile> meetFiles = meetFilesToDownload();
        std::vector<std::u16string> urls;
        for (const MeetFile& file : meetFiles)
            urls.push_back(folder + std::u16string(file.serverName));
        std::unique_ptr<BatchDownload> batch = Inet1.openUrls(urls);
        std::vector<NewFile> arrived;
        for (size_t k = 0; k < meetFiles.size(); ++k) {
            Download body = batch->body(k);
            if (!body.ok()) {
                giveUp(u"ダウンロードできませんでした (" + downloadFailureWord(body) + u"): " +
                       withoutPassword(urls[k]));
                return;
            }
            arrived.push_back({meetFiles[k].workingPath, std::move(body.body)});
        }
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
        heatTablePath = dataDir + u"taikai.dat";
    }

    TakeSwimIndex(HeatTable(files, heatTablePath));

    SearchCompetitors();

    // A meet folder without its header or heat table imports as an empty meet;
    // the status line says which file is missing.
    importOutcome = ImportOutcome::Missing;
    if (!fileReadable(files, headerPath)) {
        statusText = u"ファイルがありません: " + pathForUser(files, headerPath);
    } else if (!fileReadable(files, heatTablePath)) {
        statusText = u"ファイルがありません: " + pathForUser(files, heatTablePath);
    } else {
        statusText = u"読み込みました: " +
                     (webMode != 0 ? withoutPassword(lblWeb.caption) : lblWeb.caption);
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
