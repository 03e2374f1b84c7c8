#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quendro {

// One swim of the meet as its swim index line describes it: competitor ordinal,
// event, race stage, final time or result code, heat number and lane slot.
struct MeetSwim {
    std::int16_t ordinal = 0;
    std::int16_t eventCode = 0;
    std::u16string stageCode;  // "1" to "4"
    std::int32_t finalValue = 0;
    std::u16string heat;    // four digits, names the heat's lap file
    std::int16_t lane = 0;  // slot 0 to 9

    std::u16string finalTime() const;  // the time text, or the result word
    int eventDistance() const;         // metres, 0 outside the event table
    // The event by its full name, stage and final time, without padding:
    // "100m自由形 予選 1:05.32", "200m個人メドレー 決勝 2:19.60".
    std::u16string title() const;
    bool operator==(const MeetSwim&) const = default;
};

MeetSwim meetSwimOf(std::u16string_view indexLine);

// Text without the blanks that pad it on either side.
std::u16string trimmed(std::u16string_view text);

}  // namespace quendro
