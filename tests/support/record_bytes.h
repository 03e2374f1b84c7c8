#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quendro::test {

// Records built byte by byte from the layout of the record files, independently
// of the program's reader.
class RecordBytes {
  public:
    explicit RecordBytes(size_t length, char fill = ' ') : bytes_(length, fill) {}
    RecordBytes& int16(size_t offset, std::int16_t value);
    RecordBytes& int32(size_t offset, std::int32_t value);
    // Raw bytes at the offset; the rest of the field keeps the fill.
    RecordBytes& bytes(size_t offset, std::string_view raw);
    const std::string& str() const { return bytes_; }

  private:
    std::string bytes_;
};

// A heat table with one heat more at its end: the event, race stage "1", and
// one competitor with a time in lane slot slot.
std::string withAddedHeat(std::string heats, std::int16_t event, std::int16_t competitor, int slot,
                          std::int32_t time);
// A heat table with the time of lane slot slot of heat k (from 1) replaced.
std::string withLaneTime(std::string heats, int k, int slot, std::int32_t time);

}  // namespace quendro::test
