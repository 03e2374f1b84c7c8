#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quendro {

// A QR code as its square of modules, the quiet zone not included.
struct QrMatrix {
    int size = 0;                     // modules a side
    std::vector<std::uint8_t> dark;   // size * size, row by row: 1 dark, 0 light
    bool at(int x, int y) const { return dark[static_cast<std::size_t>(y * size + x)] != 0; }
};

// The QR code of a text (its bytes as they are, error correction level M, the
// smallest version that holds it); nothing when no QR code can hold it.
std::optional<QrMatrix> qrCodeOf(std::string_view text);

}  // namespace quendro
