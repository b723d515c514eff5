// The export of a gateway's parameter record to a .cfg file.
#pragma once

#include "vorlet/record/config_file.h"

#include <QString>

namespace vorlet {

// Writes the whole record, byte for byte, through the atomic writer: an older
// file of that name is replaced, never written over in place.
ConfigFileStatus exportConfig(const ParameterRecord &record, const QString &path);

} // namespace vorlet
