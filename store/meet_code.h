#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quendro {

// The meet code names the meet's folder on the publisher and the files made
// after it: one to seven ASCII letters or digits ("2026001"). A code from a
// season list, a meet header or the keyboard that is anything else ("..",
// "../2024/2026001", a code of eight characters) is refused before it becomes
// part of an address or a path, by the window and the programs alike.
bool isMeetCodeName(std::u16string_view code);

// The words that refuse such a code, naming it as it is, control characters
// shown escaped: 大会コード「..」は使えません（英数字 1〜7 文字）
std::u16string meetCodeRefusal(std::u16string_view code);

// A season list takes the first seven characters of an entry as the meet code:
// a code that goes into a list is exactly seven ASCII letters or digits, so
// that the entry's code is the code, whole. A shorter code still names a
// folder (the window opens such a meet from its folder); it is never listed.
inline constexpr std::size_t kListedMeetCodeLength = 7;
bool isListedMeetCode(std::u16string_view code);

// The words that refuse to list such a code:
// 大会コード「ABC」は大会一覧に載せられません（英数字 7 文字）
std::u16string listedMeetCodeRefusal(std::u16string_view code);

}  // namespace quendro
