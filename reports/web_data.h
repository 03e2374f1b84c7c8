#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "laps/heat_laps.h"
#include "laps/meet_swim.h"
#include "laps/swim_selection.h"
#include "store/record_files.h"

namespace quendro {

// What a browser needs to show the meet as the window shows it: the meet, its
// competitors with their swims, and every heat with the splits, laps and
// places of its lanes. Made here by the window's own rules; the browser only
// lays the texts out. docs/web-data.md describes the files they become.

// The lap options of the window beside the cumulative splits, by their index
// (1 to 4) and their interval in metres.
inline constexpr std::array<int, 5> kLapIntervals = {0, 25, 50, 100, 200};
// Competitors per competitors file: ordinals n*256 to n*256+255 share file n.
inline constexpr int kCompetitorBucketSize = 256;

// The meet as its record files give it.
struct WebMeet {
    std::u16string season;        // four digits
    std::u16string code;          // the meet code, names its folder
    std::u16string name;
    std::u16string abbreviation;
    std::u16string venue;
    std::u16string firstDay;      // yyyymmdd, as the meet header writes it
    std::u16string lastDay;
    std::int16_t poolIndex = 0;      // the window's pool option: 25, 50, 100 m
    std::int16_t touchpadIndex = 0;  // both ends, one end
    bool olderLayout = false;        // lap files of nine fields a record
    std::int32_t heatCount = 0;      // records of the heat table
    std::vector<std::u16string> swimTable;  // the swim index lines, from index 1
    std::vector<MeetSwim> swims;            // the same swims, line by line
    std::map<std::u16string, std::vector<size_t>> heatSwims;  // positions in swims, by heat
    SwimIndex swimIndex;                    // the lines by competitor
    std::vector<CompetitorRecord> competitors;  // ordinal k at k - 1

    WebMeet() = default;
    WebMeet(const WebMeet&) = delete;  // the swim index points into swimTable
    WebMeet& operator=(const WebMeet&) = delete;

    // Metres between two recorded splits, as the window sets them.
    std::int16_t splitDistance() const;
};

// Reads the meet's heat table and competitor file into meet; the header's
// fields are the caller's.
void readWebMeet(WebMeet& meet, const HeatTable& heats, const CompetitorTable& competitors);

// The competitor with the texts the window lists.
struct WebCompetitor {
    int ordinal = 0;
    std::u16string number;  // trimmed
    std::u16string name;    // trimmed
    std::u16string team;    // trimmed
    std::u16string grade;   // 高3
    std::u16string key;     // the folded name that the name search compares
};
// Ordinals past the competitor file give blank texts, as the window reads them.
WebCompetitor webCompetitorOf(const WebMeet& meet, int ordinal);

// One swim as the competitor's swim list shows it.
struct WebSwim {
    std::u16string row;    // the list's row: " 100m自由形 予選  1:05.32"
    std::u16string event;  // full name: "200m個人メドレー"
    std::u16string stage;  // 予選, 決勝, ...
    std::u16string final;  // time or result word, trimmed
    std::u16string heat;   // four digits
    int lane = 0;          // from 1
};
// The competitor's swims, in the order the window lists them (at most 51).
std::vector<WebSwim> webSwimsOf(const WebMeet& meet, int ordinal);

// One lane of a heat as the lap grid shows its swimmer's swim.
struct WebLane {
    WebCompetitor competitor;
    int lane = 0;  // from 1
    std::u16string final;
    std::optional<int> place;  // by the final among the heat's lanes (finalPlaces)
    int splitCount = 0;
    std::vector<std::u16string> cumulative;  // 60 cells, trimmed
    // The cells of each lap option the split distance allows (index 1 to 4).
    std::array<std::optional<std::vector<std::u16string>>, 5> laps;
    std::vector<std::optional<int>> places;  // at every split of the heat
};

struct WebHeat {
    std::u16string heat;  // four digits
    std::u16string event;
    std::u16string stage;
    std::vector<WebLane> lanes;                // by lane
    std::vector<std::optional<int>> leaders;  // lane leading at each split
    bool finals = false;  // some lane has its final (a time or a result word)
    bool splits = false;  // the lap file holds a split of some lane
};

// The heat numbers of the swim index, each once, in order.
std::vector<std::u16string> webHeatNumbers(const WebMeet& meet);
// The heat from its lap file; laps empty when there is no lap file yet.
WebHeat webHeatOf(const WebMeet& meet, std::u16string_view heat, const HeatLaps& laps);

}  // namespace quendro
