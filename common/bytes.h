// Byte-order helpers and the little-endian field types of the fixed records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kyvo {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline std::uint16_t readBe16(const std::uint8_t *p) { return std::uint16_t((p[0] << 8) | p[1]); }
inline std::uint32_t readBe24(const std::uint8_t *p) { return (std::uint32_t(p[0]) << 16) | (p[1] << 8) | p[2]; }
inline std::uint32_t readBe32(const std::uint8_t *p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
inline std::uint16_t readLe16(const std::uint8_t *p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t readLe32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

inline void writeBe16(std::uint8_t *p, std::uint16_t v) { p[0] = std::uint8_t(v >> 8); p[1] = std::uint8_t(v); }
inline void writeBe24(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v >> 16); p[1] = std::uint8_t(v >> 8); p[2] = std::uint8_t(v);
}
inline void writeBe32(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v >> 24); p[1] = std::uint8_t(v >> 16); p[2] = std::uint8_t(v >> 8); p[3] = std::uint8_t(v);
}
inline void writeLe16(std::uint8_t *p, std::uint16_t v) { p[0] = std::uint8_t(v); p[1] = std::uint8_t(v >> 8); }
inline void writeLe32(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v); p[1] = std::uint8_t(v >> 8); p[2] = std::uint8_t(v >> 16); p[3] = std::uint8_t(v >> 24);
}

// Appending writers for building messages.
inline void putU8(Bytes &out, std::uint8_t v) { out.push_back(v); }
inline void putBe16(Bytes &out, std::uint16_t v) { out.push_back(std::uint8_t(v >> 8)); out.push_back(std::uint8_t(v)); }
inline void putBe32(Bytes &out, std::uint32_t v)
{
    putBe16(out, std::uint16_t(v >> 16));
    putBe16(out, std::uint16_t(v));
}
inline void putLe16(Bytes &out, std::uint16_t v) { out.push_back(std::uint8_t(v)); out.push_back(std::uint8_t(v >> 8)); }
inline void putLe32(Bytes &out, std::uint32_t v)
{
    putLe16(out, std::uint16_t(v));
    putLe16(out, std::uint16_t(v >> 16));
}
inline void putBytes(Bytes &out, ByteView bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

// Unaligned little-endian fields for packed record structures (trivial, so
// records stay plain bytes: value-initialise them to zero).
struct le16 {
    std::uint8_t b[2];
    std::uint16_t get() const { return readLe16(b); }
    void set(std::uint16_t v) { writeLe16(b, v); }
    operator std::uint16_t() const { return get(); }
    le16 &operator=(std::uint16_t v) { set(v); return *this; }
};
struct le32 {
    std::uint8_t b[4];
    std::uint32_t get() const { return readLe32(b); }
    void set(std::uint32_t v) { writeLe32(b, v); }
    operator std::uint32_t() const { return get(); }
    le32 &operator=(std::uint32_t v) { set(v); return *this; }
};
static_assert(sizeof(le16) == 2 && alignof(le16) == 1);
static_assert(sizeof(le32) == 4 && alignof(le32) == 1);

// A bounded reader over received bytes: every read checks the remaining length.
class ByteReader
{
public:
    explicit ByteReader(ByteView data) : m_data(data) {}
    std::size_t remaining() const { return m_data.size() - m_pos; }
    std::size_t position() const { return m_pos; }
    bool has(std::size_t n) const { return remaining() >= n; }
    bool skip(std::size_t n)
    {
        if (!has(n)) return false;
        m_pos += n;
        return true;
    }
    std::uint8_t u8() { return m_data[m_pos++]; }
    std::uint16_t be16() { auto v = readBe16(m_data.data() + m_pos); m_pos += 2; return v; }
    std::uint32_t be32() { auto v = readBe32(m_data.data() + m_pos); m_pos += 4; return v; }
    ByteView take(std::size_t n) { auto v = m_data.subspan(m_pos, n); m_pos += n; return v; }

private:
    ByteView m_data;
    std::size_t m_pos = 0;
};

} // namespace kyvo
