#include "app/main_window.h"
#include "meet/status_words.h"

#include "store/server_addresses.h"
#include "app/start_up.h"
#include "platform/text_rules.h"

#include <utility>

namespace quendro {
namespace {

// The drive of a path as the drive list names it: "z:".
std::u16string driveOf(std::u16string_view path) {
    std::u16string drive = leftChars(path, 2);
    if (drive.size() == 2 && drive[1] == u':' && drive[0] >= u'A' && drive[0] <= u'Z')
        drive[0] += 32;
    return drive;
}

}  // namespace

MainWindow::MainWindow(Machine machine) : Inet1(machine.inet), machine_(machine) {
    layOutControls();
    Drive1.setDrive(driveOf(machine_.files.currentFolder()));
    Dir1.setPath(machine_.files.currentFolder());
    connectHandlers();
    followDirList();
}

void MainWindow::followDirList() {
    std::u16string drive = driveOf(Dir1.path());
    if (drive.size() != 2 || drive[1] != u':') return;
    Drive1.follow(drive);
    lastFolderOnDrive_[drive] = Dir1.path();
}

void MainWindow::connectHandlers() {
    txtBango.onChange = [this] { txtBango_Change(); };
    txtNendo.onChange = [this] { txtNendo_Change(); };
    lstNamae.onClick = [this] { lstNamae_Click(); };
    lstShumoku.onClick = [this] { lstShumoku_Click(); };
    lstTaikai.onClick = [this] { lstTaikai_Click(); };
    optSuiro.onClick = [this](int index) { optSuiro_Click(index); };
    optSetti.onClick = [this](int index) { optSetti_Click(index); };
    optLap.onClick = [this](int index) { optLap_Click(index); };
    optWeb.onClick = [this](int index) { optWeb_Click(index); };
    cmdWebUp.onClick = [this] { cmdWebUp_Click(); };
    cmdLp.onClick = [this] { cmdLp_Click(); };
    cmdHtml.onClick = [this] { cmdHtml_Click(); };
    cmdKakutei.onClick = [this] { cmdKakutei_Click(); };
    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] {
        followDirList();
        Dir1_Change();
    };
}

void MainWindow::Form_Load() {
    lblVer.caption = versionCaption();
    seasonYear = seasonYearOf(machine_.clock.now());
    // What this machine holds comes first, so that the window stands whole
    // while the server is asked for the season's meets, however long it takes.
    webMode = 1;
    ReadSiteControl();
    selectedDir = dataDir;
    showFolderInDirList(dataDir);
    // In internet mode this is the header of the meet imported last.
    ReadMeetHeader();
    PrepareLapGrid();
    // The text changes from empty, so txtNendo_Change runs here and, the internet
    // option being selected, builds the season's meet list (which shows the
    // season's folder while it is fetched). Once the list is there the window
    // ends as a start that lists the meets first would: the data folder shown,
    // and a missing data folder told over what the list said.
    std::u16string localWords = std::exchange(statusText, {});
    txtNendo.setText(seasonYear);
    lblWeb.caption = dataDir;
    if (!localWords.empty()) statusText = std::move(localWords);
    if (statusText.empty()) hintConfirm();
}

void MainWindow::hintConfirm() {
    if (webMode != 0 && importOutcome == ImportOutcome::NotRun && !txtNa.text().empty())
        statusText = kConfirmHint;
}

void MainWindow::Form_Unload() {
    machine_.files.closeAll();
}

void MainWindow::setMousePointer(MousePointer pointer) {
    mousePointer = pointer;
    if (onMousePointer) onMousePointer(pointer);
}

void MainWindow::showWork() {
    if (onShowWork) onShowWork();
}

void MainWindow::showFolderInDirList(const std::u16string& folder) {
    if (folder.empty()) return;  // no data folder named: the list keeps the current folder
    if (!machine_.files.folderExists(folder)) {
        statusText = u"フォルダが見つかりません: " + pathForUser(machine_.files, folder);
        return;
    }
    // The list shows a folder without its closing "\", a drive's top folder with it.
    std::u16string path = folder;
    while (path.size() > 3 && path.back() == u'\\') path.pop_back();
    if (path.size() == 2 && path[1] == u':') path.push_back(u'\\');
    Dir1.setPath(path);
}

void MainWindow::Dir1_Change() {
    // The separator is always appended: a drive's top folder "D:\" gets a second one.
    selectedDir = Dir1.path() + u"\\";
    if (optWeb[0].value()) lblWeb.caption = selectedDir;
}

void MainWindow::txtNendo_Change() {
    seasonYear = txtNendo.text();
    if (optWeb[1].value()) {
        lblWeb.caption = seasonFolderUrl(txtTaikai.text(), seasonYear);
        BuildMeetList();
    }
}

void MainWindow::optSuiro_Click(int index) {
    poolIndex = static_cast<std::int16_t>(index);
    PrepareLapGrid();
}

void MainWindow::optSetti_Click(int index) {
    touchpadIndex = static_cast<std::int16_t>(index);
    PrepareLapGrid();
}

void MainWindow::optLap_Click(int index) {
    lapIndex = static_cast<std::int16_t>(index);
    ShowLaps();
}

}  // namespace quendro
