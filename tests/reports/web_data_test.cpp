#include <gtest/gtest.h>

#include "laps/code_tables.h"
#include "platform/text_rules.h"
#include "reports/json_text.h"
#include "reports/web_data.h"
#include "reports/web_json.h"
#include "store/meet_import.h"

namespace quendro {
namespace {

struct Entry {
    std::int16_t ordinal, eventCode;
    std::u16string stage;
    std::int32_t time;
    std::int32_t heat;
    int slot;
};

// A meet made from swim index lines, as the heat table's import would write them.
void fill(WebMeet& meet, const std::vector<Entry>& entries,
          const std::vector<std::u16string>& names) {
    meet.season = u"2026";
    meet.code = u"2026001";
    meet.name = u"県選手権\"大会\"";
    meet.abbreviation = u"県選";
    meet.venue = u"市民プール";
    meet.firstDay = u"20260725";
    meet.lastDay = u"20260726";
    meet.swimTable = {u""};
    for (const Entry& e : entries) {
        meet.swimTable.push_back(swimIndexLine(e.ordinal, e.eventCode, e.stage, e.time, e.heat, e.slot));
        meet.swims.push_back(meetSwimOf(meet.swimTable.back()));
        meet.heatSwims[meet.swims.back().heat].push_back(meet.swims.size() - 1);
    }
    meet.swimIndex.build(meet.swimTable, static_cast<int>(entries.size()));
    for (size_t k = 0; k < names.size(); ++k) {
        CompetitorRecord r;
        r.numberText = decimalText(static_cast<int>(k + 1) * 11) + u"            ";
        r.competitorName = names[k];
        r.reportText = u"ＡＢＣ水泳 ";
        r.gradeCode = u"33";
        meet.competitors.push_back(r);
    }
}

TEST(WebData, FullEventNames) {
    struct Case {
        std::int16_t code;
        std::u16string name;
    };
    for (const Case& c : std::vector<Case>{{0, u""},
                                           {1, u"25m自由形"},
                                           {7, u"1500m自由形"},
                                           {20, u"100m個人メドレー"},
                                           {21, u"200m個人メドレー"},
                                           {23, u"100mメドレーリレー"},
                                           {26, u"100mフリーリレー"},
                                           {29, u"800mフリーリレー"},
                                           {30, u""}}) {
        EXPECT_EQ(eventFullName(c.code), c.name) << c.code;
    }
}

TEST(WebData, HeatWithSplitsLapsPlacesAndAResultWord) {
    WebMeet meet;
    fill(meet, {{1, 2, u"1", 10532, 1, 3}, {2, 2, u"1", 888888, 1, 4}, {1, 3, u"2", 5000, 2, 0}},
         {u"山田 太郎", u"ﾔﾏﾀﾞ ﾊﾅｺ"});
    ASSERT_EQ(meet.splitDistance(), 25);
    HeatLaps laps(u"4,31.25,\r\n5,33.40,\r\n4,1:05.32,G\r\n5,1:10.15,G\r\n", false);
    WebHeat heat = webHeatOf(meet, u"0001", laps);
    EXPECT_EQ(heat.event, u"50m自由形");
    EXPECT_EQ(heat.stage, u"予選");
    EXPECT_EQ(webHeatJson(meet, heat),
              "{\"version\":1,\"heat\":\"0001\",\"event\":\"50m自由形\",\"stage\":\"予選\","
              "\"splitDistance\":25,\"captions\":[" +
                  [] {
                      std::string c;
                      for (int j = 1; j <= 60; ++j)
                          c += (j > 1 ? "," : "") + std::string(j * 25 < 1000 ? "\" " : "\" ") +
                               (j * 25 <= 1500 ? std::to_string(j * 25) + "m\"" : "\"");
                      return c;
                  }() +
                  "],\"lanes\":[\n"
                  "{\"lane\":4,\"ordinal\":1,\"number\":\"11\",\"name\":\"山田 太郎\","
                  "\"team\":\"ＡＢＣ水泳\",\"final\":\"1:05.32\",\"place\":1,\"splitCount\":2,"
                  "\"cumulative\":[\"31.25\",\"1:05.32\"],\"laps\":{\"25\":[\"31.25\",\"34.07\"],"
                  "\"50\":[\"\",\"1:05.32\"],\"100\":[],\"200\":[]},\"places\":[1,1]},\n"
                  "{\"lane\":5,\"ordinal\":2,\"number\":\"22\",\"name\":\"ﾔﾏﾀﾞ ﾊﾅｺ\","
                  "\"team\":\"ＡＢＣ水泳\",\"final\":\"棄権\",\"place\":null,\"splitCount\":2,"
                  "\"cumulative\":[\"33.40\",\"棄権\"],\"laps\":{\"25\":[\"33.40\",\"棄権\"],"
                  "\"50\":[\"\",\"棄権\"],\"100\":[],\"200\":[]},\"places\":[2,null]}],"
                  "\"leaders\":[4,4]}\n");
    // A heat without a lap file yet: the grid stays empty, the final time is listed.
    WebHeat second = webHeatOf(meet, u"0002", HeatLaps());
    ASSERT_EQ(second.lanes.size(), 1u);
    EXPECT_EQ(second.lanes[0].final, u"50.00");
    EXPECT_TRUE(second.lanes[0].cumulative.empty());
    EXPECT_EQ(second.lanes[0].splitCount, 0);
    EXPECT_TRUE(second.leaders.empty());
    // A heat of no swim has no lanes.
    EXPECT_TRUE(webHeatOf(meet, u"0003", HeatLaps()).lanes.empty());
}

// The lanes of a heat placed by their finals, with or without a lap file, and
// what the heat tells the program: finals in, splits arriving.
TEST(WebData, FinalPlacesAndWhatTheHeatTells) {
    struct Case {
        const char* what;
        std::vector<std::int32_t> finals;  // lanes 1, 2, 3 in slots 0, 1, 2
        std::u16string laps;
        std::vector<std::optional<int>> places;
        bool finals_, splits;
    };
    const std::optional<int> none;
    const Case cases[] = {
        {"no finals, no lap file", {0, 0, 0}, u"", {none, none, none}, false, false},
        {"splits but no finals", {0, 0, 0}, u"1,31.25,\r\n2,31.30,\r\n", {none, none, none},
         false, true},
        {"without a lap file, ranked by the finals", {10532, 10498, 10601}, u"", {2, 1, 3}, true,
         false},
        {"equal finals share a place, the next skipped", {10532, 10532, 10601}, u"", {1, 1, 3},
         true, false},
        {"equal by a hundredth: 1:05.32 before 1:05.33", {10532, 10533, 10532}, u"", {1, 3, 1},
         true, false},
        {"a result word takes no place", {888888, 10532, 700002}, u"", {none, 1, none}, true,
         false},
        {"one lane in, the others still to come", {0, 3125, 0}, u"2,31.25,G\r\n",
         {none, 1, none}, true, true},
    };
    for (const Case& c : cases) {
        WebMeet meet;
        fill(meet,
             {{1, 2, u"1", c.finals[0], 1, 0}, {2, 2, u"1", c.finals[1], 1, 1},
              {3, 2, u"1", c.finals[2], 1, 2}},
             {u"甲", u"乙", u"丙"});
        WebHeat heat = webHeatOf(meet, u"0001", HeatLaps(c.laps, false));
        std::vector<std::optional<int>> places;
        for (const WebLane& lane : heat.lanes) places.push_back(lane.place);
        EXPECT_EQ(places, c.places) << c.what;
        EXPECT_EQ(heat.finals, c.finals_) << c.what;
        EXPECT_EQ(heat.splits, c.splits) << c.what;
    }
}

// The leader of a split is the lane placed first there; of lanes that tie,
// the lowest.
TEST(WebData, TheLeaderOfEachSplit) {
    WebMeet meet;
    // Lane 5 comes first in the heat table, lane 4 after it; both touch in 1:05.32.
    fill(meet, {{2, 2, u"1", 10532, 1, 4}, {1, 2, u"1", 10532, 1, 3}}, {u"甲", u"乙"});
    struct Case {
        const char* what;
        std::u16string laps;
        std::vector<std::optional<int>> leaders;
    };
    const Case cases[] = {
        {"lane 5 ahead, then a tie at the goal",
         u"4,31.30,\r\n5,31.25,\r\n4,1:05.32,G\r\n5,1:05.32,G\r\n", {5, 4}},
        {"a tie at both splits", u"4,31.25,\r\n5,31.25,\r\n4,1:05.32,G\r\n5,1:05.32,G\r\n",
         {4, 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(webHeatOf(meet, u"0001", HeatLaps(c.laps, false)).leaders, c.leaders) << c.what;
}

TEST(WebData, CompetitorsWithTheirSwimsAndSearchShards) {
    WebMeet meet;
    std::vector<std::u16string> names(257, u"ア");
    names[0] = u"やまだ　太郎";
    fill(meet, {{1, 21, u"2", 22345, 1, 0}, {256, 1, u"1", 1500, 2, 9}, {257, 1, u"1", 700001, 2, 8}},
         names);
    EXPECT_EQ(webCompetitorOf(meet, 1).key, u"ヤマダ太郎");
    EXPECT_EQ(webCompetitorOf(meet, 258).name, u"");  // past the file
    WebFiles files = webCompetitorFiles(meet);
    // Ordinals 1 to 255 in file 0, 256 and 257 in file 1.
    ASSERT_TRUE(files.count("competitors/0.json"));
    ASSERT_TRUE(files.count("competitors/1.json"));
    EXPECT_FALSE(files.count("competitors/2.json"));
    EXPECT_NE(files["competitors/0.json"].find(
                  "\"1\":{\"number\":\"11\",\"name\":\"やまだ　太郎\",\"team\":\"ＡＢＣ水泳\","
                  "\"grade\":\"高3\",\"key\":\"ヤマダ太郎\",\"swims\":[{\"row\":\" 200m個人メ 決勝  2:23.45\","
                  "\"event\":\"200m個人メドレー\",\"stage\":\"決勝\",\"final\":\"2:23.45\","
                  "\"heat\":\"0001\",\"lane\":1}]}"),
              std::string::npos);
    EXPECT_NE(files["competitors/0.json"].find("\"255\":"), std::string::npos);
    EXPECT_EQ(files["competitors/0.json"].find("\"256\":"), std::string::npos);
    EXPECT_NE(files["competitors/1.json"].find("\"256\":"), std::string::npos);
    EXPECT_NE(files["competitors/1.json"].find("\"final\":\"ｽﾀｰﾄ\",\"heat\":\"0002\",\"lane\":9"),
              std::string::npos);
    // Numbers 11, 22, ... 2827: by their first digit.
    // Their rows without the name key, which only a name search reads.
    EXPECT_NE(files["numbers/1.json"].find("[1,\"11\",\"やまだ　太郎\",\"ＡＢＣ水泳\",\"高3\"]"),
              std::string::npos);
    EXPECT_EQ(files["numbers/2.json"].find("[1,\"11\","), std::string::npos);
    EXPECT_FALSE(files.count("numbers/_.json"));
    // Names: one shard per character of the key.
    EXPECT_NE(files["names/30e4.json"].find("\"ヤマダ太郎\"]"), std::string::npos);
    EXPECT_NE(files["names/592a.json"].find("\"ヤマダ太郎\"]"), std::string::npos);
    EXPECT_EQ(files["names/30a2.json"].find("ヤマダ"), std::string::npos);
    EXPECT_NE(files["names/30a2.json"].find("[257,"), std::string::npos);
}

TEST(WebData, ShardNames) {
    EXPECT_EQ(numberShardOf(u"0123"), "0");
    EXPECT_EQ(numberShardOf(u"  9 "), "9");
    EXPECT_EQ(numberShardOf(u"/1"), "_");  // just below '0'
    EXPECT_EQ(numberShardOf(u":1"), "_");  // just past '9'
    EXPECT_EQ(numberShardOf(u"１"), "_");
    EXPECT_EQ(numberShardOf(u""), "_");
    EXPECT_EQ(nameShardsOf(u"アイア"), (std::vector<std::string>{"30a2", "30a4"}));
    EXPECT_EQ(nameShardsOf(u"a\U00020BB7"), (std::vector<std::string>{"0061", "20bb7"}));
    EXPECT_TRUE(nameShardsOf(u"").empty());
    EXPECT_EQ(webHeatPath(u"0012"), "heats/0012.json");
    for (std::u16string bad : {u"012", u"00120", u"00a2", u"../1", u""})
        EXPECT_EQ(webHeatPath(bad), "") << toUtf8(bad);
    // The search shards are packed hardest; no other file of the web data.
    const std::pair<const char*, bool> shards[] = {
        {"http://h/swim/2026/2026001/web/names/30a2.json", true},
        {"http://h/swim/2026/2026001/web/numbers/1.json", true},
        {"http://h/swim/2026/2026001/web/competitors/0.json", false},
        {"http://h/swim/2026/2026001/web/heats/0012.json", false},
        {"http://h/swim/2026/2026001/web/program.json", false},
        {"http://h/swim/2026/2026001/web/names/30a2.txt", false},
        {"http://h/swim/2026/2026001/web/names/x/1.json", false},
        {"http://h/swim/2026/2026001/names/30a2.json", false},
    };
    for (const auto& [address, shard] : shards)
        EXPECT_EQ(isWebSearchShard(address), shard) << address;
}

TEST(WebData, FoldTableFoldsAsTheNameKey) {
    std::string fold = webFoldJson();
    EXPECT_NE(fold.find("\"ｶﾞ\":\"ガ\""), std::string::npos);
    EXPECT_NE(fold.find("\"ﾊﾟ\":\"パ\""), std::string::npos);
    EXPECT_EQ(fold.find("\"ｱﾞ\""), std::string::npos);  // folds as its two characters do
    EXPECT_NE(fold.find("\"ぁ\":\"ァ\""), std::string::npos);
    EXPECT_NE(fold.find("\"Ａ\":\"a\""), std::string::npos);
    EXPECT_NE(fold.find("\"A\":\"a\""), std::string::npos);
    EXPECT_NE(fold.find("\"　\":\"\""), std::string::npos);
    EXPECT_NE(fold.find("\" \":\"\""), std::string::npos);
    EXPECT_EQ(fold.find("\"a\":"), std::string::npos);  // already folded
    size_t digitsAt = fold.find("\"digits\":[");
    ASSERT_NE(digitsAt, std::string::npos);
    const std::string digits = fold.substr(digitsAt, fold.find(']', digitsAt) - digitsAt);
    for (const char* d : {"\"0\"", "\"9\"", "\"０\"", "\"９\""})
        EXPECT_NE(digits.find(d), std::string::npos) << d;
    EXPECT_EQ(digits.find("\"/\""), std::string::npos);
    EXPECT_EQ(digits.find("\":\""), std::string::npos);
    // A number typed in full-width digits reads as the number field's digits.
    size_t numberChars = fold.find("\"numberChars\":{");
    ASSERT_NE(numberChars, std::string::npos);
    EXPECT_NE(fold.find("\"０\":\"0\"", numberChars), std::string::npos);
    EXPECT_NE(fold.find("\"９\":\"9\"", numberChars), std::string::npos);
    EXPECT_EQ(fold.find("\"：\"", numberChars), std::string::npos);
    EXPECT_EQ(fold.find("\"Ａ\"", numberChars), std::string::npos);
}

TEST(WebData, MeetFileAndSeasonMeets) {
    WebMeet meet;
    fill(meet, {}, {});
    meet.poolIndex = 1;
    meet.touchpadIndex = 1;
    std::string json = webMeetJson(meet, u"2026-07-25T10:03:05+09:00");
    EXPECT_NE(json.find("\"name\":\"県選手権\\\"大会\\\"\""), std::string::npos);
    EXPECT_NE(json.find("\"firstDay\":\"2026-07-25\",\"lastDay\":\"2026-07-26\",\"pool\":50,"
                        "\"touchpads\":\"片側\",\"splitDistance\":100"),
              std::string::npos);
    EXPECT_NE(json.find("{\"index\":2,\"label\":\"50m\",\"enabled\":false}"), std::string::npos);
    EXPECT_NE(json.find("{\"index\":3,\"label\":\"100m\",\"enabled\":true}"), std::string::npos);
    EXPECT_NE(json.find("\"distanceCaptions\":[\" 100m\",\" 200m\","), std::string::npos);
    EXPECT_EQ(webDate(u"2026072"), u"2026072");
    EXPECT_EQ(webDate(u"20260725"), u"2026-07-25");

    auto first = webSeasonWith("", meet);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, "{\"version\":1,\"season\":\"2026\",\"meets\":[\n" + webSeasonLine(meet) +
                          "\n]}\n");
    EXPECT_EQ(webSeasonWith(*first, meet), first);  // holds it already
    WebMeet other;
    fill(other, {}, {});
    other.code = u"2026000";
    other.name = u"春季大会";
    auto both = webSeasonWith(*first, other);
    ASSERT_TRUE(both);
    EXPECT_EQ(*both, "{\"version\":1,\"season\":\"2026\",\"meets\":[\n" + webSeasonLine(other) +
                         ",\n" + webSeasonLine(meet) + "\n]}\n");
    meet.name = u"県選手権大会";  // a renamed meet replaces its own line
    auto renamed = webSeasonWith(*both, meet);
    ASSERT_TRUE(renamed);
    EXPECT_EQ(*renamed, "{\"version\":1,\"season\":\"2026\",\"meets\":[\n" + webSeasonLine(other) +
                            ",\n" + webSeasonLine(meet) + "\n]}\n");
    // Anything else is never replaced.
    EXPECT_FALSE(webSeasonWith(renamed->substr(0, renamed->size() - 1), meet));
    EXPECT_FALSE(webSeasonWith("<html>\n", meet));
    EXPECT_FALSE(webSeasonWith("{\"version\":1,\"season\":\"2025\",\"meets\":[\n]}\n", meet));
    EXPECT_TRUE(webSeasonWith("{\"version\":1,\"season\":\"2026\",\"meets\":[\n]}\n", meet));
}

TEST(WebData, JsonStringEscapes) {
    EXPECT_EQ(jsonString(u"a\"b\\c\n\x01泳"), "\"a\\\"b\\\\c\\n\\u0001泳\"");
}

}  // namespace
}  // namespace quendro
