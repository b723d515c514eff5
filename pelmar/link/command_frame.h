// The serial servers' "H:" command frames: build, check, and the fixed
// 26-byte requests of search, item reads and writes and device commands.
#pragma once

#include "common/bytes.h"

#include <array>
#include <cstdint>

namespace pelmar {

using kyvo::Bytes;
using kyvo::ByteView;
using MacTail = std::array<std::uint8_t, 3>; // the last three bytes of a server's MAC
using Mac = std::array<std::uint8_t, 6>;
using ItemData = std::array<std::uint8_t, 16>;

inline constexpr std::uint16_t kDevicePort = 1111;         // the servers' port
inline constexpr std::uint16_t kMainLocalPort = 4601;      // the main socket
inline constexpr std::uint16_t kSubDialogLocalPort = 8888; // the sub-dialogs' sockets
inline constexpr std::size_t kShortFrameSize = 26;
inline constexpr std::size_t kFrameHeaderSize = 4;  // "H:", direction, code
inline constexpr std::size_t kFrameTailSize = 6;    // MacTail, checksum, "E."
inline constexpr std::size_t kReceiveBufferSize = 5120;

inline constexpr std::uint8_t kRead = 'R';
inline constexpr std::uint8_t kWrite = 'W';

namespace code {
inline constexpr std::uint8_t kSearch = 0x01;
inline constexpr std::uint8_t kRecordWrite = 0x02;  // 'W': WiFi and multi-port records
inline constexpr std::uint8_t kRestart = 0x08;
inline constexpr std::uint8_t kFactoryReset = 0x09;
inline constexpr std::uint8_t kEnterUpgrade = 0x16;
inline constexpr std::uint8_t kNativeWrite = 0x44; // 'W' 'D': native records
inline constexpr std::uint8_t kCommit = 0x49;       // short-frame devices keep their item writes
inline constexpr std::uint8_t kRecordReply = 'P';
inline constexpr std::uint8_t kNativeReply = 0x01;
inline constexpr std::uint8_t kWriteAccepted = 0x10;
inline constexpr std::uint8_t kWriteRefused = 0x11;
inline constexpr std::uint8_t kWifiScan = 0x9F;
} // namespace code

// Sum of the bytes modulo 256.
std::uint8_t frameChecksum(ByteView bytes);

// Header, payload, MacTail, the checksum over everything before it, "E.".
Bytes buildCommandFrame(std::uint8_t direction, std::uint8_t code, ByteView payload, const MacTail &tail);

// 'R' 0x01, 01 01 01 01 and twelve AA, MacTail 00 00 00.
Bytes buildSearchRequest();
// 'R' code, sixteen AA.
Bytes buildItemRead(std::uint8_t code, const MacTail &tail);
// 'W' code with the item's sixteen bytes.
Bytes buildItemWrite(std::uint8_t code, const ItemData &item, const MacTail &tail);
// 'W' code, sixteen 55: restart, factory reset, entering the upgrade, commit.
Bytes buildDeviceCommand(std::uint8_t code, const MacTail &tail);

// A 26-byte datagram with "H:" first, "E." last and byte 23 the sum of bytes 0..22.
bool checkShortReply(ByteView bytes);

// Bytes n-6 .. n-4: the MacTail of any frame (zeros when it is too short).
MacTail frameMacTail(ByteView frame);

} // namespace pelmar
