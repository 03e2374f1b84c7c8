#include "app/chart_naming.h"

#include "laps/code_tables.h"
#include "reports/html_page.h"
#include "store/working_folder.h"

namespace quendro {

std::u16string chartTitle(std::u16string_view competitor, const MeetSwim& swim,
                          std::u16string_view meet) {
    std::u16string event = eventFullName(swim.eventCode);
    const std::u16string stage = chMt(swim.stageCode);
    if (!stage.empty()) event += (event.empty() ? u"" : u" ") + stage;
    std::u16string title;
    for (const std::u16string& part :
         {trimmed(competitor), event, trimmed(meet)}) {
        if (part.empty()) continue;
        if (!title.empty()) title += u'\u3000';
        title += part;
    }
    return title;
}

std::u16string chartFileName(std::u16string_view title) {
    std::u16string name;
    for (char16_t c : title) {
        const bool refused = !pageNameFault(std::u16string_view(&c, 1)).empty() || c < 0x20 ||
                             c == 0x7F || c == u' ' || c == u'\u3000' ||
                             std::u16string_view(u"*?\"<>|").find(c) != std::u16string_view::npos;
        // A dot after a dot would make "..".
        const bool secondDot = c == u'.' && !name.empty() && name.back() == u'.';
        name += refused || secondDot ? u'_' : c;
    }
    if (name.empty()) name = u"lap";
    return name + u".png";
}

std::u16string chartFolder(const MainWindow& window) {
    if (window.webMode == 1 || window.selectedDir.empty()) {
        return std::u16string(kWorkingFolder) + u"\\";
    }
    return window.selectedDir;
}

}  // namespace quendro
