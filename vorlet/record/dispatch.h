// Checks a complete device message and applies it to the device list.
#pragma once

#include "vorlet/link/device_message.h"
#include "vorlet/record/device_list.h"
#include "vorlet/record/record_parser.h"

namespace vorlet {

struct DispatchResult {
    enum class Kind {
        Ignored,        // failed the envelope, an unknown code, or an answer from an unknown device
        DeviceAdded,    // 0x81 from a new device
        DeviceUpdated,  // 0x81 from a device in the list
        ListFull,       // 0x81 from a new device while the list is full
        QueryAnswer,    // 0x83 parsed into a device in the list
        CommandResult,  // 0x84, 0x85, 0x86
    };
    Kind kind = Kind::Ignored;
    std::uint8_t code = 0;
    std::size_t index = 0;  // the device's row, for the record kinds
    Mac mac{};
    ByteView body;          // after the 2-byte length, for command results; a view into the message
    ParseEvents events;
};

// sender: the IPv4 address the datagram came from (most significant octet
// first); a new device keeps it as the address it was first seen from.
DispatchResult dispatchMessage(DeviceList &devices, std::uint32_t sender, ByteView message);

} // namespace vorlet
