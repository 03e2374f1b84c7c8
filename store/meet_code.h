#pragma once

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

}  // namespace quendro
