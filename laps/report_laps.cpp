#include "laps/report_laps.h"

#include <unordered_set>

namespace quendro {

std::vector<std::u16string> reportHeatUses(const SwimIndex& index,
                                           const std::vector<std::u16string>& swimTable,
                                           const std::vector<std::int16_t>& hitRecords,
                                           int hitCount) {
    std::vector<std::u16string> uses;
    for (int p = 0; p < hitCount && p < static_cast<int>(hitRecords.size()); ++p) {
        std::u16string key = competitorKey(hitRecords[static_cast<size_t>(p)]);
        for (SwimRow& row : index.swimsOf(swimTable, key)) uses.push_back(std::move(row.heat));
    }
    return uses;
}

std::vector<std::u16string> heatsInFirstUseOrder(const std::vector<std::u16string>& uses) {
    std::vector<std::u16string> order;
    std::unordered_set<std::u16string> seen;
    for (const auto& heat : uses) {
        if (seen.insert(heat).second) order.push_back(heat);
    }
    return order;
}

ReportLaps::ReportLaps(const std::vector<std::u16string>& uses, Load load)
    : load_(std::move(load)) {
    for (const auto& heat : uses) {
        auto [it, added] = entries_.try_emplace(heat);
        if (added) {
            it->second.planned = order_.size();
            order_.push_back(heat);
        }
        ++it->second.remaining;
    }
}

std::shared_ptr<const HeatFile> ReportLaps::heat(const std::u16string& heat) {
    auto it = entries_.find(heat);
    if (it == entries_.end() || (it->second.loaded && !it->second.file)) {
        // Not foreseen, or already let go: loaded on its own, as a click would.
        return std::make_shared<const HeatFile>(load_(heat, std::nullopt));
    }
    Entry& entry = it->second;
    if (!entry.loaded) {
        entry.file = std::make_shared<const HeatFile>(load_(heat, entry.planned));
        entry.loaded = true;
    }
    std::shared_ptr<const HeatFile> file = entry.file;
    if (--entry.remaining <= 0) entry.file.reset();  // its last planned use
    return file;
}

}  // namespace quendro
