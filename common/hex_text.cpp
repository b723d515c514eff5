// Hex text converter shared by every dialog that reads binary data as hex.
#include "common/hex_text.h"

namespace kyvo {

namespace {
int nibble(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<Bytes> parseHexText(std::string_view text, std::size_t maxBytes)
{
    std::string digits;
    digits.reserve(text.size());
    for (char c : text) {
        if (c == ' ') continue;
        if (nibble(c) < 0) return std::nullopt;
        digits.push_back(c);
    }
    if (digits.size() > 2 * maxBytes) digits.resize(2 * maxBytes);
    Bytes out;
    out.reserve(digits.size() / 2 + 1);
    std::size_t i = 0;
    for (; i + 1 < digits.size(); i += 2)
        out.push_back(std::uint8_t(nibble(digits[i]) << 4 | nibble(digits[i + 1])));
    if (i < digits.size()) out.push_back(std::uint8_t(nibble(digits[i])));
    return out;
}

std::string hexTextSpaced(ByteView bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
        out.push_back(' ');
    }
    return out;
}

} // namespace kyvo
