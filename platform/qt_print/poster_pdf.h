#pragma once

#include <optional>
#include <string>

#include "platform/qr_code.h"
#include "reports/poster.h"

namespace quendro {

// The poster on one A4 page, portrait, as the bytes of a PDF file: the
// heading, the meet's name, days and venue, the QR code as large as the page
// allows with its quiet zone of four modules, the address under it in letters
// and the guide. Nothing when the page could not be drawn.
std::optional<std::string> posterPdf(const PosterText& text, const QrMatrix& code);

}  // namespace quendro
