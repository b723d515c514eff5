// One-click configuration: an imported parameter file's settings onto a
// device, before the device save and the port save.
#pragma once

#include "pelmar/model/device_entry.h"

namespace pelmar {

// A file of a device with as many ports or more fits.
bool importedPortsFit(const DeviceEntry &imported, const DeviceEntry &target);

// Copies the network, user and WiFi settings and all 24 ports with every
// setting a file carries (and the fixed values of the import); the MAC, the
// versions, the WiFi security and encryption, everything else of the target
// and the port fields no file carries (serial type, the unnamed serial
// bytes, cloud credentials, one-to-many addresses) stay. The file's time-out
// goes into the time-out field, whatever the target's DeviceKind.
void applyImportedEntry(const DeviceEntry &imported, DeviceEntry &target);

} // namespace pelmar
