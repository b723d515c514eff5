// What a save puts on the wire, as datagrams with the pauses before them:
// one whole record for the record families, item sequences with their
// commits for the short-frame servers. Pure: no clock, no socket.
#pragma once

#include "common/clock.h"
#include "pelmar/link/routing.h"
#include "pelmar/model/device_entry.h"
#include "pelmar/records/short_items.h"

#include <optional>
#include <vector>

namespace pelmar {

using kyvo::Millis;

inline constexpr Millis kSaveWait{500};                 // before the first write of every save
inline constexpr std::size_t kMaxTargetHostLength = 32; // a longer host stops a short-frame port save
inline constexpr std::size_t kSplitFirstPart = 1399;    // the first datagram of a split record write
inline constexpr Millis kOneClickPause{600};            // one-click: after the device save, before the port save

struct SaveStep
{
    Millis delay{0}; // after the previous step, or after the save starts
    Bytes datagram;  // empty: the save stops here on a target host that is too long
};

struct SavePlan
{
    std::vector<SaveStep> steps;
    // The last step is where a port's target host was found longer than 32
    // characters: "无效的网址！" is shown then, and nothing after it is sent.
    bool invalidHost = false;
    std::size_t invalidPort = 0; // 0-based
};

// The record a device save writes, by the device's flags in order: WiFi
// records, multi-port records (hardware version's third character above
// '1'), native records (register-capable); nothing: short-frame items.
std::optional<RecordFormat> recordWriteFormat(const DeviceEntry &entry);

// The port save writes the whole record (it carries the ports) for
// multi-port records above hardware '1' and for register-capable devices;
// else the ports go item by item.
bool portSaveWritesRecord(const DeviceEntry &entry);

// The datagrams of one record write: one frame, or for a RecordMulti2326
// frame above 1399 bytes to hardware above '2' the frame with 'y' for 'H'
// (checksum over 'H') in two parts, bytes 0..1398 and the rest. Empty when
// the device's form gives no record, and for a native record without a
// stored copy of the last one received (its unread bytes would be zeros).
std::vector<Bytes> recordWriteDatagrams(RecordFormat format, const DeviceEntry &entry);

// The device save: after 500 ms the record, or the items 0x02, 0x03 and 0x07
// 10 ms apart and, unless the port-count character is '1', the commit 10 ms
// later.
SavePlan deviceSavePlan(const DeviceEntry &entry);

// The lengths (GBK bytes) of each short-frame port's target host text as
// the user typed it; a typed text longer than the 32-byte field is kept
// beside the entry, so its length may exceed 32.
using HostLengths = std::array<std::size_t, kShortFramePorts>;
HostLengths storedHostLengths(const DeviceEntry &entry);

// The short-frame port save: after 500 ms, ports 1 and 2 with the packing,
// timeout and heartbeat interval lists, then ports 3 to 8 as the port-count
// character asks, and the commit.
SavePlan portItemsPlan(const DeviceEntry &entry, const HostLengths &hostLengths);

// The items themselves.
ItemData addressItem(const DeviceEntry &entry);                     // 0x02
ItemData macItem(const DeviceEntry &entry);                         // 0x03
ItemData loginItem(const DeviceEntry &entry);                       // 0x07
ItemData hostHalfItem(const PortSettings &port, int half);          // characters 1..16 or 17..32
ItemData heartbeatItem(const PortSettings &port);                   // the first 16 characters
ItemData portListItem(const DeviceEntry &entry, std::uint8_t code); // 0x41, 0x42, 0x43, 0x3F

} // namespace pelmar
