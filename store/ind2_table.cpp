#include "store/ind2_table.h"

#include <algorithm>

#include "store/record_files.h"

namespace quendro {
namespace {

constexpr size_t kCommonPart = 94;  // bytes 0 to 93 of a competitor record

// Record n (from 1) of the results file, as far as the file holds it.
std::string_view resultsRecord(std::string_view file, std::int64_t n) {
    auto start = static_cast<size_t>((n - 1) * kResultsRecordLength);
    if (start >= file.size()) return {};
    return file.substr(start, kResultsRecordLength);
}

}  // namespace

Ind2Table ind2FromResults(std::string_view resultsFile) {
    Ind2Table table;
    std::string_view header = resultsRecord(resultsFile, 1);
    std::int32_t counted = header.size() >= 4 ? int32Field(header, 0) : 0;
    counted = std::clamp<std::int32_t>(counted, 0, kMaxResultsCompetitors);

    std::int32_t present = 0;
    while (present < counted && !resultsRecord(resultsFile, present + 11).empty()) ++present;
    table.truncated = present < counted;
    table.competitors = present;

    // The count, little-endian: the results file's own bytes when every counted
    // record is present.
    std::string countBytes;
    for (int shift = 0; shift < 32; shift += 8)
        countBytes.push_back(
            static_cast<char>((static_cast<std::uint32_t>(present) >> shift) & 0xFF));
    table.bytes.reserve(static_cast<size_t>(present + 1) * kInd2RecordLength);
    table.bytes += countBytes;
    table.bytes.append(kInd2RecordLength - 4, ' ');
    for (std::int32_t k = 1; k <= present; ++k) {
        std::string_view common = resultsRecord(resultsFile, k + 10).substr(0, kCommonPart);
        table.bytes += common;
        table.bytes.append(kInd2RecordLength - common.size(), ' ');
    }
    return table;
}

}  // namespace quendro
