// Bounded access to record bytes: reads beyond the received bytes give
// zeros, writes beyond the record's length are cut, so no field ever reads
// or writes outside its record.
#pragma once

#include "common/bytes.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pelmar {

class RecordReader
{
public:
    explicit RecordReader(kyvo::ByteView data) : m_data(data) {}
    std::size_t size() const { return m_data.size(); }

    std::uint8_t u8(std::size_t at) const { return at < m_data.size() ? m_data[at] : 0; }
    std::uint16_t le16(std::size_t at) const { return std::uint16_t(u8(at) | u8(at + 1) << 8); }
    std::uint16_t be16(std::size_t at) const { return std::uint16_t(u8(at) << 8 | u8(at + 1)); }
    std::uint32_t le32(std::size_t at) const { return std::uint32_t(le16(at)) | std::uint32_t(le16(at + 2)) << 16; }
    // n bytes from at, zero-extended.
    kyvo::Bytes bytes(std::size_t at, std::size_t n) const
    {
        kyvo::Bytes out(n, 0);
        for (std::size_t i = 0; i < n; ++i) out[i] = u8(at + i);
        return out;
    }
    template <std::size_t N> std::array<std::uint8_t, N> array(std::size_t at) const
    {
        std::array<std::uint8_t, N> out{};
        for (std::size_t i = 0; i < N; ++i) out[i] = u8(at + i);
        return out;
    }

private:
    kyvo::ByteView m_data;
};

class RecordWriter
{
public:
    explicit RecordWriter(kyvo::Bytes &data) : m_data(data) {}

    void u8(std::size_t at, std::uint8_t v)
    {
        if (at < m_data.size()) m_data[at] = v;
    }
    void le16(std::size_t at, std::uint16_t v)
    {
        u8(at, std::uint8_t(v));
        u8(at + 1, std::uint8_t(v >> 8));
    }
    void be16(std::size_t at, std::uint16_t v)
    {
        u8(at, std::uint8_t(v >> 8));
        u8(at + 1, std::uint8_t(v));
    }
    void le32(std::size_t at, std::uint32_t v)
    {
        le16(at, std::uint16_t(v));
        le16(at + 2, std::uint16_t(v >> 16));
    }
    void bytes(std::size_t at, kyvo::ByteView v)
    {
        for (std::size_t i = 0; i < v.size(); ++i) u8(at + i, v[i]);
    }

private:
    kyvo::Bytes &m_data;
};

} // namespace pelmar
