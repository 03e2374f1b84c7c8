#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quendro::fuzz {

// An input that stands for several files is the files one after another, each
// closed by this mark. Whatever follows the last mark is one more section.
inline constexpr std::string_view kSectionMark = "#%%#";

// The sections of an input, at most `most` of them (the last one takes the rest).
std::vector<std::string_view> sections(const std::uint8_t* data, std::size_t size,
                                       std::size_t most);

// The input as bytes.
inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace quendro::fuzz
