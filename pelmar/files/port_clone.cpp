// Port setting clones.
#include "pelmar/files/port_clone.h"

#include "pelmar/model/conversions.h"

#include <algorithm>

namespace pelmar {

namespace {

bool sameRegisterData(const PortSettings &a, const PortSettings &b)
{
    if (a.registerLength != b.registerLength) return false;
    // Bytes beyond the length are not part of the data and not copied.
    const std::size_t n = std::min<std::size_t>(a.registerLength, kRegisterDataSize);
    return std::equal(a.registerData.begin(), a.registerData.begin() + std::ptrdiff_t(n),
                      b.registerData.begin());
}

// Whether two ports hold the same value of the row's setting. The timeout
// lives in serialType on devices whose DeviceKind is not 1.
bool same(const DeviceEntry &e, const PortSettings &a, const PortSettings &b, CloneRow row)
{
    switch (row) {
    case CloneRow::Baud:
        return a.baudIndex == b.baudIndex;
    case CloneRow::Parity:
        return a.parity == b.parity;
    case CloneRow::DataBits:
        return a.dataBits == b.dataBits;
    case CloneRow::StopBits:
        return a.stopBits == b.stopBits;
    case CloneRow::PackTime:
        return a.packTime == b.packTime;
    case CloneRow::PackLength:
        return a.packLength == b.packLength;
    case CloneRow::WorkMode:
        return a.workMode == b.workMode;
    case CloneRow::TargetHost:
        return a.targetHost == b.targetHost;
    case CloneRow::TargetPort:
        return a.targetPort == b.targetPort;
    case CloneRow::LocalPort:
        return std::uint16_t(a.localPort + 1) == b.localPort;
    case CloneRow::HeartbeatData:
        return a.heartbeatData == b.heartbeatData;
    case CloneRow::HeartbeatInterval:
        return a.heartbeatInterval == b.heartbeatInterval;
    case CloneRow::RegisterMode:
        return a.registerMode == b.registerMode;
    case CloneRow::RegisterData:
        return sameRegisterData(a, b);
    case CloneRow::ModbusTimeout:
        return a.modbusTcpToRtu == b.modbusTcpToRtu &&
               shownTimeout(e.deviceKind, a) == shownTimeout(e.deviceKind, b);
    case CloneRow::ModbusAddress:
        return a.modbusAddress == b.modbusAddress;
    case CloneRow::CustomBaud:
        return a.customBaud == b.customBaud;
    }
    return true;
}

void copy(const DeviceEntry &e, const PortSettings &from, PortSettings &to, CloneRow row)
{
    switch (row) {
    case CloneRow::Baud:
        to.baudIndex = from.baudIndex;
        break;
    case CloneRow::Parity:
        to.parity = from.parity;
        break;
    case CloneRow::DataBits:
        to.dataBits = from.dataBits;
        break;
    case CloneRow::StopBits:
        to.stopBits = from.stopBits;
        break;
    case CloneRow::PackTime:
        to.packTime = from.packTime;
        break;
    case CloneRow::PackLength:
        to.packLength = from.packLength;
        break;
    case CloneRow::WorkMode:
        to.workMode = from.workMode;
        break;
    case CloneRow::TargetHost:
        to.targetHost = from.targetHost;
        break;
    case CloneRow::TargetPort:
        to.targetPort = from.targetPort;
        break;
    case CloneRow::LocalPort:
        break; // by order, see cloneSetting
    case CloneRow::HeartbeatData:
        to.heartbeatData = from.heartbeatData;
        break;
    case CloneRow::HeartbeatInterval:
        to.heartbeatInterval = from.heartbeatInterval;
        break;
    case CloneRow::RegisterMode:
        to.registerMode = from.registerMode;
        break;
    case CloneRow::RegisterData: {
        const std::size_t n = std::min<std::size_t>(from.registerLength, kRegisterDataSize);
        to.registerLength = std::uint8_t(n);
        std::copy_n(from.registerData.begin(), n, to.registerData.begin());
        break;
    }
    case CloneRow::ModbusTimeout:
        to.modbusTcpToRtu = from.modbusTcpToRtu;
        storeTypedTimeout(e.deviceKind, to, std::uint32_t(shownTimeout(e.deviceKind, from)));
        break;
    case CloneRow::ModbusAddress:
        to.modbusAddress = from.modbusAddress;
        break;
    case CloneRow::CustomBaud:
        to.customBaud = from.customBaud;
        break;
    }
}

} // namespace

CloneResult cloneSetting(DeviceEntry &e, std::size_t shownPort, CloneRow row)
{
    const std::size_t n = usablePortCount(e);
    if (shownPort >= n) return CloneResult::NoPort;
    if (row == CloneRow::LocalPort) {
        if (shownPort != 0) return CloneResult::OnlyFromFirstPort;
        for (std::size_t k = 1; k < n; ++k)
            e.ports[k].localPort = std::uint16_t(e.ports[0].localPort + k);
        return CloneResult::Done;
    }
    const PortSettings from = e.ports[shownPort];
    for (std::size_t k = 0; k < n; ++k)
        copy(e, from, e.ports[k], row);
    return CloneResult::Done;
}

bool cloneChangesSomething(const DeviceEntry &e, CloneRow row)
{
    const std::size_t n = usablePortCount(e);
    for (std::size_t k = 0; k + 1 < n; ++k)
        if (!same(e, e.ports[k], e.ports[k + 1], row)) return true;
    return false;
}

} // namespace pelmar
