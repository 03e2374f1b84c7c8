#include "app/meet_list.h"

#include "app/main_window.h"
#include "app/meet_list_outcome.h"
#include "store/server_addresses.h"
#include "meet/status_words.h"
#include "platform/address_sign_in.h"
#include "platform/field_reader.h"
#include "platform/text_rules.h"
#include "store/season_list.h"
#include "store/working_folder.h"

namespace quendro {

std::vector<std::u16string> meetListEntries(std::u16string text) {
    std::vector<std::u16string> entries;
    FieldReader reader(std::move(text));
    while (!reader.atEnd()) {
        auto field = reader.next();
        if (!field) break;
        entries.push_back(std::move(*field));
    }
    return entries;
}

std::u16string meetCodeOf(std::u16string_view entry) {
    return seasonEntryCode(entry);
}

void MainWindow::optWeb_Click(int index) {
    webMode = static_cast<std::int16_t>(index);
    bool internet = index != 0;
    cmdWebUp.enabled = !internet;
    Drive1.enabled = !internet;
    Dir1.enabled = !internet;
    if (internet) {
        lblWeb.caption = seasonFolderUrl(txtTaikai.text(), seasonYear);
        lstTaikai.enabled = true;
        BuildMeetList();
    } else {
        // The data folder, not the folder the list shows, until the list changes.
        lblWeb.caption = dataDir;
        lstTaikai.clear();
        lstTaikai.enabled = false;
    }
}

void MainWindow::Drive1_Change() {
    // The folder list moves to the drive's current folder: the one it showed
    // last in this run, or its top folder the first time.
    auto last = lastFolderOnDrive_.find(Drive1.drive());
    if (last != lastFolderOnDrive_.end()) {
        showFolderInDirList(last->second);
        return;
    }
    std::u16string drive = Drive1.drive();
    if (drive.size() == 2 && drive[0] >= u'a' && drive[0] <= u'z') drive[0] -= 32;
    showFolderInDirList(drive + u"\\");
}

void MainWindow::lstTaikai_Click() {
    int row = lstTaikai.listIndex();
    if (row < 0) return;
    meetCode = meetCodeOf(lstTaikai.items()[static_cast<size_t>(row)]);
    lblWeb.caption = meetFolderUrl(txtTaikai.text(), seasonYear, meetCode);
}

void MainWindow::BuildMeetList() {
    setMousePointer(MousePointer::Hourglass);
    FileSystem& files = machine_.files;
    // A new season list means no meet is imported: the heat table and the
    // competitor table go; the meet header stays.
    for (std::u16string_view file : {kWorkingList, kWorkingHeats, kWorkingCompetitors}) {
        if (files.deleteFile(file) == FileStatus::PathNotFound) ensureWorkingFolder(files);
    }
    lstTaikai.clear();

    std::u16string url = meetListUrl(txtTaikai.text(), seasonYear);
    const std::u16string shownUrl = withoutPassword(url);
    showWork();
    Download body;
    FileStatus written = FileStatus::Ok;
    for (int attempt = 0; attempt < kMeetListAttempts; ++attempt) {
        body = Inet1.download(url);
        meetListOutcome = meetListOutcomeOf(body);
        // Only a server that did not answer is asked again: an error page, a
        // stall or an endless body would only come again.
        if (meetListOutcome == MeetListOutcome::NoServer) continue;
        // What is no season's list is neither kept nor listed.
        if (meetListOutcome != MeetListOutcome::Listed &&
            meetListOutcome != MeetListOutcome::NoListYet)
            break;
        const MeetListOutcome fetched = meetListOutcome;
        meetListOutcome = MeetListOutcome::Unsaved;
        written = files.writeBytes(kWorkingList, body.body);
        // The folder may be missing: it is made, and the list fetched again.
        if (written == FileStatus::PathNotFound && ensureWorkingFolder(files)) continue;
        if (written != FileStatus::Ok) break;
        std::u16string text;
        if (readText(files, kWorkingList, text) != FileStatus::Ok) continue;
        int counter = 0;
        for (auto& entry : meetListEntries(std::move(text)))
            lstTaikai.setItem(counter++, std::move(entry));
        meetListOutcome = fetched;
        break;
    }
    statusText = meetListWord(meetListOutcome, shownUrl, body, written);
    setMousePointer(MousePointer::Default);
}

}  // namespace quendro
