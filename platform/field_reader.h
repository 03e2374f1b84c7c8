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
    std::optional<std::u16string_view> nextView();

    // True when the reading position has reached the end of the file.
    bool atEnd() const { return pos_ >= text_.size(); }

  private:
    // Consumes one comma or line end at the position, if there is one.
    void skipSeparator();

    std::u16string text_;
    size_t pos_ = 0;
};

}  // namespace quendro
