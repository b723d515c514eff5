// The multi-port records: 1284 bytes (up to 16 ports, 674 for up to 8) and
// 2326 bytes (up to 24 ports, 1572 for 16, 818 for 8), both made of 68-byte
// port blocks in groups of eight.
#include "pelmar/model/conversions.h"
#include "pelmar/records/record_fields.h"
#include "pelmar/records/records_internal.h"

namespace pelmar {

namespace {

constexpr std::size_t kBlock = 68;

// Where one group of eight ports keeps its blocks and lists.
struct Group {
    std::size_t blocks;      // port blocks
    std::size_t packTimes;   // 8 x 1 byte
    std::size_t packLengths; // 8 x LE 16
    std::size_t timeouts;    // 8 x LE 16
    std::size_t registers;   // 8 x 18 bytes (2326 only)
};

constexpr Group kGroups1284[] = {{40, 610, 618, 634, 0}, {674, 1219, 1228, 1244, 0}};
constexpr Group kGroups2326[] = {{40, 610, 618, 634, 673}, {818, 1363, 1372, 1388, 1428},
                                 {1572, 2117, 2126, 2142, 2182}};

void readBlock(const RecordReader &r, std::size_t at, bool is2326, PortSettings &p)
{
    p.baudIndex = r.u8(at);
    p.parity = r.u8(at + 1);
    p.dataBits = r.u8(at + 2);
    p.stopBits = r.u8(at + 3);
    p.workMode = r.u8(at + 4);
    p.itemExtra = r.array<4>(at + 5);
    if (is2326) {
        p.customBaud = r.u8(at + 6);
        p.oneToManyAddress = r.u8(at + 7);
        p.oneToManyMapped = r.u8(at + 8);
    }
    p.targetPort = r.le16(at + 10);
    p.localPort = r.le16(at + 12);
    p.modbusAddress = is2326 ? r.u8(at + 14) : 0;
    p.modbusTcpToRtu = r.u8(at + 15);
    p.serialType = r.u8(at + 16);
    p.targetHost.assign(r.bytes(at + 17, 32));
    p.heartbeatData.assign(r.bytes(at + 49, 16));
    p.heartbeatInterval = r.le16(at + 66);
}

void writeBlock(RecordWriter &w, std::size_t at, bool is2326, const PortSettings &p)
{
    w.u8(at, p.baudIndex);
    w.u8(at + 1, p.parity);
    w.u8(at + 2, p.dataBits);
    w.u8(at + 3, p.stopBits);
    w.u8(at + 4, p.workMode);
    // Byte 5 is not written; 6..8 carry the extra bytes, or in the 2326
    // record the values that share them.
    w.u8(at + 6, is2326 ? p.customBaud : p.itemExtra[1]);
    w.u8(at + 7, is2326 ? p.oneToManyAddress : p.itemExtra[2]);
    w.u8(at + 8, is2326 ? p.oneToManyMapped : p.itemExtra[3]);
    w.le16(at + 10, p.targetPort);
    w.le16(at + 12, p.localPort);
    if (is2326) w.u8(at + 14, p.modbusAddress);
    w.u8(at + 15, p.modbusTcpToRtu);
    w.u8(at + 16, p.serialType);
    fields::writeText(w, at + 17, p.targetHost, false);
    fields::writeText(w, at + 49, p.heartbeatData, true);
    w.le16(at + 66, p.heartbeatInterval);
}

// How many ports of the first group a device of this port-count character fills.
std::size_t firstGroupPorts(char c)
{
    switch (c) {
    case '1':
    case 'B': return 2;
    case '4': return 4;
    case '6': return 6;
    default: return 8;
    }
}

} // namespace

void takeOverMulti(bool is2326, ByteView record, DeviceEntry &e)
{
    const RecordReader r(record);
    e.longRecord = true;
    if (is2326) e.registerCapable = true;
    fields::readAddresses(r, 1, e);
    for (std::size_t i = 0; i < 6; ++i) e.mac[i] = r.u8(17 + i);
    e.ipMode = r.u8(23);
    fields::readLogin(r, 24, e);
    fields::readVersions(r, 584, e);
    e.deviceKind = r.u8(609);
    if (is2326) {
        e.oneToManyEnable = r.u8(650);
        e.oneToManyProtocol = r.u8(651);
        e.modbusIdentity = r.u8(652);
    }

    // Groups after the first only when the record is long enough to hold them.
    const std::size_t groups = is2326 ? (record.size() >= kMulti2326Size ? 3 : record.size() >= kMulti2326MidSize ? 2 : 1)
                                      : (record.size() >= kMulti1284Size ? 2 : 1);
    const char c = e.portCountChar();
    for (std::size_t g = 0; g < groups; ++g) {
        const Group &at = is2326 ? kGroups2326[g] : kGroups1284[g];
        const std::size_t ports = g == 0 ? firstGroupPorts(c) : 8;
        if (g > 0 && firstGroupPorts(c) < 8) break;
        for (std::size_t k = 0; k < ports; ++k) {
            PortSettings &p = e.ports[8 * g + k];
            readBlock(r, at.blocks + kBlock * k, is2326, p);
            p.packTime = r.u8(at.packTimes + k);
            p.packLength = r.le16(at.packLengths + 2 * k);
            p.timeout = r.le16(at.timeouts + 2 * k);
            if (is2326) fields::readRegister(r, at.registers + 18 * k, at.registers + 18 * k + 16,
                                             at.registers + 18 * k + 17, p);
        }
    }
}

Bytes buildMulti(bool is2326, const DeviceEntry &e, std::size_t recordSize)
{
    Bytes record(recordSize, 0);
    RecordWriter w(record);
    w.u8(0, 0x55);
    fields::writeAddresses(w, 1, e);
    w.bytes(17, e.mac);
    w.u8(23, e.ipMode);
    fields::writeLogin(w, 24, e);
    fields::writeVersions(w, 584, e);
    w.u8(609, e.deviceKind);
    if (is2326) {
        w.u8(650, e.oneToManyEnable);
        w.u8(651, e.oneToManyProtocol);
        w.u8(652, e.modbusIdentity);
    }
    const std::size_t groups = is2326 ? 3 : 2;
    for (std::size_t g = 0; g < groups; ++g) {
        const Group &at = is2326 ? kGroups2326[g] : kGroups1284[g];
        if (at.blocks >= recordSize) break;
        for (std::size_t k = 0; k < 8; ++k) {
            const PortSettings &p = e.ports[8 * g + k];
            writeBlock(w, at.blocks + kBlock * k, is2326, p);
            w.u8(at.packTimes + k, p.packTime);
            w.le16(at.packLengths + 2 * k, p.packLength);
            w.le16(at.timeouts + 2 * k, p.timeout);
            if (is2326) fields::writeRegister(w, at.registers + 18 * k, at.registers + 18 * k + 16,
                                              at.registers + 18 * k + 17, p);
        }
    }
    return record;
}

} // namespace pelmar
