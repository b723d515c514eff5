// Plain decimal conversion of typed numbers: leading digits, else 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace kyvo {

// Reads like the C library's atoi: optional leading blanks, an optional sign,
// then digits up to the first other character; no digits give 0. Values
// beyond 64 bits saturate instead of overflowing.
inline std::int64_t parseDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = INT64_MAX / 10 - 10;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < kLimit) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

// The C conversion into a 32-bit int: the low 32 bits of the value.
inline std::int32_t parseDecimal32(std::string_view text)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(parseDecimal(text)));
}

} // namespace kyvo
