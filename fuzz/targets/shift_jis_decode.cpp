// Bytes of a meet file, decoded as Shift-JIS: every byte sequence decodes, one
// character at most for each byte, and what is decoded survives being written
// back and read again.
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "platform/shift_jis.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = fuzz::bytesOf(data, size);
    std::u16string text = decodeShiftJis(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    FUZZ_CHECK(bytes.empty() || !text.empty());
    for (char16_t c : text) FUZZ_CHECK(c != 0xFFFF);

    // Writing the text back gives bytes that decode to the same text, except
    // that a character the bytes did not hold (U+FFFD) is written as "?".
    std::u16string again = decodeShiftJis(encodeShiftJis(text));
    FUZZ_CHECK(again.size() == text.size());
    for (size_t i = 0; i < text.size(); ++i)
        FUZZ_CHECK(again[i] == (text[i] == 0xFFFD ? u'?' : text[i]));
    return 0;
}
