#include "platform/field_reader.h"

namespace quendro {
namespace {

bool isLineEnd(char16_t c) {
    return c == u'\r' || c == u'\n';
}

}  // namespace

void FieldReader::skipSeparator() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == u',') {
        ++pos_;
    } else if (text_[pos_] == u'\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
    } else if (text_[pos_] == u'\n') {
        ++pos_;
    }
}

std::optional<std::u16string> FieldReader::next() {
    auto field = nextView();
    if (!field) return std::nullopt;
    return std::u16string(*field);
}

std::optional<std::u16string_view> FieldReader::nextView() {
    if (atEnd()) return std::nullopt;
    while (pos_ < text_.size() && (text_[pos_] == u' ' || text_[pos_] == u'\t')) ++pos_;

    const std::u16string_view text = text_;
    std::u16string_view field;
    if (pos_ < text.size() && text[pos_] == u'"') {
        size_t close = text.find(u'"', pos_ + 1);
        if (close == std::u16string_view::npos) {
            field = text.substr(pos_ + 1);
            pos_ = text.size();
            return field;
        }
        field = text.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        // Whatever follows the closing quote, up to the end of the field, is dropped.
        while (pos_ < text.size() && text[pos_] != u',' && !isLineEnd(text[pos_])) ++pos_;
    } else {
        size_t start = pos_;
        while (pos_ < text.size() && text[pos_] != u',' && !isLineEnd(text[pos_])) ++pos_;
        field = text.substr(start, pos_ - start);
    }
    skipSeparator();
    return field;
}

}  // namespace quendro
