// The field reader over any text: it ends, every field is a piece of the text,
// an unquoted field holds no comma or line end, and reading past the end gives
// nothing.
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "platform/field_reader.h"
#include "platform/shift_jis.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = decodeShiftJis(fuzz::bytesOf(data, size));
    FieldReader reader(text);
    size_t fields = 0;
    size_t characters = 0;
    while (!reader.atEnd()) {
        auto field = reader.next();
        FUZZ_CHECK(field.has_value());
        ++fields;
        characters += field->size();
        FUZZ_CHECK(fields <= text.size());  // every field consumes at least one character
        FUZZ_CHECK(text.find(*field) != std::u16string::npos);
        bool quoted = field->find_first_of(u",\r\n") != std::u16string::npos;
        if (quoted) FUZZ_CHECK(text.find(u'"') != std::u16string::npos);
    }
    FUZZ_CHECK(characters <= text.size());
    FUZZ_CHECK(!reader.next().has_value());
    FUZZ_CHECK(reader.atEnd());
    return 0;
}
