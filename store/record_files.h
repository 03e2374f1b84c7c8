#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace quendro {

// The meet's fixed-length record files, written by the timing and results
// system and only ever read here:
// - the heat table "taikai.dat", 256-byte records, heat k in record k + 10;
// - the competitor table "ind2.dat", 128-byte records, competitor k in record k + 1;
// - the results file of a local meet, 384-byte records, competitor k in record k + 10.
// Record 1 of each holds the count of data records. Integers are little-endian;
// a text field of n bytes is Shift-JIS, read as n characters with its trailing
// blanks. A record past the end of a short file reads as blank texts and zeros.

constexpr int kHeatRecordLength = 256;
constexpr int kInd2RecordLength = 128;
constexpr int kResultsRecordLength = 384;

// The most records the program addresses: record numbers stay within 32767.
constexpr std::int32_t kMaxHeats = 3276;
constexpr std::int32_t kMaxInd2Competitors = 32766;
constexpr std::int32_t kMaxResultsCompetitors = 32757;

// One heat (race): the event, the race stage and lanes 1 to 10 (slots 0 to 9).
struct HeatRecord {
    std::int16_t eventCode = 0;
    std::u16string stageCode;                       // one character, "1" to "4"
    std::array<std::int16_t, 10> laneCompetitor{};  // competitor ordinal, 0: empty lane
    std::array<std::int32_t, 10> laneTime{};        // packed time or result code
};

// The fields that both competitor files share and the program uses.
struct CompetitorRecord {
    std::u16string numberText;      // 14 characters
    std::u16string competitorName;  // 16 characters
    std::u16string reportText;      // 12 characters
    std::u16string gradeCode;       // 2 characters
    std::int16_t reportNumber = 0;
};

// Decoding of single records from their bytes; missing bytes read as blanks and zeros.
std::int16_t int16Field(std::string_view record, size_t offset);
std::int32_t int32Field(std::string_view record, size_t offset);
std::u16string textField(std::string_view record, size_t offset, size_t width);
HeatRecord decodeHeatRecord(std::string_view record);
CompetitorRecord decodeCompetitorRecord(std::string_view record);

// The heat table, open while the object lives.
class HeatTable {
  public:
    // A missing or empty file has no heats and is not created.
    HeatTable(FileSystem& files, std::u16string_view path);
    // The heat table in the bytes of a file already read whole.
    explicit HeatTable(std::string bytes);
    std::int32_t heatCount() const { return count_; }
    // Heat k, from 1.
    HeatRecord heat(std::int32_t k) const;

  private:
    std::unique_ptr<RecordFile> file_;
    std::int32_t count_ = 0;
};

enum class CompetitorSource {
    Ind2,     // "ind2.dat": 128-byte records, competitor k in record k + 1
    Results,  // the results file: 384-byte records, competitor k in record k + 10
};

// How a competitor file is read: a record at a time when asked for, or every
// counted record at once when the table opens (for a report that goes through
// all the listed competitors).
enum class CompetitorReading { RecordByRecord, AllAtOnce };

// A competitor file, open while the object lives.
class CompetitorTable {
  public:
    // A missing or empty file has no competitors and is not created.
    CompetitorTable(FileSystem& files, std::u16string_view path, CompetitorSource source,
                    CompetitorReading reading = CompetitorReading::RecordByRecord);
    std::int32_t competitorCount() const { return count_; }
    // Competitor k, from 1 (the competitor ordinal).
    CompetitorRecord competitor(std::int32_t k) const;

  private:
    // The record of competitor k, however the file is read.
    std::string recordOf(std::int32_t k) const;

    std::unique_ptr<RecordFile> file_;
    CompetitorSource source_;
    std::int32_t count_ = 0;
    std::optional<std::string> all_;  // AllAtOnce: records 1 to the last counted
};

}  // namespace quendro
