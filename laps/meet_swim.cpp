#include "laps/meet_swim.h"

#include "laps/code_tables.h"
#include "laps/pace.h"
#include "platform/text_rules.h"

namespace quendro {
namespace {

std::int64_t numberIn(std::u16string_view line, size_t start, size_t length) {
    return roundHalfEven(numericValue(midChars(line, start, length))).value_or(0);
}

bool isPadding(char16_t c) {
    return c == u' ' || c == u'\u3000';
}

}  // namespace

MeetSwim meetSwimOf(std::u16string_view line) {
    MeetSwim swim;
    swim.ordinal = static_cast<std::int16_t>(numberIn(line, 1, 4));
    swim.eventCode = static_cast<std::int16_t>(numberIn(line, 5, 2));
    swim.stageCode = midChars(line, 7, 1);
    swim.finalValue = static_cast<std::int32_t>(numberIn(line, 8, 6));
    swim.heat = midChars(line, 14, 4);
    swim.lane = static_cast<std::int16_t>(numberIn(line, 18, 2));
    return swim;
}

std::u16string MeetSwim::finalTime() const {
    return chKiro(finalValue);
}

int MeetSwim::eventDistance() const {
    return eventDistanceOf(eventCode);
}

std::u16string MeetSwim::title() const {
    std::u16string text = eventFullName(eventCode);
    for (std::u16string part : {chMt(stageCode), trimmed(finalTime())}) {
        if (part.empty()) continue;
        if (!text.empty()) text += u" ";
        text += part;
    }
    return text;
}

std::u16string trimmed(std::u16string_view text) {
    while (!text.empty() && isPadding(text.front())) text.remove_prefix(1);
    while (!text.empty() && isPadding(text.back())) text.remove_suffix(1);
    return std::u16string(text);
}

}  // namespace quendro
