#include "tools/meet_generator.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/shift_jis.h"

namespace fs = std::filesystem;

namespace quendro::tools {
namespace {

// A small generator of its own, so that the bytes never depend on a library's
// distributions.
class Random {
  public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    bool oneIn(int n) { return below(n) == 0; }

  private:
    std::uint32_t state_;
};

void putInt16(std::string& record, size_t offset, std::int16_t value) {
    auto v = static_cast<std::uint16_t>(value);
    record[offset] = static_cast<char>(v & 0xFF);
    record[offset + 1] = static_cast<char>(v >> 8);
}

void putInt32(std::string& record, size_t offset, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putText(std::string& record, size_t offset, size_t width, std::u16string_view text) {
    std::string bytes = encodeShiftJis(text);
    bytes.resize(std::min(bytes.size(), width));
    record.replace(offset, bytes.size(), bytes);
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

constexpr std::array<std::u16string_view, 12> kFamilyNames = {
    u"山田", u"鈴木", u"佐藤", u"高橋", u"田中", u"伊藤",
    u"渡辺", u"中村", u"小林", u"加藤", u"吉田", u"ｻｲﾄｳ"};
constexpr std::array<std::u16string_view, 10> kGivenNames = {
    u"太郎", u"花子", u"健", u"美咲", u"一郎", u"ｻﾁｺ", u"翔太", u"陽菜", u"大輔", u"結衣"};
constexpr std::array<std::u16string_view, 6> kSchools = {
    u"県立第一高", u"市立南中", u"県大学", u"北小", u"SC東", u"ｽｲﾐﾝｸﾞ西"};
constexpr std::array<std::u16string_view, 8> kGrades = {u"11", u"16", u"21", u"23",
                                                         u"31", u"33", u"42", u"  "};
// Result codes that stand in the time field instead of a time.
constexpr std::array<std::int32_t, 3> kResultCodes = {888888, 700002, 999999};

struct Competitor {
    std::u16string number;
    std::u16string name;
    std::u16string school;
    std::u16string grade;
    std::int16_t report = 0;
};

std::vector<Competitor> makeCompetitors(const MeetShape& shape, Random& random) {
    std::vector<Competitor> all;
    all.reserve(static_cast<size_t>(shape.competitors));
    for (int k = 1; k <= shape.competitors; ++k) {
        Competitor c;
        std::string digits = std::to_string(10000 + k);
        c.number = std::u16string(digits.begin(), digits.end());
        c.name = std::u16string(kFamilyNames[static_cast<size_t>(random.below(12))]) +
                 std::u16string(kGivenNames[static_cast<size_t>(random.below(10))]);
        c.school = std::u16string(kSchools[static_cast<size_t>(random.below(6))]);
        c.grade = std::u16string(kGrades[static_cast<size_t>(random.below(8))]);
        c.report = static_cast<std::int16_t>(random.below(60) - 5);
        all.push_back(std::move(c));
    }
    return all;
}

// One lane of a heat: who swims, the official result and the recorded splits.
struct Lane {
    std::int16_t competitor = 0;
    std::int32_t time = 0;
    std::vector<std::int32_t> splits;  // cumulative hundredths
};

struct Heat {
    std::int16_t event = 0;
    std::u16string stage;
    std::array<Lane, 10> lanes;
    enum class LapFile { Normal, Missing, Empty } lapFile = LapFile::Normal;
};

std::int32_t packedTime(std::int32_t hundredths) {
    std::int32_t minutes = hundredths / 6000;
    std::int32_t seconds = hundredths / 100 % 60;
    return minutes * 10000 + seconds * 100 + hundredths % 100;
}

std::string timeText(std::int32_t hundredths) {
    std::int32_t minutes = hundredths / 6000;
    std::int32_t seconds = hundredths / 100 % 60;
    char text[32];
    if (minutes > 0) {
        std::snprintf(text, sizeof text, "%d:%02d.%02d", minutes, seconds, hundredths % 100);
    } else {
        std::snprintf(text, sizeof text, "%d.%02d", seconds, hundredths % 100);
    }
    return text;
}

std::vector<Heat> makeHeats(const MeetShape& shape, Random& random) {
    std::vector<Heat> heats(static_cast<size_t>(shape.heats));
    // Lanes are handed out by a stride through the competitors, so that the
    // swims of one competitor lie in heats far apart, as in a real meet.
    const int stride = 7919;  // a prime that divides no competitor count used
    int next = 0;
    for (Heat& heat : heats) {
        heat.event = static_cast<std::int16_t>(1 + random.below(29));
        heat.stage = std::u16string(1, static_cast<char16_t>(u'1' + random.below(4)));
        if (!shape.full && random.oneIn(15)) heat.stage = u" ";
        if (!shape.full && random.oneIn(12)) heat.lapFile = Heat::LapFile::Missing;
        if (!shape.full && random.oneIn(20)) heat.lapFile = Heat::LapFile::Empty;
        for (Lane& lane : heat.lanes) {
            if (!shape.full && random.oneIn(6)) continue;  // an empty lane
            lane.competitor =
                static_cast<std::int16_t>(static_cast<long>(next) * stride % shape.competitors + 1);
            ++next;
            // Beside the full meet: mostly short swims, now and then the longest.
            int count = shape.full || random.oneIn(8) ? shape.splits : 1 + random.below(8);
            count = std::min(count, shape.splits);
            std::int32_t t = 0;
            for (int s = 0; s < count; ++s) {
                t += 2500 + random.below(1500);
                lane.splits.push_back(t);
            }
            lane.time = packedTime(t);
            if (!shape.full && random.oneIn(10)) {
                lane.time = kResultCodes[static_cast<size_t>(random.below(3))];
            }
        }
    }
    return heats;
}

std::string heatTable(const std::vector<Heat>& heats) {
    std::string file(256, ' ');
    putInt16(file, 0, static_cast<std::int16_t>(heats.size()));
    file += std::string(256 * 9, '\0');
    for (const Heat& heat : heats) {
        std::string record(256, '\0');
        record[6] = ' ';
        putInt16(record, 11, heat.event);
        putText(record, 13, 1, heat.stage);
        for (size_t i = 14; i < 20; ++i) record[i] = ' ';
        for (size_t j = 0; j < 10; ++j) {
            putInt16(record, 22 + 2 * j, heat.lanes[j].competitor);
            putInt32(record, 46 + 4 * j, heat.lanes[j].time);
        }
        file += record;
    }
    return file;
}

// The results file (384-byte records from record 11) or the competitor table
// (128-byte records from record 2): the same fields at the same offsets.
std::string competitorFile(const std::vector<Competitor>& all, size_t length, int firstRecord) {
    std::string file(length, ' ');
    putInt32(file, 0, static_cast<std::int32_t>(all.size()));
    file += std::string(length * static_cast<size_t>(firstRecord - 2), '\0');
    std::int32_t k = 0;
    for (const Competitor& c : all) {
        std::string record(length, ' ');
        putInt32(record, 0, ++k);
        putText(record, 11, 14, c.number);
        putText(record, 25, 16, c.name);
        putText(record, 71, 12, c.school);
        putText(record, 89, 2, c.grade);
        putInt16(record, 91, c.report);
        file += record;
    }
    return file;
}

// Records of nine fields (the older layout, which the window reads by default):
// lane, cumulative time, marker and six more, split after split across the lanes.
std::string lapFile(const Heat& heat, const MeetShape& shape, Random& random) {
    if (heat.lapFile == Heat::LapFile::Empty) return {};
    std::string text;
    size_t most = 0;
    for (const Lane& lane : heat.lanes) most = std::max(most, lane.splits.size());
    std::array<bool, 10> noFinish{};
    std::array<bool, 10> noRecords{};
    std::array<bool, 10> afterFinish{};
    if (!shape.full) {
        for (size_t j = 0; j < 10; ++j) {
            noFinish[j] = random.oneIn(8);
            noRecords[j] = random.oneIn(12);
            afterFinish[j] = random.oneIn(10);
        }
    }
    auto record = [&text](size_t slot, const std::string& time, const char* marker) {
        text += std::to_string(slot + 1) + "," + time + "," + marker + ",0,0,0,0,0,0\r\n";
    };
    for (size_t i = 0; i < most; ++i) {
        for (size_t j = 0; j < 10; ++j) {
            const Lane& lane = heat.lanes[j];
            if (lane.competitor == 0 || noRecords[j] || i >= lane.splits.size()) continue;
            bool last = i + 1 == lane.splits.size();
            record(j, timeText(lane.splits[i]), last && !noFinish[j] ? "G" : "");
            if (last && afterFinish[j]) record(j, timeText(lane.splits[i] + 500), "");
        }
    }
    return text;
}

std::string meetHeader(const MeetShape& shape) {
    std::vector<std::u16string> fields(73, u"0");
    fields[0] = shape.resultFolder;
    fields[1] = u"KEKKA.DAT";
    fields[2] = shape.meetCode;
    fields[3] = u"第１回県選手権水泳競技大会";
    fields[4] = shape.abbreviation;
    fields[5] = u"20260725";
    fields[6] = u"20260726";
    fields[7] = u"県総合プール";
    std::u16string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        text += fields[i];
        text += (i % 10 == 9 || i + 1 == fields.size()) ? u"\r\n" : u",";
    }
    return encodeShiftJis(text);
}

std::string heatNumber(size_t k) {
    std::string digits = std::to_string(10000 + k);
    return digits.substr(digits.size() - 4);
}

struct Meet {
    std::vector<Competitor> competitors;
    std::vector<Heat> heats;
};

Meet makeMeet(const MeetShape& shape) {
    if (shape.heats < 0 || shape.heats > 3276 || shape.competitors < 1 ||
        shape.competitors > 32757 || shape.splits < 1 || shape.splits > 64) {
        throw std::invalid_argument("a meet of that shape does not fit the record files");
    }
    Random random(shape.seed);
    Meet meet;
    meet.competitors = makeCompetitors(shape, random);
    meet.heats = makeHeats(shape, random);
    return meet;
}

template <typename Write>
void writeLapFiles(const Meet& meet, const MeetShape& shape, Write write) {
    Random random(shape.seed + 1);
    for (size_t k = 1; k <= meet.heats.size(); ++k) {
        const Heat& heat = meet.heats[k - 1];
        std::string text = lapFile(heat, shape, random);
        if (heat.lapFile != Heat::LapFile::Missing) write(heatNumber(k), text);
    }
}

}  // namespace

void writeLocalMeet(const fs::path& folder, const MeetShape& shape) {
    Meet meet = makeMeet(shape);
    writeBytes(folder / "kijun.dat", meetHeader(shape));
    writeBytes(folder / "taikai.dat", heatTable(meet.heats));
    writeBytes(folder / "ind2.dat", competitorFile(meet.competitors, 128, 2));
    writeBytes(folder / "kekka" / "KEKKA.DAT", competitorFile(meet.competitors, 384, 11));
    fs::path laps = folder / (shape.upperCaseLapFolder ? "LAP" : "lap");
    writeLapFiles(meet, shape, [&](const std::string& heat, const std::string& text) {
        writeBytes(laps / ("r" + heat), text);
    });
}

void writeServerMeet(const fs::path& meetFolder, const MeetShape& shape) {
    Meet meet = makeMeet(shape);
    writeBytes(meetFolder / "kijun.txt", meetHeader(shape));
    writeBytes(meetFolder / "taikai.txt", heatTable(meet.heats));
    writeBytes(meetFolder / "ind2.txt", competitorFile(meet.competitors, 128, 2));
    writeLapFiles(meet, shape, [&](const std::string& heat, const std::string& text) {
        writeBytes(meetFolder / "lap" / ("r" + heat + ".txt"), text);
    });
}

}  // namespace quendro::tools
