// Link frames: a device message cut into fragments of at most 1024 bytes,
// framed CC..DD towards the device and AA..BB back.
#pragma once

#include "common/bytes.h"
#include "common/ipv4.h"
#include "common/paced_queue.h"

#include <array>
#include <optional>

namespace vorlet {

using kyvo::Bytes;
using kyvo::ByteView;
using Mac = std::array<std::uint8_t, 6>;

inline constexpr std::uint16_t kDevicePort = 1111;
inline constexpr std::size_t kMaxFragment = 1024;
inline constexpr std::size_t kFrameOverhead = 15;
inline constexpr kyvo::Millis kFragmentPause{30};

inline constexpr std::uint8_t kPcStart = 0xCC, kPcEnd = 0xDD;
inline constexpr std::uint8_t kDeviceStart = 0xAA, kDeviceEnd = 0xBB;

// One frame; mac is the message's MAC field (bytes L-8..L-3).
Bytes buildLinkFrame(std::uint8_t start, std::uint8_t end, std::uint32_t total, std::uint16_t index,
                     ByteView payload, ByteView mac);

// The MAC field of a device message (zeros when the message is too short).
Mac messageMac(ByteView message);

// The datagrams of one message with the pauses the device's receiver relies
// on: 30 ms after each full fragment, 30 ms more before the last short one
// (so a short message leaves 30 ms after the call). A message of an exact
// multiple of 1024 bytes ends with its last full fragment, and the job still
// lasts the closing 30 ms. Messages beyond 256 fragments are not sendable.
std::vector<kyvo::PacedStep> fragmentMessage(ByteView message, kyvo::Ipv4Endpoint destination);

// The same frames as sent by a device (start 0xAA, end 0xBB), without pauses.
std::vector<Bytes> deviceFrames(ByteView message, ByteView mac, std::size_t fragmentSize = kMaxFragment);

struct LinkFrameView {
    std::uint32_t total = 0;  // length of the whole message
    std::uint16_t index = 0;  // fragment index
    ByteView payload;
    Mac mac{};
};

// A device-to-PC frame: start 0xAA, end 0xBB, and a fragment length that
// fits the datagram. Anything else gives nothing.
std::optional<LinkFrameView> parseDeviceFrame(ByteView datagram);

} // namespace vorlet
