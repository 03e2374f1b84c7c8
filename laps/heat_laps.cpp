#include "laps/heat_laps.h"

#include <algorithm>
#include <cmath>

#include "laps/swim_selection.h"
#include "platform/field_reader.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

constexpr size_t kCellWidth = 8;

// The lane number as a whole number; empty when no lane of a swim can have it
// (lanes are asked for by a whole number).
std::optional<int> laneNumber(std::u16string_view field) {
    if (!field.empty() && field.size() <= 2) {  // one or two digits, as lap files write lanes
        int number = 0;
        bool digits = true;
        for (char16_t c : field) {
            digits = digits && c >= u'0' && c <= u'9';
            number = number * 10 + (c - u'0');
        }
        if (digits) return number;
    }
    double value = numericValue(field);
    if (value != std::floor(value) || std::fabs(value) > 1e9) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

HeatLaps::HeatLaps(std::u16string text, bool olderLayout) {
    FieldReader reader(std::move(text));
    const int fieldsPerRecord = olderLayout ? 9 : 3;
    while (!reader.atEnd()) {
        std::u16string_view fields[3];
        for (int f = 0; f < fieldsPerRecord; ++f) {
            auto field = reader.nextView();
            if (!field) {
                whole_ = false;
                return;
            }
            if (f < 3) fields[f] = *field;
        }
        std::optional<int> number = laneNumber(fields[0]);
        if (!number) continue;
        Lane* lane = nullptr;
        for (Lane& l : lanes_) {
            if (l.number == *number) lane = &l;
        }
        if (!lane) {
            lane = &lanes_.emplace_back(Lane{*number, {}, false, false});
            lane->cells.reserve(static_cast<size_t>(kMaxSplits) * kCellWidth);
        }
        // A lane is read up to its "G" or its 60th split; later records of it
        // are passed over, as they are when the lane is read alone.
        if (lane->finished) continue;
        // The time right-aligned in eight characters (its last eight when longer).
        std::u16string_view time = fields[1];
        if (time.size() >= kCellWidth) {
            lane->cells += time.substr(time.size() - kCellWidth);
        } else {
            lane->cells.append(kCellWidth - time.size(), u' ');
            lane->cells += time;
        }
        lane->goal = fields[2] == u"G";
        if (lane->goal ||
            lane->cells.size() == static_cast<size_t>(kMaxSplits) * kCellWidth) {
            lane->finished = true;
        }
    }
}

LaneSplits HeatLaps::lane(int number) const {
    LaneSplits result;
    for (const Lane& lane : lanes_) {
        if (lane.number != number) continue;
        for (size_t i = 0; i < lane.cells.size(); i += kCellWidth)
            result.splits.push_back(lane.cells.substr(i, kCellWidth));
        // A lane that met its end before the file broke off was read whole.
        result.whole = whole_ || lane.finished;
        result.goal = lane.goal;
        return result;
    }
    result.whole = whole_;
    return result;
}

int HeatLaps::copyLane(int number, std::array<std::u16string, 60>& splits) const {
    for (const Lane& lane : lanes_) {
        if (lane.number != number) continue;
        size_t count = std::min(lane.cells.size() / kCellWidth, splits.size());
        for (size_t i = 0; i < count; ++i)
            splits[i].assign(std::u16string_view(lane.cells).substr(i * kCellWidth, kCellWidth));
        return static_cast<int>(count);
    }
    return 0;
}

bool HeatLaps::endsAtGoal(int number) const {
    for (const Lane& lane : lanes_) {
        if (lane.number == number) return lane.goal;
    }
    return false;
}

}  // namespace quendro
