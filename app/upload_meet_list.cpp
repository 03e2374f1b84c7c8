#include "app/main_window.h"
#include "app/server_addresses.h"
#include "app/status_words.h"
#include "platform/shift_jis.h"
#include "store/meet_list_upload.h"
#include "store/working_folder.h"

namespace quendro {

void MainWindow::cmdWebUp_Click() {
    setMousePointer(MousePointer::Hourglass);
    FileSystem& files = machine_.files;

    // The season's list as it stands on the server, and this meet after it. A
    // season without a list yet (404) starts an empty one; any other failure
    // sends nothing, so that the server's list is never replaced by a part of it.
    std::u16string season = seasonFolderUrl(txtTaikai.text(), seasonYear);
    std::u16string source = meetListUrl(txtTaikai.text(), seasonYear);
    showWork();
    Download list = Inet1.download(source);
    bool noListYet = list.failure == DownloadFailure::ErrorStatus && list.status == 404;
    if (!list.ok() && !noListYet) {
        statusText = u"大会一覧を読み込めませんでした (" + downloadFailureWord(list) + u"): " +
                     source + u"  送信していません";
        setMousePointer(MousePointer::Default);
        return;
    }
    std::string bytes = list.ok() ? std::move(list.body) : std::string();
    bytes += encodeShiftJis(meetListEntryLine(txtCode.text(), txtRyaku.text()));
    // The working copy is replaced only by the whole new list.
    FileStatus written = replaceWorkingFiles(files, {{kWorkingList, std::move(bytes)}});
    if (written != FileStatus::Ok) {
        statusText = workingFolderWord(written);
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
    statusText = Inet1.executeFailed() ? u"送信できませんでした: " + target
                                       : u"大会一覧を送信しました: " + target;
    setMousePointer(MousePointer::Default);
}

}  // namespace quendro
