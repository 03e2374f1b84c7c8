#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace quendro {

// The working folder holds what comes from the server: the season meet list,
// the meet's heat table, competitor table and header, and the lap file of the
// swim last chosen. The files survive the program.
inline constexpr std::u16string_view kWorkingParent = u"c:\\quendro";
inline constexpr std::u16string_view kWorkingFolder = u"c:\\quendro\\temp";
inline constexpr std::u16string_view kWorkingList = u"c:\\quendro\\temp\\list.dat";
// The season list on its way to the server: it becomes list.dat once the
// server has taken it.
inline constexpr std::u16string_view kWorkingListToSend = u"c:\\quendro\\temp\\list.up";
inline constexpr std::u16string_view kWorkingHeats = u"c:\\quendro\\temp\\taikai.dat";
inline constexpr std::u16string_view kWorkingCompetitors = u"c:\\quendro\\temp\\ind2.dat";
inline constexpr std::u16string_view kWorkingHeader = u"c:\\quendro\\temp\\kijun.dat";
inline constexpr std::u16string_view kWorkingLapFile = u"c:\\quendro\\temp\\t.txt";

// Creates the working folder and its parent where they are missing. False when
// a folder could not be made.
bool ensureWorkingFolder(FileSystem& files);

// A file's new content.
struct NewFile {
    std::u16string_view path;
    std::string bytes;
};
// Replaces the files all together or not at all: every new content is written
// beside its file first, and only when all of them are on disk do they take
// the places of the old files. On a failure the old files stay as they were and
// the status of the failed write comes back.
FileStatus replaceFilesTogether(FileSystem& files, const std::vector<NewFile>& newFiles);
// The same for files of the working folder, which is made when it is missing.
FileStatus replaceWorkingFiles(FileSystem& files, const std::vector<NewFile>& newFiles);

}  // namespace quendro
