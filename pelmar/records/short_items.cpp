// Short-frame item replies.
#include "pelmar/records/short_items.h"

#include "pelmar/records/record_bytes.h"

namespace pelmar {

namespace {

constexpr PortItemCodes kPortCodes[kShortFramePorts] = {
    {0x04, 0x53, 0x12, 0x57, 0x13, 0x58, 0x37, 0x90}, {0x05, 0x54, 0x14, 0x59, 0x15, 0x60, 0x38, 0x91},
    {0x17, 0x61, 0x19, 0x63, 0x20, 0x64, 0x39, 0x92}, {0x18, 0x62, 0x21, 0x65, 0x22, 0x66, 0x3A, 0x93},
    {0x24, 0x68, 0x26, 0x70, 0x27, 0x71, 0x3B, 0x94}, {0x25, 0x69, 0x28, 0x72, 0x29, 0x73, 0x3C, 0x95},
    {0x30, 0x74, 0x32, 0x76, 0x33, 0x77, 0x3D, 0x96}, {0x31, 0x75, 0x34, 0x78, 0x36, 0x79, 0x3E, 0x97},
};

void storeSerial(const RecordReader &r, PortSettings &p)
{
    p.baudIndex = r.u8(0);
    p.parity = r.u8(1);
    p.dataBits = r.u8(2);
    p.stopBits = r.u8(3);
    p.workMode = r.u8(4);
    p.itemExtra = r.array<4>(5);
    p.targetPort = r.be16(9);
    p.localPort = r.be16(11);
    p.enable = r.u8(13);
    p.modbusTcpToRtu = r.u8(14);
    p.serialType = r.u8(15);
}

// A device item; false for a code that is not one.
bool storeDeviceItem(std::uint8_t code, const RecordReader &r, DeviceEntry &e)
{
    switch (code) {
    case 0x51:
        e.ip = r.array<4>(0);
        e.mask = r.array<4>(4);
        e.gateway = r.array<4>(8);
        e.dns = r.array<4>(12);
        return true;
    case 0x52:
        e.mac = r.array<6>(0);
        e.ipMode = r.u8(6);
        e.broadcastFilterOff = r.u8(7);
        return true;
    case 0x55:
        e.firmwareVersion.assign(r.bytes(0, 4));
        e.hardwareVersion.assign(r.bytes(4, 4));
        e.versionExtra = r.array<8>(8);
        return true;
    case 0x56:
        e.user.assign(r.bytes(0, 8));
        e.password.assign(r.bytes(8, 8));
        return true;
    case 0x98:
        for (std::size_t k = 0; k < kShortFramePorts; ++k) e.ports[k].heartbeatInterval = r.le16(2 * k);
        return true;
    case 0x9B:
        for (std::size_t k = 0; k < kShortFramePorts; ++k) e.ports[k].packTime = r.u8(k);
        return true;
    case 0x9C:
        for (std::size_t k = 0; k < kShortFramePorts; ++k) e.ports[k].packLength = r.le16(2 * k);
        return true;
    case 0x9D:
        for (std::size_t k = 0; k < kShortFramePorts; ++k) e.ports[k].timeout = r.le16(2 * k);
        return true;
    default: return false;
    }
}

bool storePortItem(std::uint8_t code, const RecordReader &r, DeviceEntry &e)
{
    for (std::size_t k = 0; k < kShortFramePorts; ++k) {
        const PortItemCodes &c = kPortCodes[k];
        PortSettings &p = e.ports[k];
        if (code == c.serialReply) storeSerial(r, p);
        else if (code == c.hostFirstReply) std::copy_n(r.array<16>(0).begin(), 16, p.targetHost.bytes.begin());
        else if (code == c.hostSecondReply) std::copy_n(r.array<16>(0).begin(), 16, p.targetHost.bytes.begin() + 16);
        else if (code == c.heartbeatReply) p.heartbeatData.assign(r.bytes(0, 16));
        else continue;
        return true;
    }
    return false;
}

bool completesDevice(std::uint8_t code, char portCountChar)
{
    switch (code) {
    case 0x60: return portCountChar == '1' || portCountChar == 'B';
    case 0x66: return portCountChar == '4';
    case 0x73: return portCountChar == '6';
    case 0x79: return true;
    default: return false;
    }
}

} // namespace

const PortItemCodes &portItemCodes(std::size_t portIndex) { return kPortCodes[portIndex % kShortFramePorts]; }

ItemOutcome takeOverItem(DeviceTable &table, ByteView frame)
{
    ItemOutcome out;
    if (!checkShortReply(frame)) return out;
    const std::uint8_t code = frame[3];
    if (code == code::kWriteAccepted) {
        out.kind = ItemOutcome::Kind::WriteAccepted;
        return out;
    }
    if (code == code::kWriteRefused) {
        out.kind = ItemOutcome::Kind::WriteRefused;
        return out;
    }
    const auto index = table.find(frameMacTail(frame));
    if (!index) return out;
    DeviceEntry &e = table.at(*index);
    const RecordReader item(frame.subspan(4, 16));
    if (!storeDeviceItem(code, item, e) && !storePortItem(code, item, e)) return out;
    out.kind = ItemOutcome::Kind::Stored;
    out.index = index;
    out.showDevice = completesDevice(code, e.portCountChar());
    return out;
}

ItemData serialItem(const PortSettings &p)
{
    Bytes item(16, 0);
    RecordWriter w(item);
    w.u8(0, p.baudIndex);
    w.u8(1, p.parity);
    w.u8(2, p.dataBits);
    w.u8(3, p.stopBits);
    w.u8(4, p.workMode);
    w.bytes(5, p.itemExtra);
    w.be16(9, p.targetPort);
    w.be16(11, p.localPort);
    w.u8(13, p.enable);
    w.u8(14, p.modbusTcpToRtu);
    w.u8(15, p.serialType);
    ItemData out{};
    std::copy(item.begin(), item.end(), out.begin());
    return out;
}

} // namespace pelmar
