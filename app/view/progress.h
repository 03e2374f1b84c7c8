#pragma once

#include <string>
#include <string_view>

namespace quendro::view {

// What a download fetches, told by the file at the end of its address.
enum class Fetch { MeetList, MeetFile, LapFile, Other };

Fetch fetchOf(std::u16string_view url);

// The words on the status line while the window waits for a download: what is
// fetched and, when the number of files is known, how far it has come
// ("ラップを取得中 12/133"); "…" when it is not.
std::u16string progressWords(Fetch fetch, int done, int total);

}  // namespace quendro::view
