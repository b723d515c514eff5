// One-click configuration: an imported parameter file's settings onto a
// device, before the device save and the port save.
#pragma once

#include "pelmar/model/device_entry.h"

namespace pelmar {

// A file of a device with as many ports or more fits.
bool importedPortsFit(const DeviceEntry &imported, const DeviceEntry &target);

// Copies the network, user and WiFi settings and all 24 ports whole; the MAC,
// the versions, the WiFi security and encryption and everything else of the
// target stay.
void applyImportedEntry(const DeviceEntry &imported, DeviceEntry &target);

} // namespace pelmar
