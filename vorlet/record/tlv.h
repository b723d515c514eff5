// TLV items: tag (1), length (2, big-endian), value.
#pragma once

#include "common/bytes.h"

#include <functional>
#include <string_view>

namespace vorlet {

using kyvo::Bytes;
using kyvo::ByteView;

struct TlvItem {
    std::uint8_t tag = 0;
    ByteView value;
};

// Calls visit for every item that lies wholly inside items; an item whose
// declared length runs past the end ends the walk.
template <typename Visit> void walkTlv(ByteView items, Visit &&visit)
{
    std::size_t pos = 0;
    while (pos + 3 <= items.size()) {
        const std::uint8_t tag = items[pos];
        const std::size_t length = kyvo::readBe16(items.data() + pos + 1);
        if (pos + 3 + length > items.size()) return;
        visit(TlvItem{tag, items.subspan(pos + 3, length)});
        pos += 3 + length;
    }
}

// Item writers for the save request.
inline void putItem(Bytes &out, std::uint8_t tag, ByteView value)
{
    out.push_back(tag);
    kyvo::putBe16(out, std::uint16_t(value.size()));
    kyvo::putBytes(out, value);
}
inline void putItemU8(Bytes &out, std::uint8_t tag, std::uint8_t v) { putItem(out, tag, ByteView(&v, 1)); }
inline void putItemBe16(Bytes &out, std::uint8_t tag, std::uint16_t v)
{
    std::uint8_t b[2];
    kyvo::writeBe16(b, v);
    putItem(out, tag, b);
}
inline void putItemBe32(Bytes &out, std::uint8_t tag, std::uint32_t v)
{
    std::uint8_t b[4];
    kyvo::writeBe32(b, v);
    putItem(out, tag, b);
}

// Writes a composite item (0x40, 0x41): tag, length, index, then whatever
// fill() appends; the length is patched afterwards.
template <typename Fill> void putComposite(Bytes &out, std::uint8_t tag, std::uint8_t index, Fill &&fill)
{
    out.push_back(tag);
    const std::size_t lengthAt = out.size();
    kyvo::putBe16(out, 0);
    out.push_back(index);
    fill(out);
    kyvo::writeBe16(out.data() + lengthAt, std::uint16_t(out.size() - lengthAt - 2));
}

} // namespace vorlet
