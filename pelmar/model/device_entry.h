// The tool's own model of one serial server and its ports: every record
// family is read into it and written from it.
#pragma once

#include "pelmar/link/command_frame.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace pelmar {

inline constexpr std::size_t kMaxPorts = 24;
inline constexpr std::size_t kRegisterDataSize = 16;

// A text of at most N bytes (GBK), zero-padded; a text of full width has no
// terminator. Setting a longer text cuts it to the width.
template <std::size_t N> struct TextField {
    std::array<std::uint8_t, N> bytes{};

    static constexpr std::size_t width() { return N; }
    std::size_t length() const
    {
        return std::size_t(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin());
    }
    std::string text() const { return std::string(reinterpret_cast<const char *>(bytes.data()), length()); }
    void set(std::string_view text)
    {
        bytes.fill(0);
        std::copy_n(text.begin(), std::min(text.size(), N), bytes.begin());
    }
    // A received text field: the text up to its first zero, at most N bytes.
    void assign(ByteView field)
    {
        const std::size_t n = std::min(field.size(), N);
        const auto end = std::find(field.begin(), field.begin() + std::ptrdiff_t(n), 0);
        bytes.fill(0);
        std::copy(field.begin(), end, bytes.begin());
    }
    char at(std::size_t i) const { return i < N ? char(bytes[i]) : 0; }
    friend bool operator==(const TextField &, const TextField &) = default;
};

struct PortSettings {
    std::uint8_t baudIndex = 0;  // 1-based into the baud table
    std::uint8_t parity = 0;     // 1 NONE, 2 EVEN, 3 ODD, 4 SPACE
    std::uint8_t dataBits = 0;   // 7, 8 or 9
    std::uint8_t stopBits = 0;   // 1 "1", 2 "1.5", 3 "2"
    std::uint8_t workMode = 0;   // 1 TCP_SERVER, 2 TCP_CLIENT, 3 UDP_SERVER, 4 UDP_CLIENT
    std::array<std::uint8_t, 4> itemExtra{}; // carried unchanged with the serial parameters
    std::uint16_t targetPort = 0;
    std::uint16_t localPort = 0;
    std::uint8_t enable = 0;          // 1 off, 2 on
    std::uint8_t modbusTcpToRtu = 0;  // 1 off, 2 on
    std::uint8_t serialType = 0;      // 1 RS232, 2 RS485, 3 RS422; the timeout / 10 ms when DeviceKind is not 1
    TextField<32> targetHost;
    std::uint16_t heartbeatInterval = 0; // seconds
    TextField<16> heartbeatData;
    std::uint8_t packTime = 0;       // ms
    std::uint16_t packLength = 0;    // bytes
    std::uint16_t timeout = 0;       // ms, when DeviceKind is 1
    std::array<std::uint8_t, kRegisterDataSize> registerData{};
    std::uint8_t registerMode = 0;   // 0 .. 3
    std::uint8_t registerLength = 0; // valid registerData bytes, at most 16
    std::uint8_t modbusAddress = 0;  // 0 off, 1 .. 255
    std::uint8_t cloudEnable = 0;
    TextField<20> cloudId;
    TextField<8> cloudPassword;
    std::array<std::uint8_t, 4> cloudAddress{};
    std::uint8_t customBaud = 0;
    std::uint8_t oneToManyMapped = 0;
    std::uint8_t oneToManyAddress = 0;
    std::uint8_t standardMqtt = 0;
    std::uint8_t modbusCacheByte = 0; // 0xAA on, 0x55 off (ports 1 .. 4 of some native servers)
    std::uint8_t secondPortCloud = 0; // port 2: the two-port native record carries port 2's cloud fields

    friend bool operator==(const PortSettings &, const PortSettings &) = default;
};

using Ipv4Bytes = std::array<std::uint8_t, 4>; // first octet first

struct DeviceEntry {
    // Bookkeeping of the search.
    bool present = false;
    std::string addressText;       // source address of the latest reply
    std::uint32_t replyPort32 = 0; // its source port, both widths
    std::uint16_t replyPort = 0;
    MacTail macTail{};

    // Record-family flags.
    bool isWifi = false;
    bool wifiExtended = false;
    bool longRecord = false;
    bool native4 = false;
    bool registerCapable = false;

    std::uint8_t deviceKind = 0; // 1 switches the timeout to its 16-bit form
    std::uint8_t modbusIdentity = 0;
    Ipv4Bytes ip{}, mask{}, gateway{}, dns{};
    Mac mac{};
    std::uint8_t ipMode = 0;             // 1 static, 2 DHCP
    std::uint8_t broadcastFilterOff = 0; // 0: the broadcast filter is on
    TextField<4> firmwareVersion;
    TextField<4> hardwareVersion;        // its second character gives the port count
    std::array<std::uint8_t, 8> versionExtra{};
    TextField<8> user;
    TextField<8> password;

    std::uint8_t wifiDhcpServer = 0; // 2 on
    std::uint8_t wifiStp = 0;        // 2 on
    std::uint8_t wifiSecurity = 0;   // AUTO, OPEN, WPA PSK, WPA2 PSK
    std::uint8_t wifiEncryption = 0; // AES, TKIP
    std::uint8_t wifiMode = 0;       // 1 AP, 2 STA, 3 AP-CLIENT
    TextField<32> apSsid;
    TextField<16> apPassword;
    TextField<16> staPassword;
    TextField<32> staSsid;
    std::int8_t wifiRssi = 0; // dBm
    std::uint8_t wifiAux = 0;

    std::uint8_t oneToManyEnable = 0;
    std::uint8_t oneToManyProtocol = 0;

    std::array<PortSettings, kMaxPorts> ports{};

    // The leading bytes of the last native record received, the base of the
    // next native write (empty for other families and the one-port record).
    Bytes nativeCopy;

    char portCountChar() const { return hardwareVersion.at(1); }
};

} // namespace pelmar
