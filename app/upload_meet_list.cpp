#include "app/main_window.h"
#include "app/server_addresses.h"
#include "store/meet_list_upload.h"
#include "store/working_folder.h"

namespace quendro {

void MainWindow::cmdWebUp_Click() {
    setMousePointer(MousePointer::Hourglass);
    FileSystem& files = machine_.files;
    files.deleteFile(kWorkingList);  // no copy yet is no error

    // The season's list as it stands on the server, and this meet after it.
    std::u16string season = seasonFolderUrl(txtTaikai.text(), seasonYear);
    std::u16string source = meetListUrl(txtTaikai.text(), seasonYear);
    auto body = Inet1.openUrl(source);
    if (!body) {
        statusText = u"大会一覧を読み込めませんでした: " + source;
        setMousePointer(MousePointer::Default);
        return;
    }
    FileStatus written = files.writeBytes(kWorkingList, *body);
    if (written != FileStatus::Ok && ensureWorkingFolder(files))
        written = files.writeBytes(kWorkingList, *body);
    if (written == FileStatus::Ok) {
        written =
            appendText(files, kWorkingList, meetListEntryLine(txtCode.text(), txtRyaku.text()));
    }
    if (written != FileStatus::Ok) {
        statusText = u"保存できませんでした: " + std::u16string(kWorkingList);
        setMousePointer(MousePointer::Default);
        return;
    }

    Inet1.setUrl(season);
    std::u16string target = meetListUploadUrl(txtTaikai.text(), seasonYear);
    if (!Inet1.execute(target, kUploadOperation)) {
        statusText = u"送信できませんでした: " + target;
        setMousePointer(MousePointer::Default);
        return;
    }
    // The window goes on handling its events while the list is sent.
    while (Inet1.stillExecuting()) machine_.events.processEvents();
    statusText = Inet1.executeFailed() ? u"送信できませんでした: " + target : u"";
    setMousePointer(MousePointer::Default);
}

}  // namespace quendro
