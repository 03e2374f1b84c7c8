#include "reports/web_json.h"

#include <algorithm>
#include <set>

#include "laps/lap_grid.h"
#include "platform/text_rules.h"
#include "reports/json_text.h"
#include "store/competitor_search.h"
#include "store/name_match.h"

namespace quendro {
namespace {

std::string texts(const std::vector<std::u16string>& cells) {
    std::string out = "[";
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += ',';
        out += jsonString(cells[i]);
    }
    return out + "]";
}

std::string numbers(const std::vector<std::optional<int>>& values) {
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += ',';
        out += values[i] ? std::to_string(*values[i]) : "null";
    }
    return out + "]";
}

// A row of a search shard; the names shards' with the folded name key the
// search looks in, the numbers shards' without it (a number search reads the
// number only).
std::string competitorRow(const WebCompetitor& c, bool withKey) {
    return "[" + std::to_string(c.ordinal) + "," + jsonString(c.number) + "," +
           jsonString(c.name) + "," + jsonString(c.team) + "," + jsonString(c.grade) +
           (withKey ? "," + jsonString(c.key) : std::string()) + "]";
}

std::string competitorEntry(const WebMeet& meet, const WebCompetitor& c) {
    std::string out = "\"" + std::to_string(c.ordinal) + "\":{\"number\":" + jsonString(c.number) +
                      ",\"name\":" + jsonString(c.name) + ",\"team\":" + jsonString(c.team) +
                      ",\"grade\":" + jsonString(c.grade) + ",\"key\":" + jsonString(c.key) +
                      ",\"swims\":[";
    std::vector<WebSwim> swims = webSwimsOf(meet, c.ordinal);
    for (size_t i = 0; i < swims.size(); ++i) {
        const WebSwim& s = swims[i];
        if (i > 0) out += ',';
        out += "{\"row\":" + jsonString(s.row) + ",\"event\":" + jsonString(s.event) +
               ",\"stage\":" + jsonString(s.stage) + ",\"final\":" + jsonString(s.final) +
               ",\"heat\":" + jsonString(s.heat) + ",\"lane\":" + std::to_string(s.lane) + "}";
    }
    return out + "]}";
}

std::string hexOf(char32_t c) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string digits;
    for (; c > 0; c >>= 4) digits.insert(digits.begin(), kHex[c & 15]);
    while (digits.size() < 4) digits.insert(digits.begin(), '0');
    return digits;
}

// The characters whose folding the fold table carries: ASCII, the Japanese
// signs, hiragana and katakana, and the full- and half-width forms.
std::vector<char16_t> foldedRange() {
    std::vector<char16_t> chars = {u'\t'};
    for (char16_t c = 0x20; c <= 0x7e; ++c) chars.push_back(c);
    for (char16_t c = 0x3000; c <= 0x30ff; ++c) chars.push_back(c);
    for (char16_t c = 0xff00; c <= 0xffef; ++c) chars.push_back(c);
    return chars;
}

}  // namespace

std::u16string webDate(std::u16string_view field) {
    if (field.size() < 8) return std::u16string(field);
    return std::u16string(field.substr(0, 4)) + u"-" + std::u16string(field.substr(4, 2)) + u"-" +
           std::u16string(field.substr(field.size() - 2));
}

std::string webMeetJson(const WebMeet& meet, std::u16string_view updated) {
    static constexpr int kPools[3] = {25, 50, 100};
    const std::int16_t split = meet.splitDistance();
    std::string out = "{\"version\":1,\"code\":" + jsonString(trimmed(meet.code)) +
                      ",\"season\":" + jsonString(meet.season) +
                      ",\"name\":" + jsonString(trimmed(meet.name)) +
                      ",\"abbreviation\":" + jsonString(trimmed(meet.abbreviation)) +
                      ",\"venue\":" + jsonString(trimmed(meet.venue)) +
                      ",\"firstDay\":" + jsonString(webDate(trimmed(meet.firstDay))) +
                      ",\"lastDay\":" + jsonString(webDate(trimmed(meet.lastDay))) + ",\"pool\":" +
                      std::to_string(kPools[std::clamp<int>(meet.poolIndex, 0, 2)]) +
                      ",\"touchpads\":" + (meet.touchpadIndex == 1 ? "\"片側\"" : "\"両側\"") +
                      ",\"splitDistance\":" + std::to_string(split) + ",\"lapOptions\":[";
    const std::array<bool, 5> enabled = lapOptionsEnabled(split);
    for (size_t i = 0; i < 5; ++i) {
        if (i > 0) out += ',';
        std::string label = i == 0 ? "通算" : std::to_string(kLapIntervals[i]) + "m";
        out += "{\"index\":" + std::to_string(i) + ",\"label\":\"" + label +
               "\",\"enabled\":" + (enabled[i] ? "true" : "false") + "}";
    }
    SplitTexts captions = distanceCaptions(split);
    out += "],\"distanceCaptions\":" +
           texts(std::vector<std::u16string>(captions.begin(), captions.end())) +
           ",\"heatCount\":" + std::to_string(meet.heatCount) +
           ",\"competitorCount\":" + std::to_string(meet.competitors.size()) +
           ",\"competitorBucketSize\":" + std::to_string(kCompetitorBucketSize) +
           ",\"updated\":" + jsonString(updated) + "}\n";
    return out;
}

