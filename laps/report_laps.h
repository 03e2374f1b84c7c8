#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "laps/heat_laps.h"
#include "laps/swim_selection.h"

namespace quendro {

// A heat's lap file as a swim choice uses it.
struct HeatFile {
    bool read = false;  // the file was read (or downloaded and stored) and holds bytes
    HeatLaps laps;
    // Internet mode: the bytes stored in the working file, kept only where the
    // report still needs them at its end.
    std::optional<std::string> stored;
    // When it could not be read: what went wrong, in the status line's words.
    std::u16string failure;
    // Not read because there is no such file (a heat not swum yet, or not
    // yet published): the swims of the heat have no splits to give.
    bool missing = false;
    // Not read because the user stopped its download: the report it belongs
    // to is stopped, and writes nothing.
    bool cancelled = false;
};

// The heats a report reads, one entry per swim, in the order the report chooses
// the swims: each listed competitor in list order, each of the competitor's swims.
std::vector<std::u16string> reportHeatUses(const SwimIndex& index,
                                           const std::vector<std::u16string>& swimTable,
                                           const std::vector<std::int16_t>& hitRecords,
                                           int hitCount);

// The distinct heats of the uses, in the order they are first needed.
std::vector<std::u16string> heatsInFirstUseOrder(const std::vector<std::u16string>& uses);

// The lap files of one report run. Each heat the report needs is loaded (read
// or downloaded) and parsed once, and let go after its last planned use; nothing
// outlives the run, so the next report or click reads the files afresh.
class ReportLaps {
  public:
    // Loads a heat: planned is its position among the distinct heats in
    // first-use order, or empty for a heat the plan did not foresee (or asked
    // for again after its last planned use).
    using Load = std::function<HeatFile(const std::u16string& heat, std::optional<size_t> planned)>;
    ReportLaps(const std::vector<std::u16string>& uses, Load load);

    std::shared_ptr<const HeatFile> heat(const std::u16string& heat);
    const std::vector<std::u16string>& heatsInOrder() const { return order_; }

  private:
    struct Entry {
        size_t planned = 0;
        std::int64_t remaining = 0;  // planned uses still to come
        bool loaded = false;
        std::shared_ptr<const HeatFile> file;
    };
    // The entry of a heat: the next planned use's when the report asks in the
    // planned order, as it does, else looked up by the heat.
    Entry* find(const std::u16string& heat);

    std::vector<Entry> entries_;  // by planned position
    std::unordered_map<std::u16string, size_t> positions_;
    std::vector<std::u16string> order_;
    std::vector<size_t> useEntries_;  // the entry of each planned use
    size_t nextUse_ = 0;
    Load load_;
};

}  // namespace quendro
