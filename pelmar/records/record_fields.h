// Field groups that several record layouts share (internal to the records).
#pragma once

#include "pelmar/model/device_entry.h"
#include "pelmar/records/record_bytes.h"

namespace pelmar::fields {

// ip, mask, gateway, dns: 16 bytes.
inline void readAddresses(const RecordReader &r, std::size_t at, DeviceEntry &e)
{
    e.ip = r.array<4>(at);
    e.mask = r.array<4>(at + 4);
    e.gateway = r.array<4>(at + 8);
    e.dns = r.array<4>(at + 12);
}
inline void writeAddresses(RecordWriter &w, std::size_t at, const DeviceEntry &e)
{
    w.bytes(at, e.ip);
    w.bytes(at + 4, e.mask);
    w.bytes(at + 8, e.gateway);
    w.bytes(at + 12, e.dns);
}

// firmwareVersion, hardwareVersion, versionExtra: 16 bytes.
inline void readVersions(const RecordReader &r, std::size_t at, DeviceEntry &e)
{
    e.firmwareVersion.assign(r.bytes(at, 4));
    e.hardwareVersion.assign(r.bytes(at + 4, 4));
    e.versionExtra = r.array<8>(at + 8);
}
inline void writeVersions(RecordWriter &w, std::size_t at, const DeviceEntry &e)
{
    w.bytes(at, e.firmwareVersion.bytes);
    w.bytes(at + 4, e.hardwareVersion.bytes);
    w.bytes(at + 8, e.versionExtra);
}

// user, password: 8 bytes each.
inline void readLogin(const RecordReader &r, std::size_t at, DeviceEntry &e)
{
    e.user.assign(r.bytes(at, 8));
    e.password.assign(r.bytes(at + 8, 8));
}
inline void writeLogin(RecordWriter &w, std::size_t at, const DeviceEntry &e)
{
    w.bytes(at, e.user.bytes);
    w.bytes(at + 8, e.password.bytes);
}

// registerData (16) with its length: a length above 16 is first cut to 16,
// then that many bytes are copied, so nothing beyond the 16 bytes is read.
inline void readRegister(const RecordReader &r, std::size_t dataAt, std::size_t modeAt, std::size_t lengthAt,
                         PortSettings &p)
{
    p.registerMode = r.u8(modeAt);
    p.registerLength = std::min<std::uint8_t>(r.u8(lengthAt), std::uint8_t(kRegisterDataSize));
    for (std::size_t i = 0; i < p.registerLength; ++i) p.registerData[i] = r.u8(dataAt + i);
}
inline void writeRegister(RecordWriter &w, std::size_t dataAt, std::size_t modeAt, std::size_t lengthAt,
                          const PortSettings &p)
{
    w.bytes(dataAt, p.registerData);
    w.u8(modeAt, p.registerMode);
    w.u8(lengthAt, std::min<std::uint8_t>(p.registerLength, std::uint8_t(kRegisterDataSize)));
}

// A text field of the entry written into a record field of the same width;
// keepTerminator zeroes the field's last byte.
template <std::size_t N>
void writeText(RecordWriter &w, std::size_t at, const TextField<N> &text, bool keepTerminator)
{
    w.bytes(at, text.bytes);
    if (keepTerminator) w.u8(at + N - 1, 0);
}

} // namespace pelmar::fields
