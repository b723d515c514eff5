// Building answer bodies for the record tests.
#pragma once

#include "vorlet/record/tlv.h"

#include "tests/support/test_support.h"

// Concatenation of byte strings, for readable item literals.
inline kyvo::Bytes operator+(kyvo::Bytes a, const kyvo::Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

namespace recordtest {

inline vorlet::Bytes item(std::uint8_t tag, const vorlet::Bytes &value)
{
    vorlet::Bytes out;
    vorlet::putItem(out, tag, value);
    return out;
}

// 2-byte body length, then the items: what parseRecordAnswer takes.
inline vorlet::Bytes body(std::initializer_list<vorlet::Bytes> items)
{
    vorlet::Bytes all;
    for (const auto &i : items) all.insert(all.end(), i.begin(), i.end());
    vorlet::Bytes out;
    kyvo::putBe16(out, std::uint16_t(all.size()));
    out.insert(out.end(), all.begin(), all.end());
    return out;
}

inline vorlet::Bytes text(const char *s) { return vorlet::Bytes(s, s + std::strlen(s)); }

} // namespace recordtest
