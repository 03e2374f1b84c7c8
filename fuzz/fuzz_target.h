#pragma once

#include <cstddef>
#include <cstdint>

// The entry point that libFuzzer calls with each input, and that the replay
// driver calls with each file of a target's corpus.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Stops the run when a property of the program does not hold: libFuzzer and
// the replay driver both see an abort and keep the input.
#define FUZZ_CHECK(condition)                                                    \
    do {                                                                         \
        if (!(condition)) ::quendro::fuzz::checkFailed(#condition, __FILE__, __LINE__); \
    } while (false)

namespace quendro::fuzz {
[[noreturn]] void checkFailed(const char* condition, const char* file, int line);
}  // namespace quendro::fuzz
