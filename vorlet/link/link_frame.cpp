// Link frame building, fragmentation with pacing, and frame checks.
#include "vorlet/link/link_frame.h"

#include <algorithm>

namespace vorlet {

using kyvo::Millis;

Bytes buildLinkFrame(std::uint8_t start, std::uint8_t end, std::uint32_t total, std::uint16_t index,
                     ByteView payload, ByteView mac)
{
    Bytes frame;
    frame.reserve(payload.size() + kFrameOverhead);
    frame.push_back(start);
    frame.push_back(std::uint8_t(total >> 16));
    frame.push_back(std::uint8_t(total >> 8));
    frame.push_back(std::uint8_t(total));
    kyvo::putBe16(frame, std::uint16_t(payload.size()));
    kyvo::putBe16(frame, index);
    kyvo::putBytes(frame, payload);
    std::array<std::uint8_t, 6> macBytes{};
    std::copy_n(mac.begin(), std::min<std::size_t>(6, mac.size()), macBytes.begin());
    frame.insert(frame.end(), macBytes.begin(), macBytes.end());
    frame.push_back(end);
    return frame;
}

Mac messageMac(ByteView message)
{
    Mac mac{};
    if (message.size() >= 8) std::copy_n(message.end() - 8, 6, mac.begin());
    return mac;
}

std::vector<kyvo::PacedStep> fragmentMessage(ByteView message, kyvo::Ipv4Endpoint destination)
{
    std::vector<kyvo::PacedStep> steps;
    const std::size_t length = message.size();
    if (length == 0 || length > 256 * kMaxFragment) return steps;
    const Mac mac = messageMac(message);
    const std::size_t full = length / kMaxFragment;
    const std::size_t rest = length % kMaxFragment;
    for (std::size_t i = 0; i < full; ++i) {
        steps.push_back({i == 0 ? Millis{0} : kFragmentPause, destination,
                         buildLinkFrame(kPcStart, kPcEnd, std::uint32_t(length), std::uint16_t(i),
                                        message.subspan(i * kMaxFragment, kMaxFragment), mac)});
    }
    // After the last full fragment: its own 30 ms, then the closing 30 ms.
    const Millis beforeLast = full ? 2 * kFragmentPause : kFragmentPause;
    if (rest == 0) {
        steps.push_back({beforeLast, destination, {}});
    } else {
        steps.push_back({beforeLast, destination,
                         buildLinkFrame(kPcStart, kPcEnd, std::uint32_t(length), std::uint16_t(full),
                                        message.subspan(full * kMaxFragment), mac)});
    }
    return steps;
}

std::vector<Bytes> deviceFrames(ByteView message, ByteView mac, std::size_t fragmentSize)
{
    std::vector<Bytes> frames;
    fragmentSize = std::clamp<std::size_t>(fragmentSize, 1, kMaxFragment);
    for (std::size_t offset = 0, index = 0; offset < message.size(); offset += fragmentSize, ++index) {
        const std::size_t n = std::min(fragmentSize, message.size() - offset);
        frames.push_back(buildLinkFrame(kDeviceStart, kDeviceEnd, std::uint32_t(message.size()),
                                        std::uint16_t(index), message.subspan(offset, n), mac));
    }
    return frames;
}

std::optional<LinkFrameView> parseDeviceFrame(ByteView datagram)
{
    if (datagram.size() < kFrameOverhead) return std::nullopt;
    if (datagram.front() != kDeviceStart || datagram.back() != kDeviceEnd) return std::nullopt;
    LinkFrameView view;
    view.total = kyvo::readBe24(datagram.data() + 1);
    const std::size_t n = kyvo::readBe16(datagram.data() + 4);
    view.index = kyvo::readBe16(datagram.data() + 6);
    if (n + kFrameOverhead > datagram.size()) return std::nullopt;
    view.payload = datagram.subspan(8, n);
    std::copy_n(datagram.begin() + 8 + std::ptrdiff_t(n), 6, view.mac.begin());
    return view;
}

} // namespace vorlet
