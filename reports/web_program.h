#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/web_data.h"

namespace quendro {

// The program of the meet: every heat in the heat table's order, and where the
// meet stands in it. docs/web-data.md describes program.json and now.json.

struct ProgramHeat {
    std::u16string heat;   // four digits, the heat table's position
    std::u16string event;  // full name: "200m個人メドレー"
    std::u16string stage;  // 予選, 決勝, ...
};
// The heats that have a lane, in the heat table's order.
std::vector<ProgramHeat> webProgram(const WebMeet& meet);

// What the meet's files tell of one heat.
struct HeatActivity {
    bool finals = false;  // the heat table holds a final of some lane
    bool splits = false;  // its lap file holds a split of some lane
    bool operator==(const HeatActivity&) const = default;
};
HeatActivity heatActivityOf(const WebHeat& heat);

enum class HeatState {
    Upcoming,  // neither splits nor finals, and no later heat has them
    Swimming,  // splits, no finals yet
    Done,      // finals in
    Passed,    // neither, though a later heat has splits or finals
};

// Where the meet stands: each heat's state, the heats until each upcoming one
// and the heat the program opens at, from the heats' activity in program order.
//
// The front is the last heat that has splits or finals. An upcoming heat (all
// of them lie after the front) is p - f - 1 heats after the front at f, plus
// one when the front is still swimming; with no front, p (the first heat is
// next). The program opens at the front when it is swimming, else at the
// first upcoming heat, else at the front.
struct ProgramStand {
    std::vector<HeatState> states;
    std::vector<std::optional<int>> heatsUntil;  // for the upcoming heats
    std::optional<size_t> now;                   // position; none for no heats
};
ProgramStand programStand(const std::vector<HeatActivity>& heats);

// The program's identity: 16 hex digits of FNV-1a (64 bits) over its lines.
std::string programId(const std::vector<ProgramHeat>& program);
std::string webProgramJson(const std::vector<ProgramHeat>& program);
// The states of program, whose programId is id.
std::string webNowJson(const std::vector<ProgramHeat>& program, std::string_view id,
                       const ProgramStand& stand);

}  // namespace quendro
