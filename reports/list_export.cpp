#include "reports/list_export.h"

#include <algorithm>

#include "laps/code_tables.h"
#include "laps/pace.h"
#include "laps/swim_splits.h"
#include "platform/text_rules.h"
#include "reports/json_text.h"

namespace quendro {
namespace {

// The texts of one swim as both formats write them.
struct SwimFields {
    std::u16string number, name, team, grade, event, stage, final;
    std::vector<std::u16string> splits, laps;
};

SwimFields fieldsOf(const ExportSwim& s) {
    SwimFields f;
    f.number = trimmed(s.competitor.numberText);
    f.name = trimmed(s.competitor.competitorName);
    f.team = trimmed(s.competitor.reportText);
    f.grade = chGaku(s.competitor.gradeCode);
    f.event = eventFullName(s.swim.eventCode);
    f.stage = chMt(s.swim.stageCode);
    f.final = trimmed(s.swim.finalTime());
    for (const auto& split : s.splits) f.splits.push_back(trimmed(split));
    f.laps = exportLaps(s.splits);
    return f;
}

std::string csvField(std::u16string_view text) {
    std::string bytes = toUtf8(text);
    if (!bytes.empty() && std::string_view("=+-@").find(bytes.front()) != std::string_view::npos) {
        bytes.insert(bytes.begin(), '\'');
    }
    if (bytes.find_first_of(",\"\r\n") == std::string::npos) return bytes;
    std::string quoted = "\"";
    for (char c : bytes) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void csvRow(std::string& out, const std::vector<std::u16string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += csvField(fields[i]);
    }
    out += "\r\n";
}

std::string jsonHundredths(std::u16string_view time) {
    auto h = hundredthsOf(time);
    return h ? std::to_string(*h) : "null";
}

std::string member(std::string_view key, const std::string& value) {
    return "\"" + std::string(key) + "\": " + value;
}

}  // namespace

std::vector<std::u16string> exportLaps(const std::vector<std::u16string>& splits) {
    std::vector<std::u16string> laps;
    for (size_t k = 0; k < splits.size(); ++k) {
        laps.push_back(trimmed(k == 0 ? splits[0] : splitLap(splits[k], splits[k - 1])));
    }
    return laps;
}

std::string exportCsvHeading(const ExportMeet& meet, size_t columns) {
    std::string out = "\xEF\xBB\xBF";
    std::vector<std::u16string> heading = {u"番号", u"氏名",     u"所属", u"学年",
                                           u"種目", u"ラウンド", u"記録"};
    for (size_t k = 1; k <= columns; ++k) {
        heading.push_back(u"通過" + decimalText(static_cast<int>(k) * meet.splitDistance) + u"m");
    }
    for (size_t k = 1; k <= columns; ++k) {
        heading.push_back(u"ラップ" + decimalText(static_cast<int>(k) * meet.splitDistance) + u"m");
    }
    csvRow(out, heading);
    return out;
}

std::string exportCsvRow(const ExportSwim& s, size_t columns) {
    std::string out;
    SwimFields f = fieldsOf(s);
    std::vector<std::u16string> row = {f.number, f.name, f.team, f.grade, f.event, f.stage, f.final};
    f.splits.resize(columns);
    f.laps.resize(columns);
    row.insert(row.end(), f.splits.begin(), f.splits.end());
    row.insert(row.end(), f.laps.begin(), f.laps.end());
    csvRow(out, row);
    return out;
}

std::string exportCsv(const ExportMeet& meet, const std::vector<ExportSwim>& swims) {
    size_t columns = 0;
    for (const auto& s : swims) columns = std::max(columns, s.splits.size());
    std::string out = exportCsvHeading(meet, columns);
    for (const auto& s : swims) out += exportCsvRow(s, columns);
    return out;
}

std::string exportJsonStart(const ExportMeet& meet) {
    std::string out = "{\n";
    out += "  " + member("format", "\"quendro-export\"") + ",\n";
    out += "  " + member("version", "1") + ",\n";
    out += "  \"meet\": {" + member("code", jsonString(trimmed(meet.code))) + ", " +
           member("name", jsonString(trimmed(meet.name))) + ", " +
           member("abbreviation", jsonString(trimmed(meet.abbreviation))) + ", " +
           member("venue", jsonString(trimmed(meet.venue))) + ", " +
           member("firstDay", jsonString(meet.firstDay)) + ", " +
           member("lastDay", jsonString(meet.lastDay)) + ", " +
           member("splitDistance", std::to_string(meet.splitDistance)) + "},\n";
    out += "  \"swims\": [";
    return out;
}

std::string exportJsonSwim(const ExportMeet& meet, const ExportSwim& s, bool first) {
    SwimFields f = fieldsOf(s);
    bool result = isResultText(f.final);
    std::string out = first ? "\n    {" : ",\n    {";
    out += member("number", jsonString(f.number)) + ", ";
    out += member("name", jsonString(f.name)) + ", ";
    out += member("team", jsonString(f.team)) + ", ";
    out += member("grade", jsonString(f.grade)) + ", ";
    out += member("eventCode", std::to_string(s.swim.eventCode)) + ", ";
    out += member("event", jsonString(f.event)) + ", ";
    out += member("distance", std::to_string(s.swim.eventDistance())) + ", ";
    out += member("stageCode", jsonString(s.swim.stageCode)) + ", ";
    out += member("stage", jsonString(f.stage)) + ", ";
    out += member("finalTime", result ? "null" : jsonString(f.final)) + ", ";
    out += member("finalHundredths", result ? "null" : jsonHundredths(f.final)) + ", ";
    out += member("result", result ? jsonString(f.final) : "null") + ", ";
    out += "\"splits\": [";
    for (size_t k = 0; k < f.splits.size(); ++k) {
        if (k > 0) out += ", ";
        out += "{" +
               member("distance", std::to_string(static_cast<int>(k + 1) * meet.splitDistance)) +
               ", " + member("time", jsonString(f.splits[k])) + ", " +
               member("hundredths", jsonHundredths(f.splits[k])) + ", " +
               member("lap", jsonString(f.laps[k])) + ", " +
               member("lapHundredths", jsonHundredths(f.laps[k])) + "}";
    }
    out += "]}";
    return out;
}

std::string exportJsonEnd(bool anySwim) {
    return anySwim ? "\n  ]\n}\n" : "]\n}\n";
}

std::string exportJson(const ExportMeet& meet, const std::vector<ExportSwim>& swims) {
    std::string out = exportJsonStart(meet);
    for (size_t i = 0; i < swims.size(); ++i) out += exportJsonSwim(meet, swims[i], i == 0);
    return out + exportJsonEnd(!swims.empty());
}

}  // namespace quendro