std::string webFoldJson() {
    std::string pairs, chars, digits, numberChars;
    const std::vector<char16_t> range = foldedRange();
    for (char16_t c : range) {
        std::u16string one(1, c);
        std::u16string key = nameKey(one);
        if (key != one) {
            chars += (chars.empty() ? "" : ",") + jsonString(one) + ":" + jsonString(key);
        }
        bool blank = key.empty();
        if (!blank && !isNameFilter(u"ア" + one)) {
            digits += (digits.empty() ? "" : ",") + jsonString(one);
        }
        if (std::u16string asNumber = typedNumber(one); asNumber != one) {
            numberChars += (numberChars.empty() ? "" : ",") + jsonString(one) + ":" + jsonString(asNumber);
        }
    }
    // Two characters that fold into one: a half-width kana and its sound mark.
    for (char16_t c = 0xff61; c <= 0xff9f; ++c) {
        for (char16_t mark : {u'\uff9e', u'\uff9f'}) {
            std::u16string pair = {c, mark};
            std::u16string key = nameKey(pair);
            if (key != nameKey(std::u16string(1, c)) + nameKey(std::u16string(1, mark))) {
                pairs += (pairs.empty() ? "" : ",") + jsonString(pair) + ":" + jsonString(key);
            }
        }
    }
    return "{\"version\":1,\"pairs\":{" + pairs + "},\"chars\":{" + chars + "},\"digits\":[" +
           digits + "],\"numberChars\":{" + numberChars + "}}\n";
}

std::string webHeatPath(std::u16string_view heat) {
    if (heat.size() != 4 || !std::all_of(heat.begin(), heat.end(), [](char16_t c) {
            return c >= u'0' && c <= u'9';
        })) {
        return {};
    }
    return "heats/" + toUtf8(heat) + ".json";
}

std::string webHeatJson(const WebMeet& meet, const WebHeat& heat) {
    const std::int16_t split = meet.splitDistance();
    SplitTexts captions = distanceCaptions(split);
    std::string out = "{\"version\":1,\"heat\":" + jsonString(heat.heat) +
                      ",\"event\":" + jsonString(heat.event) + ",\"stage\":" +
                      jsonString(heat.stage) + ",\"splitDistance\":" + std::to_string(split) +
                      ",\"captions\":" +
                      texts(std::vector<std::u16string>(captions.begin(), captions.end())) +
                      ",\"lanes\":[";
    for (size_t l = 0; l < heat.lanes.size(); ++l) {
        const WebLane& lane = heat.lanes[l];
        if (l > 0) out += ',';
        out += "\n{\"lane\":" + std::to_string(lane.lane) +
               ",\"ordinal\":" + std::to_string(lane.competitor.ordinal) +
               ",\"number\":" + jsonString(lane.competitor.number) +
               ",\"name\":" + jsonString(lane.competitor.name) +
               ",\"team\":" + jsonString(lane.competitor.team) +
               ",\"final\":" + jsonString(lane.final) +
               ",\"place\":" + (lane.place ? std::to_string(*lane.place) : "null") +
               ",\"splitCount\":" + std::to_string(lane.splitCount) +
               ",\"cumulative\":" + texts(lane.cumulative) + ",\"laps\":{";
        bool first = true;
        for (size_t option = 1; option < 5; ++option) {
            if (!lane.laps[option]) continue;
            if (!first) out += ',';
            first = false;
            out += "\"" + std::to_string(kLapIntervals[option]) + "\":" + texts(*lane.laps[option]);
        }
        out += "},\"places\":" + numbers(lane.places) + "}";
    }
    out += "],\"leaders\":" + numbers(heat.leaders) + "}\n";
    return out;
}

std::string numberShardOf(std::u16string_view number) {
    std::u16string t = trimmed(number);
    if (!t.empty() && t.front() >= u'0' && t.front() <= u'9') return std::string(1, char(t.front()));
    return "_";
}

