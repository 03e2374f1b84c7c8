#include "app/main_window.h"
#include "app/meet_header.h"
#include "app/server_addresses.h"
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
    txtNa.setText(u"読み込み中");
    txtSdate.setText(u"");
    txtEdate.setText(u"");
    txtBasho.setText(u"");

    FileSystem& files = machine_.files;
    std::u16string heatTablePath;
    std::u16string headerPath;
    if (webMode != 0) {
        selectedDir = Dir1.path();
        if (selectedDir.empty() || selectedDir.back() != u'\\') selectedDir += u"\\";
        std::u16string folder = meetFolderUrl(txtTaikai.text(), seasonYear, meetCode);
        lblWeb.caption = folder;
        // The three files of the meet folder become the working files, byte for byte.
        for (const MeetFile& file : meetFilesToDownload()) {
            std::u16string url = folder + std::u16string(file.serverName);
            auto body = Inet1.openUrl(url);
            if (!body) {
                txtNa.setText(u"");
                statusText = u"ダウンロードできませんでした: " + url;
                setMousePointer(MousePointer::Default);
                return;
            }
            FileStatus written = files.writeBytes(file.workingPath, *body);
            if (written != FileStatus::Ok && ensureWorkingFolder(files)) {
                written = files.writeBytes(file.workingPath, *body);
            }
            if (written != FileStatus::Ok) {
                txtNa.setText(u"");
                statusText = u"保存できませんでした: " + std::u16string(file.workingPath);
                setMousePointer(MousePointer::Default);
                return;
            }
        }
        ReadMeetHeader();
        PrepareLapGrid();
        heatTablePath = kWorkingHeats;
        headerPath = kWorkingHeader;
    } else {
        dataDir = Dir1.path() + u"\\";
        lblWeb.caption = dataDir;
        ReadMeetHeader();
        PrepareLapGrid();
        heatTablePath = dataDir + u"taikai.dat";
        headerPath = dataDir + std::u16string(kMeetHeaderName);
    }

    HeatTable heats(files, heatTablePath);
    meetHeatCount = static_cast<std::int16_t>(heats.heatCount());
    swimTable = buildSwimIndex(heats);
    swimTableCount = static_cast<std::int16_t>(swimTable.size() - 1);
    swimTable.resize(static_cast<size_t>(meetHeatCount) * 10 + 1);

    SearchCompetitors();

    // A meet folder without its header or heat table imports as an empty meet;
    // the status line says which file is missing.
    if (!fileReadable(files, headerPath)) {
        statusText = u"ファイルがありません: " + headerPath;
    } else if (!fileReadable(files, heatTablePath)) {
        statusText = u"ファイルがありません: " + heatTablePath;
    }
    setMousePointer(MousePointer::Default);
}

}  // namespace quendro
