// Command frames of the serial servers.
#include "pelmar/link/command_frame.h"

#include <algorithm>
#include <numeric>

namespace pelmar {

std::uint8_t frameChecksum(ByteView bytes)
{
    return std::uint8_t(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

Bytes buildCommandFrame(std::uint8_t direction, std::uint8_t code, ByteView payload, const MacTail &tail)
{
    Bytes frame{'H', ':', direction, code};
    frame.reserve(payload.size() + kFrameHeaderSize + kFrameTailSize);
    kyvo::putBytes(frame, payload);
    kyvo::putBytes(frame, tail);
    frame.push_back(frameChecksum(frame));
    frame.push_back('E');
    frame.push_back('.');
    return frame;
}

Bytes buildSearchRequest()
{
    ItemData payload;
    payload.fill(0xAA);
    std::fill_n(payload.begin(), 4, 0x01);
    return buildCommandFrame(kRead, code::kSearch, payload, MacTail{});
}

Bytes buildItemRead(std::uint8_t code, const MacTail &tail)
{
    ItemData payload;
    payload.fill(0xAA);
    return buildCommandFrame(kRead, code, payload, tail);
}

Bytes buildItemWrite(std::uint8_t code, const ItemData &item, const MacTail &tail)
{
    return buildCommandFrame(kWrite, code, item, tail);
}

Bytes buildDeviceCommand(std::uint8_t code, const MacTail &tail)
{
    ItemData payload;
    payload.fill(0x55);
    return buildCommandFrame(kWrite, code, payload, tail);
}

bool checkShortReply(ByteView b)
{
    return b.size() == kShortFrameSize && b[0] == 'H' && b[1] == ':' && b[24] == 'E' && b[25] == '.' &&
           b[23] == frameChecksum(b.first(23));
}

MacTail frameMacTail(ByteView frame)
{
    MacTail tail{};
    if (frame.size() >= kFrameTailSize) std::copy_n(frame.end() - 6, 3, tail.begin());
    return tail;
}

} // namespace pelmar
