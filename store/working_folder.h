#pragma once

#include <string_view>

#include "platform/files.h"

namespace quendro {

// The working folder holds what comes from the server: the season meet list,
// the meet's heat table, competitor table and header, and the lap file of the
// swim last chosen. The files survive the program.
inline constexpr std::u16string_view kWorkingParent = u"c:\\quendro";
inline constexpr std::u16string_view kWorkingFolder = u"c:\\quendro\\temp";
inline constexpr std::u16string_view kWorkingList = u"c:\\quendro\\temp\\list.dat";
inline constexpr std::u16string_view kWorkingHeats = u"c:\\quendro\\temp\\taikai.dat";
inline constexpr std::u16string_view kWorkingCompetitors = u"c:\\quendro\\temp\\ind2.dat";
inline constexpr std::u16string_view kWorkingHeader = u"c:\\quendro\\temp\\kijun.dat";
inline constexpr std::u16string_view kWorkingLapFile = u"c:\\quendro\\temp\\t.txt";

// Creates the working folder and its parent where they are missing. False when
// a folder could not be made.
bool ensureWorkingFolder(FileSystem& files);

}  // namespace quendro
