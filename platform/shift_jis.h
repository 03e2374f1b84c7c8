#pragma once

#include <string>
#include <string_view>

namespace quendro {

// Every file of a meet is Shift-JIS (code page 932); inside the program text is
// UTF-16, one unit per character. Conversion happens only where bytes enter or
// leave.

// Bytes to text. A byte that does not start a valid character becomes U+FFFD and
// decoding goes on with the next byte; decoding never fails.
std::u16string decodeShiftJis(std::string_view bytes);

// Text to bytes. A character that code page 932 cannot hold is written as "?".
std::string encodeShiftJis(std::u16string_view text);
// The same bytes added to the end of out, for text written piece by piece.
void appendShiftJis(std::u16string_view text, std::string& out);
// The same bytes written from out on, which has room for two bytes a
// character; returns the end of what was written.
char* writeShiftJis(std::u16string_view text, char* out);

}  // namespace quendro
