// Cloning one port setting of the shown port onto all ports of a device,
// and whether a clone would change anything (its button's enabled state).
#pragma once

#include "pelmar/model/device_entry.h"

#include <cstddef>

namespace pelmar {

// The settings a "克隆" button copies, in the order of the buttons.
enum class CloneRow {
    Baud,
    Parity,
    DataBits,
    StopBits,
    PackTime,
    PackLength,
    WorkMode,
    TargetHost,
    TargetPort,
    LocalPort, // by order: PORT1's value, plus 1, plus 2, ...
    HeartbeatData,
    HeartbeatInterval,
    RegisterMode,
    RegisterData,  // registerLength and that many bytes
    ModbusTimeout, // modbusTcpToRtu and the timeout
    ModbusAddress,
    CustomBaud,
};
inline constexpr std::size_t kCloneRows = std::size_t(CloneRow::CustomBaud) + 1;

enum class CloneResult {
    Done,
    NoPort,            // the shown port is none of the device's
    OnlyFromFirstPort, // the local port is cloned from PORT1 only
};

// Copies the setting of the shown port (0-based) onto ports 1 .. N of the
// device (N from its port-count character), the shown port included.
CloneResult cloneSetting(DeviceEntry &entry, std::size_t shownPort, CloneRow row);

// True while two neighbouring ports among the device's N differ in the
// setting; for the local port, while they are not consecutive.
bool cloneChangesSomething(const DeviceEntry &entry, CloneRow row);

} // namespace pelmar
