// Each family's take-over and builder, joined by records.cpp (internal).
#pragma once

#include "pelmar/records/records.h"

namespace pelmar {

void takeOverWifi362(ByteView record, DeviceEntry &entry);
void takeOverWifi292(ByteView record, DeviceEntry &entry);
Bytes buildWifi362(const DeviceEntry &entry);
Bytes buildWifi292(const DeviceEntry &entry);

void takeOverMulti(bool is2326, ByteView record, DeviceEntry &entry);
Bytes buildMulti(bool is2326, const DeviceEntry &entry, std::size_t recordSize);

void takeOverNative(const NativeForm &form, std::size_t replyLength, ByteView record, DeviceEntry &entry);

} // namespace pelmar
