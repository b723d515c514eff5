// The main window's rules as pure functions: the numeric check of typed
// numbers, the duplicate local port, typed register data, the port list's
// items, and which controls the work mode, the Modbus box and the WiFi mode
// enable. The window applies them; tests call them directly.
#pragma once

#include "pelmar/model/device_entry.h"

#include <optional>
#include <string_view>

namespace pelmar {

// Decimal digits only (an empty text passes as 0) and a value not above
// max; nothing otherwise.
std::optional<std::uint32_t> checkNumber(std::string_view text, std::uint32_t max);

// Plain decimal conversion (leading digits, else 0) cut to 16 bits.
std::uint16_t typedU16(std::string_view text);

// The first port below the device's port count, other than this one, whose
// local port is this value.
std::optional<std::size_t> duplicateLocalPort(const DeviceEntry &entry, std::size_t port,
                                              std::uint16_t value);

// Register data as typed (GBK bytes): with hex, blanks removed and digits
// read in pairs (an odd last digit is a byte of its own), nothing for
// another character; without, the characters are the bytes. At most 16
// bytes are kept, the rest is cut.
std::optional<Bytes> typedRegisterData(std::string_view text, bool hex);
void storeRegisterData(PortSettings &port, const Bytes &data);

// "%02x %02x %02x %02x %02x %02x": the MAC as register data.
std::string macAsRegisterText(const Mac &mac);

// Items of "端口选择" by the port-count character: 2, 4, 6, 8, 16 or 24;
// nothing for a character that names no list (it is left as it is).
std::optional<int> portListSize(char portCountChar);

// Work mode (1 TCP_SERVER, 2 TCP_CLIENT, 3 UDP_SERVER, 4 UDP_CLIENT).
struct WorkModeRule
{
    bool target = false;          // "目标IP/域名", "目标端口": the client modes
    bool heartbeat = false;       // "心跳包数据", "心跳包间隔": TCP_CLIENT
    bool registerMode = false;    // "注册包模式": TCP_CLIENT
    bool registerDataOff = false; // other modes also turn "注册包数据" and "HEX" off
};
WorkModeRule workModeRule(int workMode);

struct ModbusRule
{
    bool timeout = false;       // "Timeout" and "ModbusAddress"
    bool marker = false;        // the ">>" beside them
    bool hideAddressRow = true; // unticked hides the "ModbusAddress" row; ticked leaves it as it is
    bool cacheButton = false;   // "MODBUS缓存数据": ticked and TCP_SERVER
};
ModbusRule modbusRule(bool ticked, int workMode);

// WiFi mode list index: 0 AP, 1 STA, 2 AP-CLIENT.
struct WifiModeRule
{
    bool ap = false;   // the AP SSID and password
    bool sta = false;  // the STA SSID and password
    bool scan = false; // "搜索"
    bool warn = false; // the AP-CLIENT warning, when the user chose it
};
WifiModeRule wifiModeRule(int modeIndex);

} // namespace pelmar
