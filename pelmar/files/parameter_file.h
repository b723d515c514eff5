// Parameter files: one serial server's device and port settings as an INI
// file, written section by section and read back with defaults.
#pragma once

#include "common/profile_file.h"
#include "pelmar/model/device_entry.h"

#include <QString>

#include <optional>

namespace pelmar {

// The texts of the port lists, in their order (index 1 is the first).
extern const std::array<const char *, 4> kParityTexts;   // "NONE", "EVEN", "ODD", "SPACE"
extern const std::array<const char *, 3> kStopBitTexts;  // "1", "1.5", "2"
extern const std::array<const char *, 4> kWorkModeTexts; // "TCP_SERVER", ...

// "<versionExtra[0..4]>-<firmwareVersion[0..1]>" up to the first zero, then
// ".ini". Only printable characters that a file name may hold stay; every
// other byte becomes '_'.
QString proposedParameterFileName(const DeviceEntry &entry);

// "Info", the device section, then one section per port of the device.
kyvo::ProfileFile exportParameters(const DeviceEntry &entry);

// A new entry from the file: every key with its default, all 24 ports, and
// the fixed values the file does not carry.
DeviceEntry importParameters(const kyvo::ProfileFile &file);

// The first value of the file that the import would not take as it is
// written: an address that is not four numbers 0..255, a number beyond its
// field (a port above 65535), a list text that is not in its list. The key,
// with its port for port keys ("LocalPort (PORT3)"); nothing when every
// value is sound. Missing keys are sound: they take their defaults.
std::optional<QString> badParameterValue(const kyvo::ProfileFile &file);

// The imported entry's port count character is one the tool can configure
// ('1', '2', '4', '6', '8', 'M', 'N').
bool validImportedPortCount(const DeviceEntry &entry);

// The list lookup of the import: case-insensitive, entries that begin with
// the text, from the second entry to the last and then the first; the
// 0-based position, or -1.
int lookupListText(const QByteArray &text, std::span<const char *const> entries);

} // namespace pelmar
