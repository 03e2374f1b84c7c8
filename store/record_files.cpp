#include "store/record_files.h"

#include <algorithm>

#include "platform/shift_jis.h"

namespace quendro {
namespace {

// Byte i of the record, 0 when the record is too short to hold it.
std::uint32_t byteAt(std::string_view record, size_t i) {
    return i < record.size() ? static_cast<unsigned char>(record[i]) : 0u;
}

// A header count kept within what the record numbers can address; a negative
// count (a damaged header) means no records.
std::int32_t boundedCount(std::int32_t count, std::int32_t limit) {
    return std::clamp(count, 0, limit);
}

constexpr size_t kEventCode = 11;
constexpr size_t kStageCode = 13;
constexpr size_t kLaneCompetitor = 22;
constexpr size_t kLaneTime = 46;

constexpr size_t kNumberText = 11;
constexpr size_t kCompetitorName = 25;
constexpr size_t kReportText = 71;
constexpr size_t kGradeCode = 89;
constexpr size_t kReportNumber = 91;

}  // namespace

std::int16_t int16Field(std::string_view record, size_t offset) {
    auto v = static_cast<std::uint16_t>(byteAt(record, offset) | (byteAt(record, offset + 1) << 8));
    return static_cast<std::int16_t>(v);
}

std::int32_t int32Field(std::string_view record, size_t offset) {
    std::uint32_t v = byteAt(record, offset) | (byteAt(record, offset + 1) << 8) |
                      (byteAt(record, offset + 2) << 16) | (byteAt(record, offset + 3) << 24);
    return static_cast<std::int32_t>(v);
}

std::u16string textField(std::string_view record, size_t offset, size_t width) {
    std::u16string text;
    if (offset < record.size()) text = decodeShiftJis(record.substr(offset, width));
    if (text.size() < width) text.append(width - text.size(), u' ');
    return text;
}

HeatRecord decodeHeatRecord(std::string_view record) {
    HeatRecord heat;
    heat.eventCode = int16Field(record, kEventCode);
    heat.stageCode = textField(record, kStageCode, 1);
    for (size_t j = 0; j < 10; ++j) {
        heat.laneCompetitor[j] = int16Field(record, kLaneCompetitor + 2 * j);
        heat.laneTime[j] = int32Field(record, kLaneTime + 4 * j);
    }
    return heat;
}

CompetitorRecord decodeCompetitorRecord(std::string_view record) {
    CompetitorRecord competitor;
    competitor.numberText = textField(record, kNumberText, 14);
    competitor.competitorName = textField(record, kCompetitorName, 16);
    competitor.reportText = textField(record, kReportText, 12);
    competitor.gradeCode = textField(record, kGradeCode, 2);
    competitor.reportNumber = int16Field(record, kReportNumber);
    return competitor;
}

HeatTable::HeatTable(FileSystem& files, std::u16string_view path) {
    FileStatus status;
    file_ = files.openRecords(path, kHeatRecordLength, status);
    if (file_) count_ = boundedCount(int16Field(file_->record(1), 0), kMaxHeats);
}

namespace {

// A record file whose bytes are held in memory.
class HeldRecordFile : public RecordFile {
  public:
    HeldRecordFile(std::string bytes, size_t length) : bytes_(std::move(bytes)), length_(length) {}
    std::string record(std::int64_t number) override {
        if (number < 1) return {};
        auto start = static_cast<std::uint64_t>(number - 1) * length_;
        if (start >= bytes_.size()) return {};
        return bytes_.substr(static_cast<size_t>(start), length_);
    }

  private:
    std::string bytes_;
    size_t length_;
};

}  // namespace

HeatTable::HeatTable(std::string bytes)
    : file_(std::make_unique<HeldRecordFile>(std::move(bytes), kHeatRecordLength)) {
    count_ = boundedCount(int16Field(file_->record(1), 0), kMaxHeats);
}

HeatRecord HeatTable::heat(std::int32_t k) const {
    if (!file_) return {};
    return decodeHeatRecord(file_->record(static_cast<std::int64_t>(k) + 10));
}

namespace {

// Competitor k stands in record k + 1 of ind2.dat and k + 10 of the results file.
std::int64_t firstRecordOffset(CompetitorSource source) {
    return source == CompetitorSource::Ind2 ? 1 : 10;
}

size_t competitorRecordLength(CompetitorSource source) {
    return source == CompetitorSource::Ind2 ? kInd2RecordLength : kResultsRecordLength;
}

// The header's count held to the competitors whose records begin in the file:
// a damaged header may count thousands that are not there. A record past the
// end reads empty, so the last one held is found by halving; a sound file is
// settled by one look at its last counted record.
std::int32_t heldCount(RecordFile& file, std::int32_t counted, std::int64_t offset) {
    auto held = [&](std::int32_t k) { return !file.record(k + offset).empty(); };
    if (counted == 0 || held(counted)) return counted;
    std::int32_t low = 0, high = counted - 1;
    while (low < high) {
        std::int32_t middle = low + (high - low + 1) / 2;
        if (held(middle)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

}  // namespace

CompetitorTable::CompetitorTable(FileSystem& files, std::u16string_view path,
                                 CompetitorSource source, CompetitorReading reading)
    : source_(source) {
    FileStatus status;
    int length = static_cast<int>(competitorRecordLength(source));
    std::int32_t limit =
        source == CompetitorSource::Ind2 ? kMaxInd2Competitors : kMaxResultsCompetitors;
    file_ = files.openRecords(path, length, status);
    if (!file_) return;
    count_ = heldCount(*file_, boundedCount(int32Field(file_->record(1), 0), limit),
                       firstRecordOffset(source));
    if (reading == CompetitorReading::AllAtOnce)
        all_ = file_->records(1, count_ + firstRecordOffset(source));
}

std::string CompetitorTable::recordOf(std::int32_t k) const {
    const std::int64_t number = k + firstRecordOffset(source_);
    if (all_ && number >= 1 && number <= count_ + firstRecordOffset(source_)) {
        const size_t length = competitorRecordLength(source_);
        const auto start = static_cast<size_t>(number - 1) * length;
        return start >= all_->size() ? std::string() : all_->substr(start, length);
    }
    return file_->record(number);
}

CompetitorRecord CompetitorTable::competitor(std::int32_t k) const {
    if (!file_) return decodeCompetitorRecord({});
    return decodeCompetitorRecord(recordOf(k));
}

}  // namespace quendro
