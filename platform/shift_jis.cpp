#include "platform/shift_jis.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cerrno>
#include <stdexcept>
#include <vector>

namespace quendro {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kInvalid = 0xFFFF;  // marks a byte or pair that decodes to nothing

// One iconv conversion descriptor, closed on scope exit.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-16LE");
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; false when iconv refuses any part of it.
    bool convert(const char* in, size_t inLength, char* out, size_t& outLength) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        size_t inLeft = inLength;
        char* outPtr = out;
        size_t outLeft = outLength;
        size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        outLength -= outLeft;
        return rc != static_cast<size_t>(-1) && inLeft == 0;
    }

  private:
    iconv_t cd_;
};

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The code page 932 table as glibc's iconv knows it, read once: what every single
// byte and every lead/trail pair decodes to.
struct DecodeTable {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pairs;  // index (lead << 8) | trail

    DecodeTable() : pairs(65536, kInvalid) {
        Converter conv("UTF-16LE", "CP932");
        auto decodeOne = [&conv](const char* in, size_t length) -> char16_t {
            char out[8];
            size_t outLength = sizeof out;
            if (!conv.convert(in, length, out, outLength) || outLength != 2) return kInvalid;
            return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                         (static_cast<unsigned char>(out[1]) << 8));
        };
        for (int b = 0; b < 256; ++b) {
            char in = static_cast<char>(b);
            single[b] = isLeadByte(static_cast<unsigned char>(b)) ? kInvalid : decodeOne(&in, 1);
        }
        for (int lead = 0; lead < 256; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs[(lead << 8) | trail] = decodeOne(in, 2);
            }
        }
    }
};

// The table is a constant of the code page; it is filled once, on first use.
const DecodeTable& decodeTable() {
    static const DecodeTable table;
    return table;
}

}  // namespace

std::u16string decodeShiftJis(std::string_view bytes) {
    const DecodeTable& table = decodeTable();
    // Never more characters than bytes: written through a pointer into room
    // for all of them, then cut back.
    std::u16string text(bytes.size(), u'\0');
    char16_t* out = text.data();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = in[i];
        if (b < 0x80) {  // ASCII is the same in code page 932
            *out++ = b;
            continue;
        }
        if (isLeadByte(b)) {
            if (i + 1 < n) {
                char16_t c = table.pairs[(b << 8) | in[i + 1]];
                if (c != kInvalid) {
                    *out++ = c;
                    ++i;
                    continue;
                }
            }
            *out++ = kReplacement;  // the trail byte is decoded on its own
            continue;
        }
        char16_t c = table.single[b];
        *out++ = c == kInvalid ? kReplacement : c;
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return text;
}

namespace {

// What every character encodes to, asked of iconv once per character on first
// use: one or two bytes, or "?" for a character code page 932 cannot hold.
struct EncodeTable {
    std::vector<std::uint16_t> bytes;  // high byte first; below 0x100 a single byte
    std::vector<std::uint8_t> length;

    EncodeTable() : bytes(65536, '?'), length(65536, 1) {
        Converter conv("CP932", "UTF-16LE");
        for (std::uint32_t c = 0; c < 65536; ++c) {
            if (c < 0x80) {  // the ASCII range is the same in code page 932
                bytes[c] = static_cast<std::uint16_t>(c);
                continue;
            }
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            char out[8];
            size_t outLength = sizeof out;
            if (!conv.convert(in, 2, out, outLength) || outLength == 0 || outLength > 2) continue;
            auto first = static_cast<unsigned char>(out[0]);
            if (outLength == 1) {
                bytes[c] = first;
            } else {
                bytes[c] = static_cast<std::uint16_t>((first << 8) | static_cast<unsigned char>(out[1]));
                length[c] = 2;
            }
        }
    }
};

const EncodeTable& encodeTable() {
    static const EncodeTable table;
    return table;
}

}  // namespace

std::string encodeShiftJis(std::u16string_view text) {
    std::string bytes;
    appendShiftJis(text, bytes);
    return bytes;
}

void appendShiftJis(std::u16string_view text, std::string& out) {
    // Room for two bytes a character, written through a pointer and cut back
    // to what was written: no capacity check per byte.
    const size_t start = out.size();
    out.resize(start + text.size() * 2);
    char* end = writeShiftJis(text, out.data() + start);
    out.resize(static_cast<size_t>(end - out.data()));
}

char* writeShiftJis(std::u16string_view text, char* out) {
    const EncodeTable& table = encodeTable();
    for (char16_t c : text) {
        if (c < 0x80) {  // ASCII is the same in code page 932
            *out++ = static_cast<char>(c);
            continue;
        }
        std::uint16_t b = table.bytes[c];
        if (table.length[c] == 2) *out++ = static_cast<char>(b >> 8);
        *out++ = static_cast<char>(b & 0xFF);
    }
    return out;
}

}  // namespace quendro
