#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/record_files.h"

namespace quendro {

// One swim of one competitor as a 19-character line of the swim index:
// competitor ordinal (4), event code and race stage (3), time or result code (6),
// heat number (4) and lane slot (2), each zero-filled. Competitor 17 in slot 3
// of heat 12, event 5, stage "2", time 25831 gives "0017052025831001203".
std::u16string swimIndexLine(std::int16_t competitor, std::int16_t eventCode,
                             std::u16string_view stageCode, std::int32_t laneTime,
                             std::int32_t heat, int slot);

// The swim index of a heat table: index 0 stays empty, then every occupied lane
// slot (0 to 9) of every heat, heat by heat in file order and slot by slot.
std::vector<std::u16string> buildSwimIndex(const HeatTable& heats);

// The files of a meet folder on the server and the working files they become.
struct MeetFile {
    std::u16string_view serverName;
    std::u16string_view workingPath;
};
std::vector<MeetFile> meetFilesToDownload();

}  // namespace quendro
