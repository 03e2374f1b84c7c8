#pragma once

#include <optional>
#include <ostream>

namespace quendro::view {

// The program's own options: --help and --version print and end the program
// before any window opens. Another option of two dashes prints the usage on err
// and ends with status 2; options of one dash are the window toolkit's.
// The exit status when the program should end, nothing when it should go on.
std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out);
std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);

// Whether a window can open: a display to show it on (DISPLAY, WAYLAND_DISPLAY),
// or a toolkit platform named that needs none (QT_QPA_PLATFORM, -platform).
// Without one, one line on err and status 1; nothing when the window can open.
// env reads a variable of the environment (nullptr when it is not set).
std::optional<int> checkDisplay(int argc, const char* const* argv,
                                const char* (*env)(const char*), std::ostream& err);

// The project's version, "1.0.0".
const char* projectVersion();

}  // namespace quendro::view
