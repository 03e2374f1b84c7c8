#include "store/meet_import.h"

#include "platform/text_rules.h"
#include "store/working_folder.h"

namespace quendro {

std::u16string swimIndexLine(std::int16_t competitor, std::int16_t eventCode,
                             std::u16string_view stageCode, std::int32_t laneTime,
                             std::int32_t heat, int slot) {
    // A blank or non-digit stage reads as 0.
    std::int64_t stage = roundHalfEven(numericValue(stageCode)).value_or(0);
    return zeroFilled(competitor, 4) + zeroFilled(std::int64_t{eventCode} * 10 + stage, 3) +
           zeroFilled(laneTime, 6) + zeroFilled(std::int64_t{heat} * 100 + slot, 6);
}

std::vector<std::u16string> buildSwimIndex(const HeatTable& heats) {
    std::vector<std::u16string> index(1);
    index.reserve(static_cast<size_t>(heats.heatCount()) * 10 + 1);
    for (std::int32_t k = 1; k <= heats.heatCount(); ++k) {
        HeatRecord heat = heats.heat(k);
        for (int j = 0; j < 10; ++j) {
            // An empty lane holds 0. A negative ordinal, in a damaged heat
            // table, names no competitor: written as four digits it would
            // file the swim under another competitor (-5 as "9995").
            if (heat.laneCompetitor[static_cast<size_t>(j)] <= 0) continue;
            index.push_back(swimIndexLine(heat.laneCompetitor[static_cast<size_t>(j)],
                                          heat.eventCode, heat.stageCode,
                                          heat.laneTime[static_cast<size_t>(j)], k, j));
        }
    }
    return index;
}

std::vector<MeetFile> meetFilesToDownload() {
    return {{u"taikai.txt", kWorkingHeats},
            {u"ind2.txt", kWorkingCompetitors},
            {u"kijun.txt", kWorkingHeader}};
}

}  // namespace quendro
