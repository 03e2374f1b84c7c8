#include "tests/support/record_bytes.h"

namespace quendro::test {

RecordBytes& RecordBytes::int16(size_t offset, std::int16_t value) {
    auto v = static_cast<std::uint16_t>(value);
    bytes_.at(offset) = static_cast<char>(v & 0xFF);
    bytes_.at(offset + 1) = static_cast<char>(v >> 8);
    return *this;
}

RecordBytes& RecordBytes::int32(size_t offset, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (size_t i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<char>((v >> (8 * i)) & 0xFF);
    return *this;
}

RecordBytes& RecordBytes::bytes(size_t offset, std::string_view raw) {
    bytes_.replace(offset, raw.size(), raw);
    return *this;
}

}  // namespace quendro::test
