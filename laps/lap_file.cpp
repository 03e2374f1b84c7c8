#include "laps/lap_file.h"

#include <algorithm>

#include "laps/swim_selection.h"
#include "platform/field_reader.h"
#include "platform/text_rules.h"

namespace quendro {

std::u16string localLapFilePath(std::u16string_view dataDir, std::u16string_view heat) {
    return std::u16string(dataDir) + u"lap\\r" + std::u16string(heat);
}

LaneSplits readLaneSplits(std::u16string text, int lane, bool olderLayout) {
    LaneSplits result;
    FieldReader reader(std::move(text));
    const int fieldsPerRecord = olderLayout ? 9 : 3;
    while (!reader.atEnd()) {
        std::u16string fields[3];
        for (int f = 0; f < fieldsPerRecord; ++f) {
            auto field = reader.next();
            if (!field) {
                result.whole = false;
                return result;
            }
            if (f < 3) fields[f] = std::move(*field);
        }
        if (numericValue(fields[0]) != lane) continue;
        result.splits.push_back(rightAligned(fields[1], 8));
        result.goal = fields[2] == u"G";
        if (result.goal || static_cast<int>(result.splits.size()) == kMaxSplits) break;
    }
    return result;
}

bool isOlderLapLayout(std::u16string_view text) {
    std::u16string_view line = text.substr(0, text.find_first_of(u"\r\n"));
    return std::count(line.begin(), line.end(), u',') >= 8;
}

}  // namespace quendro
