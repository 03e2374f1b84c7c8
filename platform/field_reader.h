#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendro {

// Reads the fields of a text file one after another, the way the meet's text
// files (site control file, meet header, meet list, lap files) are written:
// - leading blanks are skipped;
// - a field that begins with a double quote runs to the next double quote; the
//   quotes are dropped, commas inside belong to the field, and whatever follows
//   the closing quote up to the next comma or line end is discarded;
// - any other field runs to the next comma or line end (CR LF, CR or LF);
// - a comma right after a line end or another comma, and an empty line, give an
//   empty field.
// The comma or line end that ends a field is consumed with it.
class FieldReader {
  public:
    explicit FieldReader(std::u16string text) : text_(std::move(text)) {}

    // The next field; empty when no field is left (reading past the end of the
    // file, which the calling procedure treats as a failure).
    std::optional<std::u16string> next();
    // The same field as a view into the text, valid while the reader lives:
    // for reading long files without a string per field.
    // Defined here, for the lap files' tens of thousands of fields.
    std::optional<std::u16string_view> nextView() {
        if (atEnd()) return std::nullopt;
        return nextViewFrom();
    }

    // True when the reading position has reached the end of the file.
    bool atEnd() const { return pos_ >= text_.size(); }

  private:
    static bool isLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }
    // The field at the position, which is not the end.
    std::optional<std::u16string_view> nextViewFrom() {
        const std::u16string_view text = text_;
        while (pos_ < text.size() && (text[pos_] == u' ' || text[pos_] == u'\t')) ++pos_;
        if (pos_ < text.size() && text[pos_] == u'"') return quotedField();
        size_t start = pos_;
        while (pos_ < text.size() && text[pos_] != u',' && !isLineEnd(text[pos_])) ++pos_;
        std::u16string_view field = text.substr(start, pos_ - start);
        skipSeparator();
        return field;
    }
    // A field that begins with a double quote, at the position.
    std::u16string_view quotedField();
    // Consumes one comma or line end at the position, if there is one.
    void skipSeparator() {
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

    std::u16string text_;
    size_t pos_ = 0;
};

}  // namespace quendro
