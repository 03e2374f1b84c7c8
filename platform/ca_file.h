#pragma once

#include <optional>
#include <string>

namespace quendro {

// The environment variable that names an extra certificate-authority file for
// every program of the project.
inline constexpr const char* kCaFileVariable = "QUENDRO_CA_FILE";

// The file of certificate authorities that the programs trust beside the
// system's (a publisher's own CA for its https server): the program's own
// choice (--cacert FILE, the window's setting), or else the variable
// QUENDRO_CA_FILE; none when neither names one.
enum class CaFileCheck {
    None,        // no file named: the system's authorities only
    Usable,      // a regular file that can be read
    Missing,     // no such file
    NotRegular,  // a folder, a pipe, a device
    Unreadable,  // there, but it cannot be read
};

struct ChosenCaFile {
    std::string path;  // as given
    CaFileCheck check = CaFileCheck::None;
};

// The program's own choice wins over the variable; an empty variable names nothing.
ChosenCaFile chooseCaFile(const std::optional<std::string>& option, const char* variable);

// The file a transfer is given: the chosen one when it can be used, none when
// it is refused, so that a transfer trusts the system's authorities and never
// opens a pipe or a device. The window, quendro-publish and quendro-export
// all take it from here.
std::string caFileForTransfers(const ChosenCaFile& chosen);

// Why the file is refused, in Japanese, naming it; empty for None and Usable.
std::string caFileRefusal(const ChosenCaFile& chosen);

}  // namespace quendro
