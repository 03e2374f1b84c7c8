#include <gtest/gtest.h>

#include "reports/web_program.h"
#include "store/meet_import.h"

namespace quendro {
namespace {

// Each heat's activity written as a letter: '.' nothing, 's' splits, 'f'
// finals, 'b' both.
std::vector<HeatActivity> activityOf(std::string_view letters) {
    std::vector<HeatActivity> heats;
    for (char c : letters) heats.push_back({c == 'f' || c == 'b', c == 's' || c == 'b'});
    return heats;
}

std::string lettersOf(const ProgramStand& stand) {
    std::string out;
    for (HeatState s : stand.states) {
        out += s == HeatState::Done ? 'D' : s == HeatState::Swimming ? 'S'
             : s == HeatState::Passed ? 'P' : 'U';
    }
    return out;
}

TEST(WebProgram, StatesHeatsUntilAndWhereTheProgramOpens) {
    const std::optional<int> n;
    struct Case {
        const char* what;
        std::string activity;
        std::string states;
        std::vector<std::optional<int>> until;
        std::optional<size_t> now;
    };
    const Case cases[] = {
        {"an empty program", "", "", {}, std::nullopt},
        {"nothing swum yet: the first heat is next", "...", "UUU", {0, 1, 2}, 0},
        {"the first heat in the water", "s..", "SUU", {n, 1, 2}, 0},
        {"the first heat done: the second is next", "f..", "DUU", {n, 0, 1}, 1},
        {"splits and finals: done", "bb.", "DDU", {n, n, 0}, 2},
        {"a heat waits for its finals while the next swims", "fss.", "DSSU", {n, n, n, 1}, 2},
        {"a heat passed without splits or finals", "f.f..", "DPDUU", {n, n, n, 0, 1}, 3},
        {"a heat swum without a lap file, waiting", "f.s.", "DPSU", {n, n, n, 1}, 2},
        {"the front at the last heat, swimming", "fffs", "DDDS", {n, n, n, n}, 3},
        {"every heat done", "fff", "DDD", {n, n, n}, 2},
        {"one heat, done", "f", "D", {n}, 0},
        {"one heat, upcoming", ".", "U", {0}, 0},
    };
    for (const Case& c : cases) {
        ProgramStand stand = programStand(activityOf(c.activity));
        EXPECT_EQ(lettersOf(stand), c.states) << c.what;
        EXPECT_EQ(stand.heatsUntil, c.until) << c.what;
        EXPECT_EQ(stand.now, c.now) << c.what;
    }
}

TEST(WebProgram, HeatsInTheTableOrderAndTheirFiles) {
    WebMeet meet;
    meet.swimTable = {u""};
    // Heat 10 and heat 2 of the table, heat 2 with two lanes; heat 3 has none.
    struct Entry {
        std::int16_t ordinal, event;
        const char16_t* stage;
        std::int32_t heat;
        int slot;
    };
    for (const Entry& e : {Entry{1, 22, u"2", 10, 4}, Entry{2, 3, u"1", 2, 3},
                           Entry{3, 3, u"1", 2, 2}, Entry{4, 0, u"9", 11, 0}}) {
        meet.swimTable.push_back(swimIndexLine(e.ordinal, e.event, e.stage, 0, e.heat, e.slot));
        meet.swims.push_back(meetSwimOf(meet.swimTable.back()));
        meet.heatSwims[meet.swims.back().heat].push_back(meet.swims.size() - 1);
    }
    std::vector<ProgramHeat> program = webProgram(meet);
    ASSERT_EQ(program.size(), 3u);
    EXPECT_EQ(program[0].heat, u"0002");
    EXPECT_EQ(program[0].event, u"100m自由形");
    EXPECT_EQ(program[0].stage, u"予選");
    EXPECT_EQ(program[1].heat, u"0010");
    EXPECT_EQ(program[1].event, u"400m個人メドレー");
    EXPECT_EQ(program[1].stage, u"決勝");
    EXPECT_EQ(program[2].event, u"");  // codes outside the tables
    EXPECT_EQ(program[2].stage, u"");

    const std::string id = programId(program);
    ASSERT_EQ(id.size(), 16u);
    EXPECT_EQ(webProgramJson(program),
              "{\"version\":1,\"id\":\"" + id + "\",\"heats\":[\n"
              "{\"heat\":\"0002\",\"event\":\"100m自由形\",\"stage\":\"予選\"},\n"
              "{\"heat\":\"0010\",\"event\":\"400m個人メドレー\",\"stage\":\"決勝\"},\n"
              "{\"heat\":\"0011\",\"event\":\"\",\"stage\":\"\"}\n]}\n");
    EXPECT_EQ(webNowJson(program, id, programStand(activityOf("s.."))),
              "{\"version\":1,\"program\":\"" + id +
                  "\",\"states\":\"SUU\",\"until\":1,\"now\":\"0002\"}\n");
    EXPECT_EQ(webNowJson(program, id, programStand(activityOf("fff"))),
              "{\"version\":1,\"program\":\"" + id +
                  "\",\"states\":\"DDD\",\"until\":0,\"now\":\"0011\"}\n");
    EXPECT_EQ(webProgramJson({}), "{\"version\":1,\"id\":\"cbf29ce484222325\",\"heats\":[]}\n");
    EXPECT_EQ(webNowJson({}, programId({}), programStand({})),
              "{\"version\":1,\"program\":\"cbf29ce484222325\",\"states\":\"\",\"until\":0,"
              "\"now\":\"\"}\n");
    // Another stage is another program.
    program[1].stage = u"予選";
    EXPECT_NE(programId(program), id);
}

}  // namespace
}  // namespace quendro
