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
        for (std::u16string& heat : index.heatsOf(swimTable, key)) uses.push_back(std::move(heat));
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
    useEntries_.reserve(uses.size());
    for (const auto& heat : uses) {
        auto [it, added] = positions_.try_emplace(heat, order_.size());
        if (added) {
            entries_.push_back(Entry{order_.size(), 0, false, nullptr});
            order_.push_back(heat);
        }
        ++entries_[it->second].remaining;
        useEntries_.push_back(it->second);
    }
}

ReportLaps::Entry* ReportLaps::find(const std::u16string& heat) {
    if (nextUse_ < useEntries_.size()) {
        size_t e = useEntries_[nextUse_];
        if (order_[e] == heat) {
            ++nextUse_;
            return &entries_[e];
        }
    }
    auto it = positions_.find(heat);
    return it == positions_.end() ? nullptr : &entries_[it->second];
}

std::shared_ptr<const HeatFile> ReportLaps::heat(const std::u16string& heat) {
    Entry* found = find(heat);
    if (!found || (found->loaded && !found->file)) {
        // Not foreseen, or already let go: loaded on its own, as a click would.
        return std::make_shared<const HeatFile>(load_(heat, std::nullopt));
    }
    Entry& entry = *found;
    if (!entry.loaded) {
        entry.file = std::make_shared<const HeatFile>(load_(heat, entry.planned));
        entry.loaded = true;
    }
    std::shared_ptr<const HeatFile> file = entry.file;
    if (--entry.remaining <= 0) entry.file.reset();  // its last planned use
    return file;
}

}  // namespace quendro
