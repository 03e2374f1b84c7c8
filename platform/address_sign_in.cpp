#include "platform/address_sign_in.h"

#include "platform/text_rules.h"

namespace quendro {
namespace {

constexpr size_t npos = std::string_view::npos;

std::string percentDecoded(std::string_view text) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// "127.0.0.1:8808", "[::1]:8808", "host": what stands before a path.
bool isHostAndPort(std::string_view part) {
    if (!part.empty() && part.front() == '[') return true;
    size_t colon = part.find(':');
    if (colon == npos) return true;
    std::string_view port = part.substr(colon + 1);
    for (char c : port) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Where "user:password@" ends, npos when the URL holds none.
size_t signInEnd(std::string_view url, size_t start) {
    size_t firstAt = url.find('@', start);
    if (firstAt == npos) return npos;
    size_t firstSlash = url.find('/', start);
    // No "/" before the "@": the sign-in ends at the last "@" before the path.
    if (firstSlash == npos || firstSlash > firstAt) return url.rfind('@', firstSlash);
    std::string_view beforeSlash = url.substr(start, firstSlash - start);
    if (!isHostAndPort(beforeSlash)) return url.rfind('@');
    // "meet:12/34@host/" or "127.0.0.1:8808/swim/a@b/": a user and a
    // password of digits when the "@" stands in the first folder.
    bool userAndDigits = beforeSlash.front() != '[' && beforeSlash.find(':') != npos;
    if (!userAndDigits || url.find('/', firstSlash + 1) < firstAt) return npos;
    return url.rfind('@', url.find('/', firstAt));
}

}  // namespace

AddressSignIn splitSignIn(std::string_view url) {
    AddressSignIn split;
    split.address = std::string(url);
    size_t scheme = url.find("://");
    size_t start = scheme == npos ? 0 : scheme + 3;
    size_t at = signInEnd(url, start);
    if (at == npos || at < start) return split;
    std::string_view userInfo = url.substr(start, at - start);
    size_t colon = userInfo.find(':');
    split.present = true;
    split.user = percentDecoded(userInfo.substr(0, colon));
    if (colon != npos) split.password = percentDecoded(userInfo.substr(colon + 1));
    split.address = std::string(url.substr(0, start)) + std::string(url.substr(at + 1));
    return split;
}

std::string withoutPassword(std::string_view url) {
    return splitSignIn(url).address;
}

std::u16string withoutPassword(std::u16string_view url) {
    return fromUtf8(withoutPassword(toUtf8(url)));
}

}  // namespace quendro
