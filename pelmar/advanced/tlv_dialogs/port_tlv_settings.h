// The settings the MQTT, MODBUS-cache and heartbeat dialogs exchange as TLVs
// with a serial server: their requests, what a reply fills in, and the checks
// before a save. Texts are the device's GBK bytes.
#pragma once

#include "pelmar/link/tlv_frame.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pelmar {

inline constexpr int kMaxTlvPorts = 24;

// The debug run of one port: body 00, then the port TLV holding 1B = 1.
Bytes debugRunRequest(std::uint8_t port, const Mac &mac);

// --- MQTT ------------------------------------------------------------------

struct MqttSettings
{
    Bytes server, user, password, clientId, willTopic, willMessage, subscribeTopic, publishTopic, productKey,
        deviceName, deviceSecret;
    std::uint16_t port = 0, keepAlive = 0;
    std::uint8_t qos = 0, will = 0, retain = 0, enabled = 0, cloud = 0, tls = 0, tlsVersion = 0;
    bool operator==(const MqttSettings &) const = default;
};

// One text setting: its TLV type, the longest value a reply may give, the
// longest a save may send and the message when it is longer.
struct MqttTextField
{
    std::uint8_t type;
    Bytes MqttSettings::*member;
    std::size_t readLimit;
    std::size_t saveLimit;
    const char *tooLong; // UTF-8
    const char *name;    // the key in pelmar-cli's JSON
};
// In the order of the checks before a save.
std::span<const MqttTextField> mqttTextFields();

struct MqttNumberField
{
    std::uint8_t type;
    int width; // bytes, big-endian
    const char *name;
};
std::span<const MqttNumberField> mqttNumberFields();
// The number of a numeric field (the field's width); member access by type.
unsigned mqttNumber(const MqttSettings &s, std::uint8_t type);
void setMqttNumber(MqttSettings &s, std::uint8_t type, unsigned value);

inline constexpr std::uint8_t kMqttCloudAlibaba = 1, kMqttCloudMaker = 2;

Bytes mqttReadRequest(std::uint8_t port, const Mac &mac);
Bytes mqttSaveRequest(std::uint8_t port, const MqttSettings &s, const Mac &mac);
// The settings of `port` in a reply (cleared first); values of another port
// or of an unexpected length are skipped.
MqttSettings mqttFromReply(ByteView reply, int port);
// The message of the first setting that does not fit; empty when all fit.
std::string_view mqttCheck(const MqttSettings &s);

// --- MODBUS cache -----------------------------------------------------------

struct CachePort
{
    std::uint8_t on = 0, periodS = 0, timeoutS = 0, intervalRead = 0;
    std::uint16_t delayMs = 0;
    bool operator==(const CachePort &) const = default;
};

inline constexpr int kLearnedSlots = 32;
inline constexpr std::size_t kLearnedCommandMax = 16;

struct CacheSettings
{
    std::array<CachePort, kMaxTlvPorts> ports{};
    std::array<Bytes, kLearnedSlots> learned{};
    std::array<std::uint16_t, kLearnedSlots> learnedCount{};
};

Bytes cacheReadRequest(int portCount, const Mac &mac);
Bytes cacheSaveRequest(std::uint8_t port, const CachePort &values, const Mac &mac);
// Every port 0 .. portCount-1 with the same values.
Bytes cacheCloneRequest(int portCount, const CachePort &values, const Mac &mac);
// Clears `settings` and fills it from the reply.
void cacheFromReply(ByteView reply, CacheSettings &settings);
// The non-empty learned commands, one line each: "%02x " per byte, then "\r\n".
std::string learnedCommandsText(const CacheSettings &settings);
// Whether two neighbouring ports among the first portCount differ.
bool cachePortsDiffer(std::span<const CachePort> ports, int portCount);

// Legacy mode: the flags of ports 1 .. 4 in the main window's entry.
inline constexpr std::uint8_t kCacheFlagOn = 0xAA, kCacheFlagOff = 0x55;
inline constexpr int kLegacyCachePorts = 4;
bool legacyFlagsDiffer(std::span<const std::uint8_t> flags, int portCount);

// --- 48-byte heartbeat packets ----------------------------------------------

inline constexpr std::size_t kHeartbeatMax = 48;

struct HeartbeatSettings
{
    std::uint8_t enable = 0;
    std::array<Bytes, kMaxTlvPorts> packets{};
    bool operator==(const HeartbeatSettings &) const = default;
};

Bytes heartbeatReadRequest(int portCount, const Mac &mac);
// Packets longer than 48 bytes are the caller's to refuse (heartbeatCheck).
Bytes heartbeatSaveRequest(const HeartbeatSettings &s, int portCount, const Mac &mac);
HeartbeatSettings heartbeatFromReply(ByteView reply);
// "heartbead size < 48" when a packet is too long; empty otherwise.
std::string_view heartbeatCheck(const HeartbeatSettings &s);

} // namespace pelmar
