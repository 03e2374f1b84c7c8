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

// Heat k stands in record k + 10 (256 bytes); lane slot j's competitor at 22 +
// 2j, its time at 46 + 4j; the count of heats in the first two bytes.
std::string withAddedHeat(std::string heats, std::int16_t event, std::int16_t competitor, int slot,
                          std::int32_t time) {
    auto count = static_cast<std::int16_t>(static_cast<unsigned char>(heats.at(0)) |
                                           static_cast<unsigned char>(heats.at(1)) << 8);
    ++count;
    RecordBytes heat(256, '\0');
    heat.int16(11, event).bytes(13, "1");
    heat.int16(22 + 2 * static_cast<size_t>(slot), competitor)
        .int32(46 + 4 * static_cast<size_t>(slot), time);
    heats.resize(static_cast<size_t>(count + 9) * 256, '\0');
    heats += heat.str();
    heats[0] = static_cast<char>(count & 0xff);
    heats[1] = static_cast<char>(count >> 8);
    return heats;
}

std::string withLaneTime(std::string heats, int k, int slot, std::int32_t time) {
    size_t at = static_cast<size_t>(k + 9) * 256 + 46 + 4 * static_cast<size_t>(slot);
    for (size_t b = 0; b < 4; ++b) heats.at(at + b) = static_cast<char>(time >> (8 * b));
    return heats;
}

}  // namespace quendro::test
