#include "store/site_control.h"

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

}  // namespace quendro
