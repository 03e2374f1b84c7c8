#include "app/main_window.h"
#include "store/server_addresses.h"
#include "meet/status_words.h"
#include "platform/address_sign_in.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "store/meet_code.h"
#include "store/meet_list_upload.h"
#include "store/season_list.h"
#include "store/working_folder.h"

namespace quendro {

void MainWindow::cmdWebUp_Click() {
    setMousePointer(MousePointer::Hourglass);
    FileSystem& files = machine_.files;
    auto end = [&](UploadOutcome outcome, std::u16string word) {
        uploadOutcome = outcome;
        statusText = std::move(word);
        setMousePointer(MousePointer::Default);
    };

    // The entry's code is what every viewer's list takes as the meet's folder:
    // a path is no name, and a list reads seven characters as the code.
    if (!isMeetCodeName(txtCode.text())) {
        end(UploadOutcome::Refused, meetCodeRefusal(txtCode.text()) + u"  送信していません");
        return;
    }
    if (!isListedMeetCode(txtCode.text())) {
        end(UploadOutcome::Refused, listedMeetCodeRefusal(txtCode.text()) + u"  送信していません");
        return;
    }

    // The season's list as it stands on the server, and this meet after it. A
    // season without a list yet (404) starts an empty one; any other failure,
    // or a list that did not come whole, sends nothing, so that the server's
    // list is never replaced by a part of it.
    std::u16string season = seasonFolderUrl(txtTaikai.text(), seasonYear);
    std::u16string source = meetListUrl(txtTaikai.text(), seasonYear);
    const std::u16string shownSource = withoutPassword(source);
    showWork();
    Download list = Inet1.download(source);
    bool noListYet = list.failure == DownloadFailure::ErrorStatus && list.status == 404;
    if (!list.ok() && !noListYet) {
        end(UploadOutcome::Failed, u"大会一覧を読み込めませんでした (" +
                                       downloadFailureWord(list) + u"): " + shownSource +
                                       u"  送信していません");
        return;
    }
    std::string bytes = list.ok() ? std::move(list.body) : std::string();
    switch (seasonListShape(bytes)) {
        case SeasonListShape::Whole: break;
        case SeasonListShape::CutShort:
            end(UploadOutcome::Refused,
                u"大会一覧が途中で切れています（最後の行に改行がありません）: " + shownSource +
                    u"  送信していません");
            return;
        case SeasonListShape::TooLarge:
            end(UploadOutcome::Refused, seasonListTooLargeWord(shownSource) + u"  送信していません");
            return;
    }
    // Pressed again, or by another desk: the meet stands in the list once.
    if (seasonListHasMeet(bytes, txtCode.text())) {
        end(UploadOutcome::AlreadyListed, u"大会一覧には既にあります: " + txtCode.text() +
                                              u"  " + shownSource);
        return;
    }
    // A body that ended only with the connection may have lost its last lines.
    if (list.ok() && !list.lengthStated) {
        end(UploadOutcome::Refused,
            u"大会一覧の長さをサーバーが示しませんでした（途中で切れていても分かりません）: " +
                shownSource + u"  送信していません");
        return;
    }
    const std::string before = bytes;
    bytes = seasonListWithMeet(before, txtCode.text(), txtRyaku.text());

    // The new list is sent from a file of its own; the working copy takes it
    // only when the server has taken it.
    FileStatus written = replaceWorkingFiles(files, {{kWorkingListToSend, bytes}});
    if (written != FileStatus::Ok) {
        end(UploadOutcome::Failed, workingFolderWord(written));
        return;
    }
    Inet1.setUrl(season);
    std::u16string target = meetListUploadUrl(txtTaikai.text(), seasonYear);
    bool started = Inet1.execute(target, kUploadOperation);
    // The window goes on handling its events while the list is sent.
    while (started && Inet1.stillExecuting()) machine_.events.processEvents();
    if (!started || Inet1.executeFailed()) {
        files.deleteFile(kWorkingListToSend);
        end(UploadOutcome::Failed, u"送信できませんでした: " + withoutPassword(target));
        return;
    }
    const std::u16string shownTarget = withoutPassword(target);
    // What the server now holds: the meet, and every entry the list held before.
    Download back = Inet1.download(target);
    if (!back.ok() || !seasonListHasMeet(back.body, txtCode.text()) ||
        !seasonListLacks(before, back.body).empty()) {
        files.deleteFile(kWorkingListToSend);
        end(UploadOutcome::NotKept,
            u"大会一覧を送信しましたが、読み返した一覧にこの大会か前からあった項目がありません: " +
                shownTarget);
        return;
    }
    written = files.moveFile(kWorkingListToSend, kWorkingList);
    end(UploadOutcome::Sent, written == FileStatus::Ok
                                 ? u"大会一覧を送信しました: " + shownTarget
                                 : u"大会一覧を送信しました: " + shownTarget + u"  " +
                                       workingFolderWord(written));
}

}  // namespace quendro
