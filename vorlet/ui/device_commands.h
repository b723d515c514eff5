// The short device messages of the main window's commands: restart, the two
// factory resets, debug output, the device clock and the ping test.
#pragma once

#include "vorlet/link/link_frame.h"

#include <string>
#include <string_view>

namespace vorlet {

// BA 3A S 06 00 00 M "E" "." (14 bytes).
Bytes restartMessage(std::uint8_t scope, const Mac &mac);
// BA 3A S 05 00 01 00|01 M "E" "." (15 bytes); deep sends 01.
Bytes factoryResetMessage(std::uint8_t scope, const Mac &mac, bool deep);
// A write of item 0x07: 00, 07, 00, n+1, flag, the n address characters.
Bytes debugMessage(std::uint8_t scope, const Mac &mac, bool on, std::string_view address);
// BA 3A S 03 00 01 B5 M "E" "." (15 bytes).
Bytes pingMessage(std::uint8_t scope, const Mac &mac);

// The PC's local time as the device clock item carries it.
struct DeviceTime
{
    int yearSince1900 = 0;
    int month = 0; // 0..11
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0; // 0 Sunday .. 6 Saturday
};
// A write of item 0xB0 (26 bytes): 00 B0 00 08, the seven values, 00.
Bytes clockMessage(std::uint8_t scope, const Mac &mac, const DeviceTime &time);

// Where the device sends its debug output: the socket's own address, or
// "255.255.255.255" when the socket is bound to any address or the search
// stays on the local segment (scope 0).
std::string debugAddressText(std::uint8_t scope, std::uint32_t localAddress);

Mac recordMac(const std::uint8_t (&mac)[6]);

} // namespace vorlet
