#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/record_files.h"

namespace quendro {

// Where competitor records come from: in internet mode the competitor table
// of the working folder, in local mode the timing system's results file.
struct CompetitorFile {
    std::u16string path;
    CompetitorSource source;
};
CompetitorFile competitorFileFor(std::int16_t webMode, std::u16string_view resultDir,
                                 std::u16string_view resultFile);

// A competitor matches the number filter when the filter reads as no number
// (empty, blanks, 0, a name) or when the competitor's number starts with the
// filter exactly, blanks and case included.
bool matchesNumberFilter(std::u16string_view numberText, std::u16string_view filter);

// A number as a phone's keyboard may type it: full-width digits read as the
// digits the number field is written in; every other character as it stands.
std::u16string typedNumber(std::u16string_view typed);

// The line of the competitor list: number (14), two blanks, name (16).
std::u16string competitorListLine(const CompetitorRecord& competitor);

// The competitors that match, in file order: their list lines and ordinals.
struct SearchResult {
    std::vector<std::u16string> lines;
    std::vector<std::int16_t> ordinals;
};
SearchResult searchCompetitors(const CompetitorTable& table, std::u16string_view filter);

// A competitor file read in one go: the records as views into its bytes.
class CompetitorFileBytes {
  public:
    // A missing or empty file has no competitors.
    CompetitorFileBytes(FileSystem& files, std::u16string_view path, CompetitorSource source);
    // The same over bytes already read or downloaded.
    CompetitorFileBytes(std::string bytes, CompetitorSource source);
    const std::string& bytes() const { return bytes_; }
    std::int32_t competitorCount() const { return count_; }
    // The bytes of competitor k (from 1); short or empty past the end of the file.
    std::string_view record(std::int32_t k) const;

  private:
    std::string bytes_;
    size_t length_;
    std::int64_t offset_;
    std::int32_t count_ = 0;
};

// The number filter, worked out once per search and matched against a
// record's bytes: the number field is compared before anything is decoded.
// (Other ways of finding a competitor sit beside it as matchers of their own.)
class NumberFilter {
  public:
    explicit NumberFilter(std::u16string_view filter);
    // matchesNumberFilter on the record's number field.
    bool matches(std::string_view record) const;

  private:
    std::u16string filter_;
    bool everyone_ = false;
    bool ascii_ = true;  // the filter holds only ASCII characters
};

// searchCompetitors over the file read in one go; only the records that match
// are decoded.
SearchResult searchCompetitors(const CompetitorFileBytes& file, std::u16string_view filter);

}  // namespace quendro
