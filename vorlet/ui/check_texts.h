// The texts of the checks the window and vorlet-cli share: a quick-set file
// that is not a whole record or would make the device unreachable, a firmware
// file without an image, and gateways the full list could not take.
#pragma once

#include "vorlet/maintenance/firmware_file.h"
#include "vorlet/record/config_file.h"

#include <QString>

namespace vorlet {

// What a partial file would do, naming the file and its size.
QString partialConfigText(const QString &path, std::uint64_t size, bool english);
// The unusable static address setting of the record a quick set would apply.
QString addressFaultText(AddressFault fault, const ParameterRecord &record, bool english);
// The upgrade's own file texts ("can not open!!!", ...) in Chinese, for its
// language table; an image-less file has a text of its own in both languages.
QString firmwareFileErrorText(FirmwareFileError error, bool english);
// The gateways the list of 512 could not take since the search began;
// beyond: more answered than were counted.
QString unlistedDevicesText(std::size_t count, bool beyond, bool english);

} // namespace vorlet
