// The maintenance dialogs' device messages and what they read from the
// record: the customised factory set and its image, the device information
// report and the WiFi scan result. Pure: no Qt, no clock.
#pragma once

#include "vorlet/link/link_frame.h"
#include "vorlet/record/parameter_record.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vorlet {

namespace item {
inline constexpr std::uint8_t kScanResult = 0x86;
inline constexpr std::uint8_t kInfoText = 0xB3;
inline constexpr std::uint8_t kCustomDefaults = 0xB8;
inline constexpr std::uint8_t kImage = 0xB9;
} // namespace item

// BA 3A S 03 00 01 tag M "E" "." (15 bytes): asks the device for one item.
Bytes itemQueryMessage(std::uint8_t scope, const Mac &mac, std::uint8_t tag);

// --- customised factory set -----------------------------------------------

inline constexpr std::size_t kCustomBlockSize = 40;

// "%4d-%02d-%02d %02d:%02d:%02d".
std::string customTimeText(int year, int month, int day, int hour, int minute, int second);

// A write of item 0xB8 (58 bytes): op B8 00 28, then 88, op, six zeros and
// the time text in 32 NUL-padded bytes; op is 1 to save, 0 to clear.
Bytes customDefaultsMessage(std::uint8_t scope, const Mac &mac, bool save, std::string_view timeText);

struct LastCustomOperation
{
    enum Kind { Saved, Cleared, None, Unknown };
    Kind kind = None;
    std::string time; // for Saved and Cleared
};
LastCustomOperation lastCustomOperation(const ParameterRecord &record);

// The parameter image: datagrams of exactly 1025 bytes, block number then
// 1024 bytes. Blocks 0..63 are kept (a repeat replaces its block); higher
// numbers are dropped and counted.
class ImageCollector
{
public:
    static constexpr std::size_t kBlockSize = 1024;
    static constexpr std::size_t kMaxBlocks = 64;
    static constexpr std::size_t kDatagramSize = kBlockSize + 1;

    enum class Take { Stored, Dropped, Ignored };
    Take take(ByteView datagram);

    std::size_t blocksKept() const { return m_kept; }
    std::size_t blocksDropped() const { return m_dropped; }
    // Up to the highest block kept; blocks that never came read as zeros.
    Bytes image() const;

private:
    std::array<bool, kMaxBlocks> m_have{};
    Bytes m_data = Bytes(kMaxBlocks * kBlockSize, 0);
    std::size_t m_kept = 0;
    std::size_t m_dropped = 0;
    std::size_t m_extent = 0; // highest kept block + 1
};

// --- device information ---------------------------------------------------

// "UNKNOWN" .. "SDIO" for 0..9; nullptr above.
const char *resetReasonName(std::uint8_t reason);

// The report's lines, from the record's runtime status.
struct DeviceInfoLines
{
    std::string uptime, memory, identity, partition, link, counters;
};
DeviceInfoLines deviceInfoLines(const ParameterRecord &record);
// The 18 hex digits of the identity.
std::string identityDigits(const ParameterRecord &record);

// --- WiFi scan ------------------------------------------------------------

struct ScanRow
{
    std::string ssid; // UTF-8 as the device sent it
    std::string mac;
    std::string signal;
    std::string authentication; // the mode's name
};
const char *authenticationName(int mode);
// Entries split at ';', fields at '`'; only entries of exactly four fields.
std::vector<ScanRow> parseScanResult(std::string_view text);
// The SSID list with the chosen network appended after ';' (no ';' before
// the first), every space removed.
std::string appendSsid(std::string_view list, std::string_view ssid);

} // namespace vorlet
