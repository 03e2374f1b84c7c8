// The web data of the sample meets against the window: every competitor, every
// swim, every lap option, and the places of every heat.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/main_window.h"
#include "store/meet_header.h"
#include "app/swim_reading.h"
#include "laps/heat_places.h"
#include "laps/lap_file.h"
#include "laps/lap_grid.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"
#include "store/competitor_search.h"
#include "reports/web_data.h"
#include "reports/web_json.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

namespace fs = std::filesystem;
using test::TestMachine;

const fs::path kSampleMeets = fs::path(QUENDRO_TEST_DATA) / ".." / ".." / "sample";

std::vector<std::u16string> trimmedCaptions(const MainWindow& w) {
    std::vector<std::u16string> cells;
    for (const Label& label : w.lblLap) cells.push_back(trimmed(label.caption));
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
    return cells;
}

class WebDataWindowTest : public ::testing::TestWithParam<const char*> {};

TEST_P(WebDataWindowTest, EverySwimMatchesTheWindow) {
    TestMachine m;
    const std::string folder = GetParam();
    fs::copy(kSampleMeets / folder, m.driveD() / folder, fs::copy_options::recursive);
    MainWindow w(m.machine());
    w.optWeb.select(0);
    w.Dir1.setPath(u"D:\\" + fromUtf8(folder));
    w.cmdKakutei.click();
    ASSERT_GT(w.hitCount, 0);

    // The web data from the same files, read through the core as the publisher reads them.
    std::string header;
    ASSERT_EQ(m.files().readBytes(w.dataDir + u"kijun.dat", header), FileStatus::Ok);
    MeetHeader h = parseMeetHeader(decodeShiftJis(header));
    WebMeet meet;
    meet.poolIndex = poolIndexForCode(h.poolCode).value_or(0);
    meet.touchpadIndex = touchpadIndexFor(h.touchpads).value_or(0);
    HeatTable heats(m.files(), w.dataDir + u"taikai.dat");
    CompetitorTable competitors(m.files(), w.resultDir + w.resultFile, CompetitorSource::Results);
    readWebMeet(meet, heats, competitors);
    ASSERT_EQ(meet.splitDistance(), w.splitDistance);
    const std::array<bool, 5> enabled = lapOptionsEnabled(meet.splitDistance());
    for (int i = 1; i < 5; ++i) EXPECT_EQ(w.optLap[i].enabled, enabled[static_cast<size_t>(i)]);

    MeetCompetitors records(w, m.files());
    int swimsCompared = 0, lapRowsCompared = 0;
    for (int p = 0; p < w.hitCount; ++p) {
        w.lstNamae.setListIndex(p);
        const int ordinal = w.hitRecords[static_cast<size_t>(p)];
        WebCompetitor c = webCompetitorOf(meet, ordinal);
        CompetitorRecord record = records.competitor(static_cast<std::int16_t>(ordinal));
        EXPECT_EQ(c.number, trimmed(record.numberText));
        EXPECT_EQ(c.name, trimmed(record.competitorName));
        EXPECT_EQ(w.lstNamae.items()[static_cast<size_t>(p)], competitorListLine(record));

        std::vector<WebSwim> swims = webSwimsOf(meet, ordinal);
        ASSERT_EQ(static_cast<int>(swims.size()), w.swimCount) << "competitor " << ordinal;
        for (int s = 0; s < w.swimCount; ++s) {
            const WebSwim& web = swims[static_cast<size_t>(s)];
            const auto r = static_cast<size_t>(s);
            EXPECT_EQ(web.row, w.lstShumoku.items()[r]);
            EXPECT_EQ(web.final, trimmed(w.swimTexts[r]));
            EXPECT_EQ(web.heat, w.swimKeys[r]);
            EXPECT_EQ(web.lane, w.swimNumbers[r] + 1);
            EXPECT_TRUE(web.row.find(web.event.substr(0, 4)) != std::u16string::npos);

            // The heat's file as the publisher makes it from the lap file.
            std::string lapBytes;
            m.files().readBytes(localLapFilePath(w.dataDir, web.heat), lapBytes);
            std::u16string lapText = decodeShiftJis(lapBytes);
            // The layout as the publisher tells it from the file.
            WebHeat heat = webHeatOf(meet, web.heat, HeatLaps(lapText, isOlderLapLayout(lapText)));
            auto lane = std::find_if(heat.lanes.begin(), heat.lanes.end(),
                                     [&](const WebLane& l) { return l.lane == web.lane; });
            ASSERT_NE(lane, heat.lanes.end());
            EXPECT_EQ(lane->competitor.ordinal, ordinal);
            EXPECT_EQ(lane->final, web.final);

            w.lstShumoku.setListIndex(s);
            EXPECT_EQ(lane->splitCount, w.splitCount);
            for (int option = 0; option < 5; ++option) {
                if (!enabled[static_cast<size_t>(option)]) {
                    EXPECT_FALSE(lane->laps[static_cast<size_t>(option)]);
                    continue;
                }
                w.optLap.select(option);
                ASSERT_EQ(w.lapIndex, option);
                const auto& cells = option == 0 ? lane->cumulative
                                                : *lane->laps[static_cast<size_t>(option)];
                EXPECT_EQ(cells, trimmedCaptions(w))
                    << "heat " << toUtf8(web.heat) << " lane " << web.lane << " option " << option;
                ++lapRowsCompared;
            }
            w.optLap.select(0);

            // Places as the heat's window ranks its lanes, read from the window's meet.
            std::vector<MeetSwim> lanes;
            for (const MeetSwim& ms : meetSwims(w)) {
                if (ms.heat == web.heat) lanes.push_back(ms);
            }
            std::sort(lanes.begin(), lanes.end(),
                      [](const MeetSwim& a, const MeetSwim& b) { return a.lane < b.lane; });
            std::vector<std::vector<std::optional<int>>> times;
            for (const MeetSwim& ms : lanes) times.push_back(placingTimes(swimSplitsFrom(w, ms, lapText)));
            HeatPlaces places = heatPlaces(times);
            ASSERT_EQ(lanes.size(), heat.lanes.size());
            for (size_t l = 0; l < lanes.size(); ++l) {
                EXPECT_EQ(heat.lanes[l].lane, lanes[l].lane + 1);
                EXPECT_EQ(heat.lanes[l].places, places.places[l]);
            }
            ASSERT_EQ(static_cast<int>(heat.leaders.size()), places.splits);
            for (size_t k = 0; k < heat.leaders.size(); ++k) {
                if (!heat.leaders[k]) continue;
                auto at = std::find_if(heat.lanes.begin(), heat.lanes.end(),
                                       [&](const WebLane& l) { return l.lane == *heat.leaders[k]; });
                ASSERT_NE(at, heat.lanes.end());
                EXPECT_EQ(at->places[k], 1);
            }
            ++swimsCompared;
        }
    }
    EXPECT_GE(swimsCompared, 10);
    EXPECT_GT(lapRowsCompared, swimsCompared * 3);
}

INSTANTIATE_TEST_SUITE_P(SampleMeets, WebDataWindowTest, ::testing::Values("meet", "meet50"));

}  // namespace
}  // namespace quendro
