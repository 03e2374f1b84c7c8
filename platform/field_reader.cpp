#include "platform/field_reader.h"

namespace quendro {

std::optional<std::u16string> FieldReader::next() {
    auto field = nextView();
    if (!field) return std::nullopt;
    return std::u16string(*field);
}

std::u16string_view FieldReader::quotedField() {
    const std::u16string_view text = text_;
    size_t close = text.find(u'"', pos_ + 1);
    if (close == std::u16string_view::npos) {
        std::u16string_view field = text.substr(pos_ + 1);
        pos_ = text.size();
        return field;
    }
    std::u16string_view field = text.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;
    // Whatever follows the closing quote, up to the end of the field, is dropped.
    while (pos_ < text.size() && text[pos_] != u',' && !isLineEnd(text[pos_])) ++pos_;
    skipSeparator();
    return field;
}

}  // namespace quendro
