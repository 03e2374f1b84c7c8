#include "app/main_window.h"
#include "store/site_control.h"

namespace quendro {

void MainWindow::ReadSiteControl() {
    std::u16string text;
    if (readText(machine_.files, kSiteControlPath, text) != FileStatus::Ok) return;
    SiteControl control = parseSiteControl(std::move(text));
    // Fields read before the file ended keep their new values.
    if (control.dataDir) dataDir = *control.dataDir;
    if (control.resultDir) resultDir = *control.resultDir;
    if (control.resultFile) resultFile = *control.resultFile;
}

}  // namespace quendro
