// .cfg files: a gateway's parameter record on disk, byte for byte.
#pragma once

#include "vorlet/record/parameter_record.h"

#include <string>

namespace vorlet {

// "hx-config-<version text>-<model>-rwpV242.cfg".
std::string defaultConfigName(const ParameterRecord &record);

enum class ConfigFileStatus { Done, CannotOpen, CannotWrite, Empty };

// Writes the whole record from the start of the file. An existing file is
// written over in place (not cut first), as the earlier tools did.
ConfigFileStatus exportConfig(const ParameterRecord &record, const std::string &path);

// Reads up to one record's worth of bytes over the record, then puts the
// record's own MAC and the address it was seen from back, so a file never
// changes which device the record addresses (by MAC, or by address across
// routers). A shorter file changes only the beginning of the record. A
// missing, unreadable or empty file changes nothing.
ConfigFileStatus loadConfigOver(ParameterRecord &record, const std::string &path, std::size_t *bytesRead = nullptr);
// The same over a file's bytes already read (at most one record's worth is used).
void loadConfigBytesOver(ParameterRecord &record, kyvo::ByteView file);

} // namespace vorlet
