#include "platform/qr_code.h"

#include <qrencode.h>

#include <memory>
#include <string>

namespace quendro {

std::optional<QrMatrix> qrCodeOf(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::string bytes(text);
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(static_cast<int>(bytes.size()),
                          reinterpret_cast<const unsigned char*>(bytes.data()), 0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code) return std::nullopt;
    QrMatrix matrix;
    matrix.size = code->width;
    matrix.dark.resize(static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width));
    for (std::size_t i = 0; i < matrix.dark.size(); ++i) matrix.dark[i] = code->data[i] & 1;
    return matrix;
}

}  // namespace quendro
