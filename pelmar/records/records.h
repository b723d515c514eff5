// The record families of the serial servers: taking a received record over
// into a DeviceEntry, and building the record (and its frame) for a write.
#pragma once

#include "pelmar/link/routing.h"
#include "pelmar/model/device_entry.h"

#include <optional>

namespace pelmar {

// Record sizes (the frame adds 10 bytes: header 4, MacTail, checksum, "E.").
inline constexpr std::size_t kWifi362Size = 362;
inline constexpr std::size_t kWifi292Size = 292;
inline constexpr std::size_t kMulti1284Size = 1284;
inline constexpr std::size_t kMulti1284ShortSize = 674; // up to 8 ports
inline constexpr std::size_t kMulti2326Size = 2326;
inline constexpr std::size_t kMulti2326MidSize = 1572;  // up to 16 ports
inline constexpr std::size_t kMulti2326ShortSize = 818; // up to 8 ports
inline constexpr std::size_t kFrameOverhead = kFrameHeaderSize + kFrameTailSize;

// Fills the entry from one received record (the bytes between the header
// and the MacTail of its reply; the family and, where it matters, the
// record's length say which layout it is). Sets the family flags. Bytes a
// layout needs beyond the received record read as zero. False when the
// record's length is not one of the family's.
bool takeOverRecord(RecordFormat format, ByteView record, DeviceEntry &entry);

// The length of the frame a write of this family carries for this device:
// 372 / 302 for the WiFi records; 1294 or 684, and 2336, 1582 or 828 for
// the multi-port records by the port count; for native records the form the
// device's flags choose (nothing when none fits).
std::optional<std::size_t> writeFrameLength(RecordFormat format, const DeviceEntry &entry);

// The record for a write (without the frame): WiFi and multi-port records
// from zeros, native records from the stored copy of the last record
// received, every field from the entry. Empty when writeFrameLength gives nothing.
Bytes buildRecord(RecordFormat format, const DeviceEntry &entry);
// A native record of a given frame length (250 .. 760, the forms of the replies).
Bytes buildNativeRecord(const DeviceEntry &entry, std::size_t frameLength);

// The whole write frame: 'W' 0x02 for the WiFi and multi-port records,
// 'W' 'D' for the native ones, with the device's MacTail. Empty when there
// is no record to write.
Bytes buildRecordWriteFrame(RecordFormat format, const DeviceEntry &entry);

// The native record's port count and the part of it that is taken over, by
// the length of the reply; nothing for another length.
struct NativeForm {
    std::size_t ports = 0;
    std::size_t takenOver = 0;
    std::optional<bool> registerCapable; // nothing: left as it is
};
std::optional<NativeForm> nativeFormOfReply(std::size_t replyLength);

} // namespace pelmar
