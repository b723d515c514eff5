// .cfg files: a gateway's parameter record on disk, byte for byte.
#pragma once

#include "vorlet/record/parameter_record.h"

#include <cstdint>
#include <string>

namespace vorlet {

// "hx-config-<version text>-<model>-rwpV242.cfg".
std::string defaultConfigName(const ParameterRecord &record);

enum class ConfigFileStatus { Done, CannotOpen, CannotWrite, Empty };

// Reads up to one record's worth of bytes over the record, then puts the
// record's own MAC and the address it was seen from back, so a file never
// changes which device the record addresses (by MAC, or by address across
// routers). A shorter file changes only the beginning of the record. A
// missing, unreadable or empty file changes nothing.
ConfigFileStatus loadConfigOver(ParameterRecord &record, const std::string &path, std::size_t *bytesRead = nullptr);
// The same over a file's bytes already read (at most one record's worth is used).
void loadConfigBytesOver(ParameterRecord &record, kyvo::ByteView file);

// A quick set's file read over a copy of the device's record. Only a file of
// exactly one record is a whole configuration; anything else overwrites just
// the beginning of the record and is applied only when the user insists.
struct QuickSetFile
{
    ConfigFileStatus status = ConfigFileStatus::CannotOpen;
    std::uint64_t size = 0; // the file's size in bytes
    bool wholeRecord() const { return status == ConfigFileStatus::Done && size == kRecordSize; }
};
QuickSetFile readQuickSetFile(ParameterRecord &record, const std::string &path);

// A static address setting that would leave the device unreachable. Records
// of a DHCP device are not checked: it does not use these fields.
enum class AddressFault { None, Address, Mask, Gateway };
AddressFault staticAddressFault(const ParameterRecord &record);

} // namespace vorlet
