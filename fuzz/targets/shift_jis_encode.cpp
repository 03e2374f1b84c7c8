// Text from the window or from a file, encoded as Shift-JIS: any UTF-16 text,
// lone surrogates and unassigned characters included, encodes to one or two
// bytes a character, and the bytes decode to as many characters.
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "platform/shift_jis.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    std::string bytes = encodeShiftJis(text);
    FUZZ_CHECK(bytes.size() >= text.size());
    FUZZ_CHECK(bytes.size() <= 2 * text.size());
    std::u16string back = decodeShiftJis(bytes);
    FUZZ_CHECK(back.size() == text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // ASCII is the same in both; a character that came back at all came back
        // as itself or as "?".
        if (text[i] < 0x80) FUZZ_CHECK(back[i] == text[i]);
        FUZZ_CHECK(back[i] != 0xFFFD);
    }
    return 0;
}
