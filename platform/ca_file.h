#pragma once

#include <string>

namespace quendro {

// The environment variable that names an extra certificate-authority file for
// every program of the project.
inline constexpr const char* kCaFileVariable = "QUENDRO_CA_FILE";

// Which extra CA file the programs trust beside the system's: the one the
// program itself was given (an option, the window's setting), else the one the
// environment names; empty for none.
std::string chosenCaFile(const std::string& given, const char* environment);

// Whether a CA file can be used: empty when it can, else why not, in Japanese
// (UTF-8), naming the file. Only a regular file that can be read is used.
std::string caFileRefusal(const std::string& path);

}  // namespace quendro
