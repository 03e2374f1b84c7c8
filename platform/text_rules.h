#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quendro {

// The numeric value of a text, read the way a number is read from its front:
// blanks, tabs and line feeds anywhere in the text are ignored; then a sign,
// digits, a decimal point with more digits and an exponent (E or D) are read up
// to the first character that cannot continue the number. "&H" and "&O" start
// hexadecimal and octal digits. A text that does not begin with a number is 0.
double numericValue(std::u16string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4). Empty when the value does not fit in 64 bits.
std::optional<std::int64_t> roundHalfEven(double value);

// The last n characters of the decimal text of value + 10^n: for a value from 0
// to 10^n - 1, the value written with n digits, zero-filled.
std::u16string zeroFilled(std::int64_t value, int n);

// The last n characters of n blanks followed by the text.
std::u16string rightAligned(std::u16string_view text, size_t n);

// Character cuts that never fail: a cut past the end of the text is shorter.
std::u16string leftChars(std::u16string_view text, size_t n);
std::u16string rightChars(std::u16string_view text, size_t n);
// Characters from 1-based position start, at most n of them.
std::u16string midChars(std::u16string_view text, size_t start, size_t n);

// Decimal text of a whole number, "-" in front of a negative one.
std::u16string decimalText(std::int64_t value);

// A text from a file or a server as a message shows it: every control
// character (below U+0020, and U+007F) written as \xNN, so that a NUL or an
// escape sequence never reaches the status line or the terminal raw.
std::u16string visibleText(std::u16string_view text);

// UTF-8 forms, for host file names and for the window toolkit's diagnostics.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

}  // namespace quendro
