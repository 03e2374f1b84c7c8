#include "reports/web_program.h"

#include "laps/code_tables.h"
#include "laps/meet_swim.h"
#include "reports/json_text.h"

namespace quendro {
namespace {

std::string heatLine(const ProgramHeat& h) {
    return "{\"heat\":" + jsonString(h.heat) + ",\"event\":" + jsonString(h.event) +
           ",\"stage\":" + jsonString(h.stage) + "}";
}

char letterOf(HeatState state) {
    switch (state) {
        case HeatState::Done: return 'D';
        case HeatState::Swimming: return 'S';
        case HeatState::Passed: return 'P';
        case HeatState::Upcoming: break;
    }
    return 'U';
}

}  // namespace

std::vector<ProgramHeat> webProgram(const WebMeet& meet) {
    std::vector<ProgramHeat> program;
    // Heat numbers are the heat table's positions in four digits: their order
    // is the table's.
    for (const auto& [heat, positions] : meet.heatSwims) {
        const MeetSwim& first = meet.swims[positions.front()];
        program.push_back({heat, eventFullName(first.eventCode), chMt(first.stageCode)});
    }
    return program;
}

HeatActivity heatActivityOf(const WebHeat& heat) {
    return {heat.finals, heat.splits};
}

ProgramStand programStand(const std::vector<HeatActivity>& heats) {
    ProgramStand stand;
    const size_t count = heats.size();
    std::optional<size_t> front;
    for (size_t p = 0; p < count; ++p) {
        if (heats[p].finals || heats[p].splits) front = p;
    }
    stand.states.resize(count);
    stand.heatsUntil.resize(count);
    const bool frontSwimming = front && !heats[*front].finals;
    std::optional<size_t> firstUpcoming;
    for (size_t p = 0; p < count; ++p) {
        if (heats[p].finals) {
            stand.states[p] = HeatState::Done;
        } else if (heats[p].splits) {
            stand.states[p] = HeatState::Swimming;
        } else if (front && p < *front) {
            stand.states[p] = HeatState::Passed;
        } else {
            stand.states[p] = HeatState::Upcoming;
            const size_t after = front ? p - *front - 1 + (frontSwimming ? 1 : 0) : p;
            stand.heatsUntil[p] = static_cast<int>(after);
            if (!firstUpcoming) firstUpcoming = p;
        }
    }
    if (count == 0) return stand;
    if (frontSwimming) stand.now = front;
    else if (firstUpcoming) stand.now = firstUpcoming;
    else stand.now = front;
    return stand;
}

std::string programId(const std::vector<ProgramHeat>& program) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const ProgramHeat& h : program) {
        for (unsigned char c : heatLine(h) + "\n") {
            hash ^= c;
            hash *= 1099511628211ull;
        }
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) id[static_cast<size_t>(i)] = kHex[hash & 15];
    return id;
}

std::string webProgramJson(const std::vector<ProgramHeat>& program) {
    std::string out = "{\"version\":1,\"id\":\"" + programId(program) + "\",\"heats\":[";
    for (size_t i = 0; i < program.size(); ++i) out += (i > 0 ? ",\n" : "\n") + heatLine(program[i]);
    return out + (program.empty() ? "]}\n" : "\n]}\n");
}

std::string webNowJson(const std::vector<ProgramHeat>& program, std::string_view id,
                       const ProgramStand& stand) {
    std::string states;
    int until = 0;
    bool seen = false;
    for (size_t p = 0; p < stand.states.size(); ++p) {
        states += letterOf(stand.states[p]);
        if (!seen && stand.heatsUntil[p]) {
            until = *stand.heatsUntil[p];
            seen = true;
        }
    }
    const std::u16string now =
        stand.now && *stand.now < program.size() ? program[*stand.now].heat : u"";
    return "{\"version\":1,\"program\":\"" + std::string(id) + "\",\"states\":\"" + states +
           "\",\"until\":" + std::to_string(until) + ",\"now\":" + jsonString(now) + "}\n";
}

}  // namespace quendro
