#pragma once

#include <string_view>

namespace quendro {

// Whether the bytes of a record file are the file its header says they are.
// Record 1 counts the data records; a file that counts more records than it
// holds, or a negative number of them, is no meet's file (a file cut short in
// the copy, a server's error page, random bytes). An empty file is an empty
// meet and is whole.
enum class RecordFileKind {
    Heats,    // taikai.dat: 256-byte records, a 16-bit count, heat k in record k + 10
    Ind2,     // ind2.dat: 128-byte records, a 32-bit count, competitor k in record k + 1
    Results,  // the results file: 384-byte records, a 32-bit count, competitor k in record k + 10
};

enum class RecordFileShape {
    Whole,          // empty, or every counted record is there
    NegativeCount,  // the header counts fewer than no records
    CutShort,       // the header counts records past the end, or is itself cut short
};

RecordFileShape recordFileShape(std::string_view bytes, RecordFileKind kind);

}  // namespace quendro
