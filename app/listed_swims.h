#pragma once

#include <optional>
#include <vector>

#include "app/main_window.h"
#include "reports/list_export.h"

namespace quendro {

// The meet as the window shows it: code, name, abbreviation, venue, dates and
// the split distance.
ExportMeet exportMeetOf(const MainWindow& window);

// Every swim of the competitors listed in lstNamae, read as the reports read
// them: each competitor and each of the competitor's swims is selected in turn,
// so the window's own procedures load the splits. Afterwards the last listed
// competitor and swim stay selected, as after the printed list and the page.
// Empty when the user stopped a lap file's download.
std::optional<std::vector<ExportSwim>> collectListedSwims(MainWindow& window, FileSystem& files);

// Chooses the competitor at this place of lstNamae and then the swim at this
// place of lstShumoku, as clicks on them do (-1 or a place past the list:
// none).
void chooseAgain(MainWindow& window, int competitor, int swim);

enum class ListFormat { Csv, Json };

// The file of an export, beside the HTML page: the chosen folder, the meet
// abbreviation and "9.csv" or "9.json".
std::u16string listExportPath(const MainWindow& window, ListFormat format);

// Writes the export of the listed competitors, whole or not at all; the status
// line says where it went or what failed. The competitor and swim chosen
// before it are chosen again (the printed list and the page leave the last).
void writeListExport(MainWindow& window, FileSystem& files, ListFormat format);

}  // namespace quendro
