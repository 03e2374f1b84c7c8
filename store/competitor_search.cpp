#include "store/competitor_search.h"

#include "platform/text_rules.h"
#include "store/working_folder.h"

namespace quendro {

CompetitorFile competitorFileFor(std::int16_t webMode, std::u16string_view resultDir,
                                 std::u16string_view resultFile) {
    if (webMode != 0) return {std::u16string(kWorkingCompetitors), CompetitorSource::Ind2};
    return {std::u16string(resultDir) + std::u16string(resultFile), CompetitorSource::Results};
}

bool matchesNumberFilter(std::u16string_view numberText, std::u16string_view filter) {
    if (numericValue(filter) == 0.0) return true;
    // A filter longer than the number field compares with the whole field and
    // can never equal it.
    return leftChars(numberText, filter.size()) == filter;
}

std::u16string competitorListLine(const CompetitorRecord& competitor) {
    return competitor.numberText + u"  " + competitor.competitorName;
}

SearchResult searchCompetitors(const CompetitorTable& table, std::u16string_view filter) {
    SearchResult result;
    for (std::int32_t k = 1; k <= table.competitorCount(); ++k) {
        CompetitorRecord competitor = table.competitor(k);
        if (!matchesNumberFilter(competitor.numberText, filter)) continue;
        result.lines.push_back(competitorListLine(competitor));
        result.ordinals.push_back(static_cast<std::int16_t>(k));
    }
    return result;
}

}  // namespace quendro
