#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "reports/web_data.h"

namespace quendro {

// The web data as JSON files (UTF-8), by their path below the meet's "web/"
// folder: "meet.json", "fold.json", "heats/0012.json", "competitors/0.json",
// "names/30a2.json", "numbers/1.json". docs/web-data.md describes each.
using WebFiles = std::map<std::string, std::string>;

// The header, the lap options and captions, the counts. updated is the time
// the meet's data last changed, as "2026-07-25T10:03:05+09:00".
std::string webMeetJson(const WebMeet& meet, std::u16string_view updated);

// The table by which a browser folds a typed name as nameKey does.
std::string webFoldJson();

// The path of a heat's file, "heats/0012.json"; empty for a heat number that
// is not four digits (it never becomes a path).
std::string webHeatPath(std::u16string_view heat);
std::string webHeatJson(const WebMeet& meet, const WebHeat& heat);

// True for the address of a name or number search shard (".../web/names/30a2.json",
// ".../web/numbers/1.json"): the largest file a phone downloads whole as its
// user types, changed only when the competitors are; stored packed hardest.
bool isWebSearchShard(std::string_view address);

// The competitors files with their swims, and the name and number search shards.
WebFiles webCompetitorFiles(const WebMeet& meet);

// The shard of the number search that holds a number: its first character when
// a digit 0 to 9, "_" for anything else (an empty number too).
std::string numberShardOf(std::u16string_view number);
// The name search shards that list a folded name key: one per character.
std::vector<std::string> nameShardsOf(std::u16string_view key);

// The season's meets.json: the meet's line of it, and the file with that line
// put in place of the meet's earlier line (or added, by code order). Empty
// when current is no meets.json of this layout (a viewer's file is never
// replaced by one that lost its other meets); current empty starts the file.
std::string webSeasonLine(const WebMeet& meet);
std::optional<std::string> webSeasonWith(std::string_view current, const WebMeet& meet);

// yyyymmdd as yyyy-mm-dd, by position; anything shorter as it is.
std::u16string webDate(std::u16string_view field);

}  // namespace quendro
