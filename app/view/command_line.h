#pragma once

#include <optional>
#include <ostream>

namespace quendro::view {

// The program's own options: --help and --version print and end the program
// before any window opens. Everything else is left to the window toolkit.
// The exit status when the program should end, nothing when it should go on.
std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out);

// The project's version, "1.0.0".
const char* projectVersion();

}  // namespace quendro::view
