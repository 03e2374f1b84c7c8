#include "app/site_control.h"

#include "app/main_window.h"
#include "platform/field_reader.h"

namespace quendro {

std::u16string withClosingBackslash(std::u16string folder) {
    if (folder.empty() || folder.back() != u'\\') folder.push_back(u'\\');
    return folder;
}

SiteControl parseSiteControl(std::u16string text) {
    SiteControl control;
    FieldReader reader(std::move(text));
    if (!reader.next()) return control;
    auto data = reader.next();
    if (!data) return control;
    control.dataDir = withClosingBackslash(*data);
    if (!reader.next()) return control;
    auto resultFolder = reader.next();
    if (!resultFolder) return control;
    control.resultDir = withClosingBackslash(*resultFolder);
    control.resultFile = reader.next();
    return control;
}

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
