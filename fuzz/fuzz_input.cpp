#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_target.h"

namespace quendro::fuzz {

std::vector<std::string_view> sections(const std::uint8_t* data, std::size_t size,
                                       std::size_t most) {
    std::vector<std::string_view> parts;
    std::string_view rest = bytesOf(data, size);
    while (parts.size() + 1 < most) {
        size_t mark = rest.find(kSectionMark);
        if (mark == std::string_view::npos) break;
        parts.push_back(rest.substr(0, mark));
        rest.remove_prefix(mark + kSectionMark.size());
    }
    parts.push_back(rest);
    return parts;
}

void checkFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, condition);
    std::abort();
}

}  // namespace quendro::fuzz
