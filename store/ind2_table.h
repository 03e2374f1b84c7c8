#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quendro {

// The competitor table "ind2.dat" that internet mode reads, made from the timing
// system's results file: 128-byte records, the header's competitor count and
// the first 94 bytes of every competitor record (the part both files share:
// number, name, report text, grade, report number) carried over byte for
// byte, every other byte a blank.
struct Ind2Table {
    std::string bytes;
    std::int32_t competitors = 0;  // competitor records written
    // True when the results file ended before its counted records: the table
    // then holds only the records present (a last partial one filled with blanks).
    bool truncated = false;
};

Ind2Table ind2FromResults(std::string_view resultsFile);

}  // namespace quendro
