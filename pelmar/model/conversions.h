// The model's small conversions: port count, baud table, MAC texts, the
// WiFi signal, register data as text, and the timeout field by DeviceKind.
#pragma once

#include "pelmar/model/device_entry.h"

#include <optional>
#include <span>

namespace pelmar {

// 'N' 24, 'M' 16, '1' or 'B' 2, any other character c gives c - '0'.
int portCount(char portCountChar);
int portCount(const DeviceEntry &entry);
// portCount cut to the model's 0 .. 24 ports (unknown characters give odd values).
std::size_t usablePortCount(const DeviceEntry &entry);

inline constexpr std::array<std::uint32_t, 17> kBaudTable{600,    1200,   2400,   4800,   9600,   14400,
                                                          19200,  38400,  56000,  57600,  115200, 128000,
                                                          230400, 256000, 460800, 921600, 1024000};

// The rate of a 1-based index; 0 for an index outside the table.
std::uint32_t baudFromIndex(int index);
// The 1-based index of a rate; 17 for a rate that is not in the table.
std::uint8_t indexFromBaud(std::uint32_t rate);

// "00-1A-2B-3C-4D-5E".
std::string macText(const Mac &mac);
std::string macText(const DeviceEntry &entry);
// Every '-' removed, then six hexadecimal pairs; nothing when fewer than six pairs are there.
std::optional<Mac> parseMacText(std::string_view text);

// "%d%% %d" of percent and RSSI, then "100%" above 100 %, "0%" for an RSSI
// of 0 or more, "100%" in the AP and AP-CLIENT modes.
std::string signalText(const DeviceEntry &entry);
struct SignalBar {
    int minimum = 0;
    int maximum = 70;
    int position = 0;
};
SignalBar signalBar(const DeviceEntry &entry);

// With hex: "%02x " per byte; without, the bytes as characters with bytes
// below 32 and 127 as '?'. At most 16 bytes are shown.
std::string registerText(const PortSettings &port, bool hex);

// The timeout field: the 16-bit timeout for DeviceKind 1, else serialType x 10.
int shownTimeout(std::uint8_t deviceKind, const PortSettings &port);
// A typed value: the timeout for DeviceKind 1, else serialType := value / 10
// (each cut to its field's width).
void storeTypedTimeout(std::uint8_t deviceKind, PortSettings &port, std::uint32_t value);

// The serial type list's selection (serialType - 1) when it is shown:
// port 1's serialType is not 0 and this port's is below 4; else nothing
// (the list is disabled on its first item). A serialType of 0 gives -1: the
// list is enabled with nothing selected.
std::optional<int> shownSerialType(const DeviceEntry &entry, std::size_t portIndex);

} // namespace pelmar
