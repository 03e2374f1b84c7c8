#pragma once

#include <string>
#include <string_view>

namespace quendro {

// A text as a JSON string (UTF-8, in quotes): quotes, backslashes and control
// characters escaped, everything else as it is.
std::string jsonString(std::u16string_view text);

}  // namespace quendro