std::vector<std::string> nameShardsOf(std::u16string_view key) {
    std::set<char32_t> seen;
    for (size_t i = 0; i < key.size(); ++i) {
        char32_t c = key[i];
        if (c >= 0xd800 && c <= 0xdbff && i + 1 < key.size() && key[i + 1] >= 0xdc00 &&
            key[i + 1] <= 0xdfff) {
            c = 0x10000 + ((c - 0xd800) << 10) + (key[i + 1] - 0xdc00);
            ++i;
        }
        seen.insert(c);
    }
    std::vector<std::string> shards;
    for (char32_t c : seen) shards.push_back(hexOf(c));
    return shards;
}

WebFiles webCompetitorFiles(const WebMeet& meet) {
    std::map<std::string, std::string> buckets, names, numbers;
    const int count = static_cast<int>(meet.competitors.size());
    for (int k = 1; k <= count; ++k) {
        WebCompetitor c = webCompetitorOf(meet, k);
        std::string& bucket = buckets["competitors/" + std::to_string(k / kCompetitorBucketSize) + ".json"];
        bucket += (bucket.empty() ? "\n" : ",\n") + competitorEntry(meet, c);
        std::string& shard = numbers["numbers/" + numberShardOf(c.number) + ".json"];
        shard += (shard.empty() ? "\n" : ",\n") + competitorRow(c, false);
        const std::string row = competitorRow(c, true);
        for (const std::string& hex : nameShardsOf(c.key)) {
            std::string& names_ = names["names/" + hex + ".json"];
            names_ += (names_.empty() ? "\n" : ",\n") + row;
        }
    }
    WebFiles files;
    for (auto& [path, body] : buckets)
        files[path] = "{\"version\":1,\"competitors\":{" + body + "}}\n";
    for (auto* shards : {&names, &numbers}) {
        for (auto& [path, body] : *shards)
            files[path] = "{\"version\":1,\"competitors\":[" + body + "]}\n";
    }
    return files;
}

std::string webSeasonLine(const WebMeet& meet) {
    return "{\"code\":" + jsonString(trimmed(meet.code)) +
           ",\"name\":" + jsonString(trimmed(meet.name)) +
           ",\"abbreviation\":" + jsonString(trimmed(meet.abbreviation)) +
           ",\"venue\":" + jsonString(trimmed(meet.venue)) +
           ",\"firstDay\":" + jsonString(webDate(trimmed(meet.firstDay))) +
           ",\"lastDay\":" + jsonString(webDate(trimmed(meet.lastDay))) + "}";
}

std::optional<std::string> webSeasonWith(std::string_view current, const WebMeet& meet) {
    const std::string head = "{\"version\":1,\"season\":" + jsonString(meet.season) + ",\"meets\":[";
    const std::string tail = "]}";
    std::vector<std::string> lines;
    if (!current.empty()) {
        // The file as this writes it: the head, one meet a line, the tail.
        std::vector<std::string> all;
        size_t at = 0;
        while (at < current.size()) {
            size_t end = current.find('\n', at);
            if (end == std::string_view::npos) return std::nullopt;  // cut short
            all.emplace_back(current.substr(at, end - at));
            at = end + 1;
        }
        if (all.size() < 2 || all.front() != head || all.back() != tail) return std::nullopt;
        for (size_t i = 1; i + 1 < all.size(); ++i) {
            std::string line = all[i];
            if (i + 2 < all.size()) {
                if (line.empty() || line.back() != ',') return std::nullopt;
                line.pop_back();
            }
            if (!line.starts_with("{\"code\":\"") || !line.ends_with("}")) return std::nullopt;
            lines.push_back(std::move(line));
        }
    }
    const std::string mine = webSeasonLine(meet);
    const std::string key = "{\"code\":" + jsonString(trimmed(meet.code)) + ",";
    std::erase_if(lines, [&](const std::string& line) { return line.starts_with(key); });
    lines.push_back(mine);
    std::sort(lines.begin(), lines.end());
    std::string out = head + "\n";
    for (size_t i = 0; i < lines.size(); ++i) out += lines[i] + (i + 1 < lines.size() ? ",\n" : "\n");
    return out + tail + "\n";
}

bool isWebSearchShard(std::string_view address) {
    const std::size_t web = address.rfind("/web/");
    if (web == std::string_view::npos || !address.ends_with(".json")) return false;
    const std::string_view path = address.substr(web + 5);
    const std::size_t slash = path.find('/');
    if (slash == std::string_view::npos || path.find('/', slash + 1) != std::string_view::npos)
        return false;
    const std::string_view folder = path.substr(0, slash);
    return folder == "names" || folder == "numbers";
}

}  // namespace quendro
