// The numeric value of any text: always a finite number, blanks in front change
// nothing, and the whole numbers that the program writes read back as themselves.
#include <cmath>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "platform/shift_jis.h"
#include "platform/text_rules.h"

using namespace quendro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text = decodeShiftJis(fuzz::bytesOf(data, size));
    double v = numericValue(text);
    FUZZ_CHECK(std::isfinite(v));
    FUZZ_CHECK(numericValue(u"  " + text) == v);
    if (auto whole = roundHalfEven(v)) {
        FUZZ_CHECK(std::fabs(static_cast<double>(*whole) - v) <= 0.5);
    }
    // The program writes zero-filled fields of counts, codes and times, never
    // of a value near the limits of 64 bits.
    if (auto whole = roundHalfEven(v); whole && *whole > -1000000000 && *whole < 1000000000) {
        for (int n : {2, 4, 6}) {
            std::u16string digits = zeroFilled(*whole, n);
            FUZZ_CHECK(digits.size() <= static_cast<size_t>(n));
        }
    }

    // A whole number of the input, written and read back.
    if (size >= 8) {
        std::int64_t k;
        std::memcpy(&k, data, sizeof k);
        k %= 1000000000000000LL;  // within the exact range of a double
        FUZZ_CHECK(numericValue(decimalText(k)) == static_cast<double>(k));
        FUZZ_CHECK(roundHalfEven(static_cast<double>(k)) == k);
    }
    return 0;
}
