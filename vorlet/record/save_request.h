// The write request (command 0x04) that carries a whole record back to its gateway.
#pragma once

#include "vorlet/record/parameter_record.h"
#include "vorlet/record/tlv.h"

namespace vorlet {

inline constexpr std::size_t kSaveRequestLimit = 80960;

// BA 3A scope 04, body length, the prefix byte 0x01, every writable item in
// the gateway's order, the serial block, both channel blocks, MAC, "E" ".".
// Every value is the record's current content.
Bytes buildSaveRequest(const ParameterRecord &record, std::uint8_t scope);

// The item values of the areas that travel in the save request, for reuse
// by the device simulator's tests and the item-writing dialogs.
Bytes pollTableValue(const ParameterRecord &record);
Bytes canSettingsValue(const ParameterRecord &record);

} // namespace vorlet
