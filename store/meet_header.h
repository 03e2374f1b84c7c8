#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quendro {

// The meet header "kijun.dat": 73 fields, read one after another.
inline constexpr int kMeetHeaderFields = 73;
inline constexpr std::u16string_view kMeetHeaderName = u"kijun.dat";

struct MeetHeader {
    int fieldCount = 0;           // how many of the 73 fields the file holds
    std::u16string resultFolder;  // 1: results folder on the timing machine
    std::u16string resultFile;    // 2: results file name
    std::u16string meetCode;      // 3
    std::u16string meetName;      // 4
    std::u16string abbreviation;  // 5
    std::u16string firstDay;      // 6: yyyymmdd
    std::u16string lastDay;       // 7: yyyymmdd
    std::u16string venue;         // 8
    std::u16string poolCode;      // 9: "0" 50 m, "1" 25 m
    std::u16string touchpads;     // 72: 0 both ends, 1 one end
};

MeetHeader parseMeetHeader(std::u16string text);

// The results folder as seen from here: its drive letter replaced by that of the
// data folder ("D:\TIMING\" with "E:\MEET\" gives "E:\TIMING\"); unchanged when
// either is empty.
std::u16string resultDirFor(std::u16string resultFolder, std::u16string_view dataDir);

// yyyymmdd as yyyy/mm/dd, purely by position: first four characters, "/",
// characters 5 and 6, "/", the last two characters.
std::u16string headerDate(std::u16string_view field);

// The pool option for the pool-length code: "0" is 50 m (option 1), "1" is 25 m
// (option 0); any other text changes nothing.
std::optional<std::int16_t> poolIndexForCode(std::u16string_view code);

// The touchpad option for field 72: its numeric value, rounded halves to even;
// empty when that names no option (the reading stops there).
std::optional<std::int16_t> touchpadIndexFor(std::u16string_view field);

}  // namespace quendro
