#include "store/competitor_search.h"

#include <algorithm>

#include "platform/text_rules.h"
#include "store/working_folder.h"

namespace quendro {

CompetitorFile competitorFileFor(std::int16_t webMode, std::u16string_view resultDir,
                                 std::u16string_view resultFile) {
    if (webMode != 0) return {std::u16string(kWorkingCompetitors), CompetitorSource::Ind2};
    return {std::u16string(resultDir) + std::u16string(resultFile), CompetitorSource::Results};
}

bool matchesNumberFilter(std::u16string_view numberText, std::u16string_view filter) {
    if (numericValue(filter) == 0.0) return true;
    // A filter longer than the number field compares with the whole field and
    // can never equal it.
    return leftChars(numberText, filter.size()) == filter;
}

std::u16string typedNumber(std::u16string_view typed) {
    std::u16string number(typed);
    for (char16_t& c : number) {
        if (c >= u'\uFF10' && c <= u'\uFF19') c = static_cast<char16_t>(u'0' + (c - u'\uFF10'));
    }
    return number;
}

std::u16string competitorListLine(const CompetitorRecord& competitor) {
    return competitor.numberText + u"  " + competitor.competitorName;
}

SearchResult searchCompetitors(const CompetitorTable& table, std::u16string_view filter) {
    SearchResult result;
    for (std::int32_t k = 1; k <= table.competitorCount(); ++k) {
        CompetitorRecord competitor = table.competitor(k);
        if (!matchesNumberFilter(competitor.numberText, filter)) continue;
        result.lines.push_back(competitorListLine(competitor));
        result.ordinals.push_back(static_cast<std::int16_t>(k));
    }
    return result;
}

namespace {

constexpr size_t kNumberOffset = 11;
constexpr size_t kNumberWidth = 14;

}  // namespace

CompetitorFileBytes::CompetitorFileBytes(FileSystem& files, std::u16string_view path,
                                         CompetitorSource source)
    : CompetitorFileBytes(std::string(), source) {
    std::string bytes;
    if (files.readBytes(path, bytes) == FileStatus::Ok) *this = CompetitorFileBytes(std::move(bytes), source);
}

CompetitorFileBytes::CompetitorFileBytes(std::string bytes, CompetitorSource source)
    : bytes_(std::move(bytes)),
      length_(source == CompetitorSource::Ind2 ? kInd2RecordLength : kResultsRecordLength),
      offset_(source == CompetitorSource::Ind2 ? 1 : 10) {
    if (bytes_.empty()) return;
    std::int32_t limit =
        source == CompetitorSource::Ind2 ? kMaxInd2Competitors : kMaxResultsCompetitors;
    // No more competitors than records that begin in the file, whatever a
    // damaged header counts.
    auto held = static_cast<std::int64_t>((bytes_.size() + length_ - 1) / length_) - offset_;
    if (held < limit) limit = static_cast<std::int32_t>(std::max<std::int64_t>(held, 0));
    std::int32_t count = int32Field(std::string_view(bytes_).substr(0, length_), 0);
    count_ = count < 0 ? 0 : (count > limit ? limit : count);
}

std::string_view CompetitorFileBytes::record(std::int32_t k) const {
    size_t start = static_cast<size_t>(k + offset_ - 1) * length_;
    if (k < 1 || start >= bytes_.size()) return {};
    return std::string_view(bytes_).substr(start, length_);
}

NumberFilter::NumberFilter(std::u16string_view filter)
    : filter_(filter), everyone_(numericValue(filter) == 0.0) {
    for (char16_t c : filter_) {
        if (c >= 0x80) ascii_ = false;
    }
}

bool NumberFilter::matches(std::string_view record) const {
    if (everyone_) return true;
    // The number field is fourteen characters: a longer filter never equals its front.
    if (filter_.size() > kNumberWidth) return false;
    std::string_view field =
        record.size() > kNumberOffset ? record.substr(kNumberOffset, kNumberWidth) : std::string_view{};
    if (ascii_) {
        // An ASCII byte is the same character in code page 932, and a missing
        // byte reads as a blank; only a double-byte front needs decoding.
        bool plain = true;
        for (size_t i = 0; i < filter_.size(); ++i) {
            auto b = i < field.size() ? static_cast<unsigned char>(field[i]) : ' ';
            if (b >= 0x80) {
                plain = false;
                break;
            }
            if (b != filter_[i]) return false;
        }
        if (plain) return true;
    }
    return matchesNumberFilter(textField(record, kNumberOffset, kNumberWidth), filter_);
}

SearchResult searchCompetitors(const CompetitorFileBytes& file, std::u16string_view filter) {
    SearchResult result;
    NumberFilter numbers(filter);
    for (std::int32_t k = 1; k <= file.competitorCount(); ++k) {
        std::string_view record = file.record(k);
        if (!numbers.matches(record)) continue;
        result.lines.push_back(textField(record, kNumberOffset, kNumberWidth) + u"  " +
                               textField(record, 25, 16));
        result.ordinals.push_back(static_cast<std::int16_t>(k));
    }
    return result;
}

}  // namespace quendro
