#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quendro {

// The codes of the meet's record files turned into the texts that the window,
// the printed lap list and the HTML page show. All widths count characters.

// Event text for event codes 1 to 29: the distance right-aligned in five
// characters and a three-character stroke name (" 100m自由形"); "" for any other code.
std::u16string chShu(std::int16_t code);

// The event's full name for event codes 1 to 29, as a page with room for it
// writes it: "200m個人メドレー", "400mメドレーリレー", "400mフリーリレー";
// "" for any other code.
std::u16string eventFullName(std::int16_t code);

// Race stage text for "1" to "4" (予選, 決勝, 準決, コン); "" for anything else.
std::u16string chMt(std::u16string_view code);

// Time text of a packed time value (minutes, two digits of seconds, two of
// hundredths: 12345 is 1:23.45), eight characters, right-aligned: " 1:23.45",
// "   31.25"; "" below 10; the result word for a result code ("棄権", "ｺﾞｰﾙ").
std::u16string chKiro(std::int32_t value);

// School grade text: level (小, 中, 高, 大) and year digit ("33" is "高3"); "" otherwise.
std::u16string chGaku(std::u16string_view code);

// True for the word of a result code ("棄権", "ｽﾀｰﾄ"), which stands where a time would.
bool isResultText(std::u16string_view text);

// The lap between two time texts, later minus earlier, as a time text; "" when
// later sorts before earlier or the lap is under 0.10 s. A lap that ends in a
// result word shows that word.
std::u16string chSa(std::u16string_view later, std::u16string_view earlier);

// The same lap text held in place, for the reports that write tens of
// thousands of laps: no lap text is longer than a time's eight characters.
struct LapText {
    std::array<char16_t, 8> chars{};
    std::uint8_t length = 0;
    std::u16string_view view() const { return {chars.data(), length}; }
};
LapText lapBetween(std::u16string_view later, std::u16string_view earlier);

}  // namespace quendro
