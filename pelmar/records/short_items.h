// The short-frame item protocol: one item of at most 16 bytes per 26-byte
// frame, read and written by code; replies are taken over into the entry.
#pragma once

#include "pelmar/model/device_table.h"

#include <optional>

namespace pelmar {

// Read/write codes of a port's items (ports 1 .. 8), and their reply codes.
struct PortItemCodes {
    std::uint8_t serial, serialReply;
    std::uint8_t hostFirst, hostFirstReply;   // characters 1 .. 16 of the target host
    std::uint8_t hostSecond, hostSecondReply; // characters 17 .. 32
    std::uint8_t heartbeat, heartbeatReply;
};
inline constexpr std::size_t kShortFramePorts = 8;
const PortItemCodes &portItemCodes(std::size_t portIndex); // 0 .. 7

struct ItemOutcome {
    enum class Kind {
        Ignored,       // fails the 26-byte check, an unknown code, or a device not in the table
        WriteAccepted, // 0x10
        WriteRefused,  // 0x11
        Stored,        // an item stored into the device's entry
    };
    Kind kind = Kind::Ignored;
    std::optional<std::size_t> index; // the device, for Stored
    bool showDevice = false;          // the reply that completes the device's last port
};

// One 26-byte reply. The device is the present slot of the reply's MacTail
// (bytes 20..22); an item from a device that is not in the table is not
// stored anywhere.
ItemOutcome takeOverItem(DeviceTable &table, ByteView frame);

// The item bytes of a port's serial item, as written (and as read).
ItemData serialItem(const PortSettings &port);

} // namespace pelmar
