#include "reports/list_export.h"

#include <gtest/gtest.h>

#include "laps/meet_swim.h"

namespace quendro {
namespace {

ExportSwim swimOf(std::u16string number, std::u16string name, std::u16string team,
                  std::u16string_view indexLine, std::vector<std::u16string> splits) {
    ExportSwim s;
    s.competitor.numberText = number;
    s.competitor.competitorName = name;
    s.competitor.reportText = team;
    s.competitor.gradeCode = u"33";
    s.swim = meetSwimOf(indexLine);
    s.splits = std::move(splits);
    return s;
}

ExportMeet meet() {
    ExportMeet m;
    m.code = u"2026001";
    m.name = u"県\"選手権\"";
    m.splitDistance = 50;
    return m;
}

TEST(ListExport, LapsAsTheGridFormsThem) {
    EXPECT_EQ(exportLaps({u"   31.25", u" 1:05.32"}),
              (std::vector<std::u16string>{u"31.25", u"34.07"}));
    EXPECT_EQ(exportLaps({u"   31.25", u"棄権"}), (std::vector<std::u16string>{u"31.25", u"棄権"}));
    EXPECT_EQ(exportLaps({}), (std::vector<std::u16string>{}));
}

TEST(ListExport, CsvRowsQuotingAndFormulas) {
    std::vector<ExportSwim> swims = {
        swimOf(u"1201          ", u"山田　太郎      ", u"県立一高    ", u"0001031010532000103",
               {u"   31.25", u" 1:05.32"}),
        swimOf(u"=1+1          ", u"Smith, \"J\"     ", u"-team       ", u"0002042888888000204",
               {u"   30.00", u"   59.00", u" 1:30.00", u"棄権"}),
    };
    const std::string csv = exportCsv(meet(), swims);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const std::string expected =
        "\xEF\xBB\xBF"
        "番号,氏名,所属,学年,種目,ラウンド,記録,通過50m,通過100m,通過150m,通過200m,"
        "ラップ50m,ラップ100m,ラップ150m,ラップ200m\r\n"
        "1201,山田　太郎,県立一高,高3,100m自由形,予選,1:05.32,31.25,1:05.32,,,31.25,34.07,,\r\n"
        "'=1+1,\"Smith, \"\"J\"\"\",'-team,高3,200m自由形,決勝,棄権,30.00,59.00,1:30.00,棄権,"
        "30.00,29.00,31.00,棄権\r\n";
    EXPECT_EQ(csv, expected);
    EXPECT_EQ(exportCsv(meet(), {}), "\xEF\xBB\xBF番号,氏名,所属,学年,種目,ラウンド,記録\r\n");
}

// The escaping of a JSON string is held at its first and last member, and just past them.
TEST(ListExport, JsonEscapesAndResultWords) {
    std::vector<ExportSwim> swims = {
        swimOf(u"1201          ", u"A\\B\tC          ", u"", u"0002042888888000204",
               {u"   30.00", u"棄権"}),
    };
    const std::string json = exportJson(meet(), swims);
    EXPECT_NE(json.find("\"name\": \"県\\\"選手権\\\"\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"name\": \"A\\\\B\\tC\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"finalTime\": null, \"finalHundredths\": null, \"result\": \"棄権\""),
              std::string::npos);
    EXPECT_NE(json.find("{\"distance\": 100, \"time\": \"棄権\", \"hundredths\": null, "
                        "\"lap\": \"棄権\", \"lapHundredths\": null}"),
              std::string::npos);

    // Every control character below U+0020 is escaped, from U+0000 to U+001F;
    // U+0020 itself and U+007F, just past them, stand as they are.
    struct Case {
        std::u16string name;
        std::string written;
    };
    const Case cases[] = {
        {std::u16string(u"a\u0000b", 3), "a\\u0000b"},
        {u"a\u0001b", "a\\u0001b"},
        {u"a\u001fb", "a\\u001fb"},
        {u"a\u0020b", "a b"},
        {u"a\u007fb", "a\x7f" "b"},
        {u"a\u000bb", "a\\u000bb"},
    };
    for (const Case& c : cases) {
        const std::string named = exportJson(
            meet(), {swimOf(u"1201          ", c.name, u"", u"0002042888888000204", {})});
        EXPECT_NE(named.find("\"name\": \"" + c.written + "\""), std::string::npos) << named;
    }
    const std::string empty = exportJson(meet(), {});
    EXPECT_TRUE(empty.ends_with("\n  \"swims\": []\n}\n")) << empty;
}

// The event by its full name in both formats, where the eight-character text
// of the grid and the page cuts it short.
TEST(ListExport, EventsByTheirFullNames) {
    struct Case {
        std::u16string_view line;
        std::string event;
    };
    const Case cases[] = {
        {u"0001031010532000104", "100m自由形"},
        {u"0001212021960000203", "200m個人メドレー"},
        {u"0001254041000000301", "400mメドレーリレー"},
        {u"0001283030500000402", "400mフリーリレー"},
    };
    for (const Case& c : cases) {
        const std::vector<ExportSwim> swims = {swimOf(u"1201", u"山田太郎", u"", c.line, {})};
        EXPECT_NE(exportCsv(meet(), swims).find(",高3," + c.event + ","), std::string::npos)
            << c.event;
        EXPECT_NE(exportJson(meet(), swims).find("\"event\": \"" + c.event + "\","),
                  std::string::npos)
            << c.event;
    }
}

}  // namespace
}  // namespace quendro
