// Helpers for the record tests: records written byte by byte at their offsets.
#pragma once

#include "pelmar/link/command_frame.h"
#include "tests/support/test_support.h"

#include <string_view>

namespace recordtest {

using pelmar::Bytes;

// Writes the hex bytes at offset.
inline void put(Bytes &record, std::size_t offset, std::string_view hexText)
{
    const Bytes b = testsupport::hex(hexText);
    std::copy(b.begin(), b.end(), record.begin() + std::ptrdiff_t(offset));
}
inline void putText(Bytes &record, std::size_t offset, std::string_view text)
{
    std::copy(text.begin(), text.end(), record.begin() + std::ptrdiff_t(offset));
}
inline std::string hexAt(const Bytes &record, std::size_t offset, std::size_t n)
{
    return testsupport::toHex(kyvo::ByteView(record).subspan(offset, n));
}
inline std::string textAt(const Bytes &record, std::size_t offset, std::size_t n)
{
    return std::string(reinterpret_cast<const char *>(record.data() + offset), n);
}

// A reply frame around the record: 'H' ':' 'R' code, record, MacTail, checksum, "E.".
inline Bytes reply(std::uint8_t code, const Bytes &record, pelmar::MacTail tail = {0x01, 0x02, 0x03})
{
    return pelmar::buildCommandFrame('R', code, record, tail);
}

} // namespace recordtest
