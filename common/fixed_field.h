// Fixed text and data fields: the one place that copies into a bounded field.
#pragma once

#include "common/bytes.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace kyvo {

// Length of the text in a NUL-padded field, never beyond the field.
inline std::size_t fieldTextLength(const std::uint8_t *field, std::size_t size)
{
    const void *nul = std::memchr(field, 0, size);
    return nul ? std::size_t(static_cast<const std::uint8_t *>(nul) - field) : size;
}

template <std::size_t N> std::size_t fieldTextLength(const std::uint8_t (&field)[N])
{
    return fieldTextLength(field, N);
}

template <std::size_t N> std::string fieldText(const std::uint8_t (&field)[N])
{
    return std::string(reinterpret_cast<const char *>(field), fieldTextLength(field));
}

template <std::size_t N> ByteView fieldTextBytes(const std::uint8_t (&field)[N])
{
    return ByteView(field, fieldTextLength(field));
}

// Clears the field, then copies at most maxLength bytes of value into it
// (maxLength is cut to the field size). Returns the number of bytes copied.
inline std::size_t setField(std::uint8_t *field, std::size_t size, ByteView value, std::size_t maxLength)
{
    std::memset(field, 0, size);
    const std::size_t n = std::min({value.size(), maxLength, size});
    if (n) std::memcpy(field, value.data(), n);
    return n;
}

// Text fields keep a terminating NUL: at most N - 1 bytes.
template <std::size_t N> std::size_t setFieldText(std::uint8_t (&field)[N], ByteView text)
{
    return setField(field, N, text, N - 1);
}

template <std::size_t N> std::size_t setFieldText(std::uint8_t (&field)[N], std::string_view text)
{
    return setFieldText(field, ByteView(reinterpret_cast<const std::uint8_t *>(text.data()), text.size()));
}

// Fields that may be filled to the last byte (no terminator kept).
template <std::size_t N> std::size_t setFieldFull(std::uint8_t (&field)[N], ByteView value)
{
    return setField(field, N, value, N);
}

inline ByteView asBytes(std::string_view s)
{
    return ByteView(reinterpret_cast<const std::uint8_t *>(s.data()), s.size());
}

} // namespace kyvo
