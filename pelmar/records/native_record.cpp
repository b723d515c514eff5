// The native records (reply code 0x01, little-endian): N serial blocks of
// 52 bytes, the device block at D = 52 N, then port arrays whose places
// depend on N.
#include "pelmar/model/conversions.h"
#include "pelmar/records/record_fields.h"
#include "pelmar/records/records_internal.h"

namespace pelmar {

namespace {

constexpr std::size_t kSerialBlock = 52;
constexpr std::size_t kNoField = SIZE_MAX;

// Offsets from D of the port arrays for one port count; stride per port in brackets.
struct PortArrays {
    std::size_t heartbeatData;     // [20] (N = 1: one port)
    std::size_t heartbeatInterval; // [20] 32-bit LE, the low 16 bits are used
    std::size_t timeout;           // [2]
    std::size_t packLength;        // [2]
    std::size_t packTime;          // [1]
    std::size_t registers;         // [19]: data 0..15, mode 17, length 18
    std::size_t cacheBytes;        // [1]
};

PortArrays arraysFor(std::size_t ports)
{
    switch (ports) {
    case 1: return {115, 132, 148, kNoField, kNoField, kNoField, kNoField};
    case 2: return {74, 92, 118, 128, 132, 134, 240};
    case 4: return {72, 90, 154, 168, 176, 180, 256};
    default: return {72, 90, 194, 212, 224, 230, kNoField};
    }
}

// The cloud fields of the two-port record, from D.
struct CloudFields {
    std::size_t enable, id, password, address, customBaud;
};
constexpr CloudFields kCloudPort1{172, 173, 193, 201, 238};
constexpr CloudFields kCloudPort2{205, 206, 226, 234, 239}; // the 390-byte form only

std::size_t portsOfFrameLength(std::size_t frameLength)
{
    switch (frameLength) {
    case 250: return 1;
    case 270: case 310: case 390: return 2;
    case 470: case 510: return 4;
    case 730: case 760: return 6;
    default: return 0;
    }
}

void readPort(const RecordReader &r, std::size_t ports, std::size_t k, PortSettings &p)
{
    const std::size_t at = kSerialBlock * k;
    p.baudIndex = indexFromBaud(r.le32(at));
    p.dataBits = r.u8(at + 4);
    p.parity = r.u8(at + 5);
    p.stopBits = r.u8(at + 6);
    if (ports >= 2) p.modbusAddress = r.u8(at + 7);
    p.workMode = r.u8(at + 8);
    p.targetPort = r.le16(at + 10);
    p.localPort = r.le16(at + 16);
    p.modbusTcpToRtu = r.u8(at + 18);
    p.targetHost.assign(r.bytes(at + 19, 32));
    p.enable = 2; // the record does not carry it

    const std::size_t d = kSerialBlock * ports;
    const PortArrays a = arraysFor(ports);
    const std::size_t stride = ports == 1 ? 0 : 20;
    p.heartbeatData.assign(r.bytes(d + a.heartbeatData + stride * k, 16));
    p.heartbeatInterval = r.le16(d + a.heartbeatInterval + stride * k);
    p.timeout = r.le16(d + a.timeout + 2 * k);
    if (a.packLength != kNoField) p.packLength = r.le16(d + a.packLength + 2 * k);
    if (a.packTime != kNoField) p.packTime = r.u8(d + a.packTime + k);
    if (a.registers != kNoField) {
        const std::size_t reg = d + a.registers + 19 * k;
        fields::readRegister(r, reg, reg + 17, reg + 18, p);
    }
    if (a.cacheBytes != kNoField) p.modbusCacheByte = r.u8(d + a.cacheBytes + k);
}

void writePort(RecordWriter &w, std::size_t ports, std::size_t k, const PortSettings &p)
{
    const std::size_t at = kSerialBlock * k;
    w.le32(at, baudFromIndex(p.baudIndex));
    w.u8(at + 4, p.dataBits);
    w.u8(at + 5, p.parity);
    w.u8(at + 6, p.stopBits);
    if (ports >= 2) w.u8(at + 7, p.modbusAddress);
    w.u8(at + 8, p.workMode);
    w.le16(at + 10, p.targetPort);
    w.le16(at + 16, p.localPort);
    w.u8(at + 18, p.modbusTcpToRtu);
    fields::writeText(w, at + 19, p.targetHost, false);

    const std::size_t d = kSerialBlock * ports;
    const PortArrays a = arraysFor(ports);
    const std::size_t stride = ports == 1 ? 0 : 20;
    fields::writeText(w, d + a.heartbeatData + stride * k, p.heartbeatData, false);
    // Only the low half of the 32-bit interval: its high half shares bytes
    // with the next port's heartbeat data and keeps what the copy holds.
    w.le16(d + a.heartbeatInterval + stride * k, p.heartbeatInterval);
    w.le16(d + a.timeout + 2 * k, p.timeout);
    if (a.packLength != kNoField) w.le16(d + a.packLength + 2 * k, p.packLength);
    if (a.packTime != kNoField) w.u8(d + a.packTime + k, p.packTime);
    if (a.registers != kNoField) {
        const std::size_t reg = d + a.registers + 19 * k;
        fields::writeRegister(w, reg, reg + 17, reg + 18, p);
    }
    if (a.cacheBytes != kNoField) w.u8(d + a.cacheBytes + k, p.modbusCacheByte);
}

void readCloud(const RecordReader &r, std::size_t d, const CloudFields &c, PortSettings &p)
{
    p.cloudEnable = r.u8(d + c.enable);
    p.cloudId.assign(r.bytes(d + c.id, 20));
    p.cloudPassword.assign(r.bytes(d + c.password, 8));
    p.cloudAddress = r.array<4>(d + c.address);
    p.customBaud = r.u8(d + c.customBaud);
}

void writeCloud(RecordWriter &w, std::size_t d, const CloudFields &c, const PortSettings &p)
{
    w.u8(d + c.enable, p.cloudEnable);
    fields::writeText(w, d + c.id, p.cloudId, false);
    fields::writeText(w, d + c.password, p.cloudPassword, false);
    w.bytes(d + c.address, p.cloudAddress);
    w.u8(d + c.customBaud, p.customBaud);
}

} // namespace

std::optional<NativeForm> nativeFormOfReply(std::size_t replyLength)
{
    switch (replyLength) {
    case 250: return NativeForm{1, 204, std::nullopt};
    case 270: return NativeForm{2, 348, false};
    case 310:
    case 390: return NativeForm{2, 348, true};
    case 470: return NativeForm{4, 468, false};
    case 510: return NativeForm{4, 468, true};
    case 730: return NativeForm{6, 656, false};
    case 760: return NativeForm{6, 656, true};
    default: return std::nullopt;
    }
}

void takeOverNative(const NativeForm &form, std::size_t replyLength, ByteView record, DeviceEntry &e)
{
    // Only the leading part is taken over; where a reply is shorter than that
    // part, the missing bytes read as zero (the frame's tail never reaches a field).
    const Bytes taken = RecordReader(record).bytes(0, form.takenOver);
    const RecordReader r(taken);
    const std::size_t n = form.ports;
    const std::size_t d = kSerialBlock * n;
    e.deviceKind = 1;
    if (form.registerCapable) e.registerCapable = *form.registerCapable;
    e.ip = r.array<4>(d);
    e.gateway = r.array<4>(d + 4);
    e.mask = r.array<4>(d + 8);
    e.dns = r.array<4>(d + 12);
    e.ipMode = r.u8(d + 16);
    e.mac = r.array<6>(d + 20);
    fields::readVersions(r, d + 26, e);
    fields::readLogin(r, d + 42, e);
    for (std::size_t k = 0; k < n; ++k) readPort(r, n, k, e.ports[k]);
    if (n == 2) {
        readCloud(r, d, kCloudPort1, e.ports[0]);
        const bool second = replyLength == 390;
        if (second) readCloud(r, d, kCloudPort2, e.ports[1]);
        e.ports[1].secondPortCloud = second ? 1 : 0;
    }
    if (n == 4 && e.firmwareVersion.at(1) == '2') e.native4 = true;
    if (n == 1) e.nativeCopy.clear();
    else e.nativeCopy = taken;
}

Bytes buildNativeRecord(const DeviceEntry &e, std::size_t frameLength)
{
    const std::size_t n = portsOfFrameLength(frameLength);
    if (n == 0) return {};
    Bytes record = RecordReader(e.nativeCopy).bytes(0, frameLength - kFrameOverhead);
    RecordWriter w(record);
    const std::size_t d = kSerialBlock * n;
    w.bytes(d, e.ip);
    w.bytes(d + 4, e.gateway);
    w.bytes(d + 8, e.mask);
    w.bytes(d + 12, e.dns);
    w.u8(d + 16, e.ipMode);
    w.bytes(d + 20, e.mac);
    fields::writeVersions(w, d + 26, e);
    fields::writeLogin(w, d + 42, e);
    for (std::size_t k = 0; k < n; ++k) writePort(w, n, k, e.ports[k]);
    if (n == 2) {
        writeCloud(w, d, kCloudPort1, e.ports[0]);
        if (frameLength == 390) writeCloud(w, d, kCloudPort2, e.ports[1]);
    }
    return record;
}

} // namespace pelmar
