#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace quendro::tools {

// The shape of a made-up meet, written byte by byte in the layouts of the
// timing system's files. The same shape and seed always give the same bytes.
struct MeetShape {
    int heats = 3276;         // at most 3276
    int competitors = 32757;  // at most 32757
    int splits = 60;          // splits of the longest swims (records of a lane, at most 64)
    // Every lane of every heat swum, every swim with all its splits and a "G" at
    // the finish: the largest meet the record layouts allow. When false, lanes
    // are left empty now and then and the lap files carry the oddities the
    // program meets in the field: a lane without records, no "G", records after
    // "G", the "G" of another lane, more than 60 records, an empty or a missing
    // lap file, result codes in place of times.
    bool full = true;
    bool upperCaseLapFolder = false;  // "LAP" instead of "lap"
    std::uint32_t seed = 1;
    std::u16string resultFolder = u"D:\\meet\\kekka\\";  // first field of the meet header
    std::u16string meetCode = u"2026001";
    std::u16string abbreviation = u"県選";
};

// The meet as the timing machine keeps it: kijun.dat, taikai.dat, ind2.dat,
// kekka/KEKKA.DAT (the results file) and lap/rNNNN.
void writeLocalMeet(const std::filesystem::path& folder, const MeetShape& shape);

// The meet as the publisher's server holds it in its meet folder: taikai.txt,
// ind2.txt, kijun.txt and lap/rNNNN.txt.
void writeServerMeet(const std::filesystem::path& meetFolder, const MeetShape& shape);

}  // namespace quendro::tools
