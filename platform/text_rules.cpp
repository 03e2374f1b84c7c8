#include "platform/text_rules.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace quendro {
namespace {

bool isIgnored(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return 99;
}

// "&H" and "&O" numbers: digits of the base up to the first other character.
// Values that fit in 16 bits read as a signed 16-bit number, those that fit in
// 32 bits as a signed 32-bit number ("&HFFFF" is -1).
double radixValue(std::u16string_view s, int base) {
    std::uint64_t v = 0;
    for (char16_t c : s) {
        int d = digitValue(c);
        if (d >= base) break;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return static_cast<double>(v);
    }
    if (v <= 0xFFFF) return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

double numericValue(std::u16string_view text) {
    // Plain digits between blanks, the common case (time fields, lane numbers,
    // codes), read without going through strtod; the value is the same.
    std::uint64_t whole = 0;
    int wholeDigits = 0;
    bool plain = true;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            if (++wholeDigits > 15) {
                plain = false;
                break;
            }
            whole = whole * 10 + static_cast<std::uint64_t>(c - u'0');
        } else if (!isIgnored(c)) {
            plain = false;
            break;
        }
    }
    if (plain) return static_cast<double>(whole);

    std::string s;        // the number as read
    std::u16string wide;  // the text without blanks, tabs and line feeds
    for (char16_t c : text) {
        if (!isIgnored(c)) wide.push_back(c);
    }
    if (wide.size() >= 2 && wide[0] == u'&') {
        char16_t kind = wide[1];
        if (kind == u'H' || kind == u'h')
            return radixValue(std::u16string_view(wide).substr(2), 16);
        if (kind == u'O' || kind == u'o') return radixValue(std::u16string_view(wide).substr(2), 8);
    }
    size_t i = 0;
    auto isDigit = [&](size_t k) { return k < wide.size() && wide[k] >= u'0' && wide[k] <= u'9'; };
    if (i < wide.size() && (wide[i] == u'+' || wide[i] == u'-'))
        s.push_back(static_cast<char>(wide[i++]));
    size_t digits = 0;
    while (isDigit(i)) {
        s.push_back(static_cast<char>(wide[i++]));
        ++digits;
    }
    if (i < wide.size() && wide[i] == u'.') {
        s.push_back('.');
        ++i;
        while (isDigit(i)) {
            s.push_back(static_cast<char>(wide[i++]));
            ++digits;
        }
    }
    if (digits == 0) return 0.0;
    if (i < wide.size() &&
        (wide[i] == u'E' || wide[i] == u'e' || wide[i] == u'D' || wide[i] == u'd')) {
        size_t k = i + 1;
        std::string exponent = "e";
        if (k < wide.size() && (wide[k] == u'+' || wide[k] == u'-'))
            exponent.push_back(static_cast<char>(wide[k++]));
        if (isDigit(k)) {
            while (isDigit(k)) exponent.push_back(static_cast<char>(wide[k++]));
            s += exponent;
        }
    }
    // from_chars reads "." as the decimal point whatever the locale says (a
    // window toolkit sets the C library's locale from the user's settings).
    const char* first = s.data();
    if (*first == '+') ++first;
    double v = 0.0;
    auto [end, error] = std::from_chars(first, s.data() + s.size(), v);
    if (error != std::errc()) return 0.0;
    return std::isfinite(v) ? v : 0.0;
}

std::optional<std::int64_t> roundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return std::nullopt;
    // The default rounding mode, to nearest, takes halves to the even neighbour.
    return static_cast<std::int64_t>(std::nearbyint(value));
}

std::u16string decimalText(std::int64_t value) {
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

std::u16string zeroFilled(std::int64_t value, int n) {
    std::int64_t power = 1;
    for (int i = 0; i < n; ++i) power *= 10;
    return rightChars(decimalText(value + power), static_cast<size_t>(n));
}

std::u16string rightAligned(std::u16string_view text, size_t n) {
    std::u16string padded(n, u' ');
    padded.append(text);
    return rightChars(padded, n);
}

std::u16string leftChars(std::u16string_view text, size_t n) {
    return std::u16string(text.substr(0, n));
}

std::u16string rightChars(std::u16string_view text, size_t n) {
    if (n >= text.size()) return std::u16string(text);
    return std::u16string(text.substr(text.size() - n));
}

std::u16string midChars(std::u16string_view text, size_t start, size_t n) {
    if (start == 0 || start > text.size()) return {};
    return std::u16string(text.substr(start - 1, n));
}

std::u16string visibleText(std::u16string_view text) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string shown;
    shown.reserve(text.size());
    for (char16_t c : text) {
        if (c < 0x20 || c == 0x7F) {
            shown += u"\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string fromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        std::uint32_t c;
        size_t extra;
        if (b < 0x80) {
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        bool ok = i + extra < text.size();
        for (size_t k = 1; ok && k <= extra; ++k) {
            auto t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (t & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

}  // namespace quendro
