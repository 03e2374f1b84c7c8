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

}  // namespace quendro::test
