// The two WiFi records: 362 bytes (two ports, security, DHCP server, STP)
// and 292 bytes (one port, cloud fields).
#include "pelmar/records/record_fields.h"
#include "pelmar/records/records_internal.h"

namespace pelmar {

namespace {

constexpr std::size_t kPortStride = 70; // port 2 of the 362-byte record

// The fields both records share: WiFi texts, addresses, login, versions.
void readCommon(const RecordReader &r, DeviceEntry &e)
{
    e.wifiMode = r.u8(1);
    e.apSsid.assign(r.bytes(2, 32));
    e.apPassword.assign(r.bytes(34, 16));
    e.staPassword.assign(r.bytes(50, 16));
    e.staSsid.assign(r.bytes(66, 32));
    fields::readAddresses(r, 98, e);
    for (std::size_t i = 0; i < 6; ++i) e.mac[i] = r.u8(114 + i);
    e.ipMode = r.u8(120);
    fields::readLogin(r, 121, e);
    fields::readVersions(r, 137, e);
}

void writeCommon(RecordWriter &w, const DeviceEntry &e)
{
    w.u8(0, 0x55);
    w.u8(1, e.wifiMode);
    fields::writeText(w, 2, e.apSsid, true);
    fields::writeText(w, 34, e.apPassword, true);
    fields::writeText(w, 50, e.staPassword, true);
    fields::writeText(w, 66, e.staSsid, true);
    fields::writeAddresses(w, 98, e);
    w.bytes(114, e.mac);
    w.u8(120, e.ipMode);
    fields::writeLogin(w, 121, e);
    fields::writeVersions(w, 137, e);
}

// The serial fields of one port, from offset `at` (154 for port 1).
void readPort(const RecordReader &r, std::size_t at, PortSettings &p)
{
    p.baudIndex = r.u8(at);
    p.parity = r.u8(at + 1);
    p.dataBits = r.u8(at + 2);
    p.stopBits = r.u8(at + 3);
    p.workMode = r.u8(at + 4);
    p.targetPort = r.le16(at + 6);
    p.localPort = r.le16(at + 8);
    p.packTime = r.u8(at + 10);
    p.packLength = r.le16(at + 12);
    p.targetHost.assign(r.bytes(at + 14, 32));
    p.heartbeatData.assign(r.bytes(at + 46, 16));
    p.heartbeatInterval = r.le16(at + 62);
    p.modbusTcpToRtu = r.u8(at + 64);
    p.timeout = r.le16(at + 66);
    p.enable = 2; // the records do not carry it
}

void writePort(RecordWriter &w, std::size_t at, const PortSettings &p)
{
    w.u8(at, p.baudIndex);
    w.u8(at + 1, p.parity);
    w.u8(at + 2, p.dataBits);
    w.u8(at + 3, p.stopBits);
    w.u8(at + 4, p.workMode);
    w.le16(at + 6, p.targetPort);
    w.le16(at + 8, p.localPort);
    w.u8(at + 10, p.packTime);
    w.le16(at + 12, p.packLength);
    fields::writeText(w, at + 14, p.targetHost, false);
    fields::writeText(w, at + 46, p.heartbeatData, true);
    w.le16(at + 62, p.heartbeatInterval);
    w.u8(at + 64, p.modbusTcpToRtu);
    w.le16(at + 66, p.timeout);
    w.u8(at + 68, 2);
}

} // namespace

void takeOverWifi362(ByteView record, DeviceEntry &e)
{
    const RecordReader r(record);
    e.isWifi = true;
    e.wifiExtended = true;
    e.deviceKind = 1;
    if (r.u8(303) == 0x80) e.registerCapable = true;
    readCommon(r, e);
    for (std::size_t k = 0; k < 2; ++k) {
        PortSettings &p = e.ports[k];
        readPort(r, 154 + kPortStride * k, p);
        fields::readRegister(r, 304 + 18 * k, 320 + 18 * k, 321 + 18 * k, p);
        p.modbusAddress = r.u8(340 + k);
        p.customBaud = r.u8(342 + k);
        p.standardMqtt = r.u8(344 + k);
    }
    e.wifiRssi = std::int8_t(r.u8(294));
    e.wifiAux = r.u8(298);
    e.wifiDhcpServer = r.u8(299);
    e.wifiStp = r.u8(300);
    e.wifiSecurity = r.u8(301);
    e.wifiEncryption = r.u8(302);
}

Bytes buildWifi362(const DeviceEntry &e)
{
    Bytes record(kWifi362Size, 0);
    RecordWriter w(record);
    writeCommon(w, e);
    for (std::size_t k = 0; k < 2; ++k) {
        const PortSettings &p = e.ports[k];
        writePort(w, 154 + kPortStride * k, p);
        fields::writeRegister(w, 304 + 18 * k, 320 + 18 * k, 321 + 18 * k, p);
        w.u8(340 + k, p.modbusAddress);
        w.u8(342 + k, p.customBaud);
        w.u8(344 + k, p.standardMqtt);
    }
    w.u8(295, 2);
    w.u8(298, e.wifiAux);
    w.u8(299, e.wifiDhcpServer);
    w.u8(300, e.wifiStp);
    w.u8(301, e.wifiSecurity);
    w.u8(302, e.wifiEncryption);
    return record;
}

void takeOverWifi292(ByteView record, DeviceEntry &e)
{
    const RecordReader r(record);
    e.isWifi = true;
    e.deviceKind = 1;
    if (r.u8(231) == 0x80) e.registerCapable = true;
    readCommon(r, e);
    PortSettings &p = e.ports[0];
    readPort(r, 154, p);
    e.wifiRssi = std::int8_t(r.u8(224));
    e.wifiAux = r.u8(228);
    e.wifiSecurity = r.u8(229);
    e.wifiEncryption = r.u8(230);
    fields::readRegister(r, 232, 248, 249, p);
    p.cloudEnable = r.u8(251);
    p.cloudId.assign(r.bytes(252, 20));
    p.cloudPassword.assign(r.bytes(272, 8));
    p.cloudAddress = r.array<4>(280);
    p.customBaud = r.u8(284);
}

Bytes buildWifi292(const DeviceEntry &e)
{
    Bytes record(kWifi292Size, 0);
    RecordWriter w(record);
    writeCommon(w, e);
    const PortSettings &p = e.ports[0];
    writePort(w, 154, p);
    w.u8(225, 2);
    w.u8(228, e.wifiAux);
    w.u8(229, e.wifiSecurity);
    w.u8(230, e.wifiEncryption);
    fields::writeRegister(w, 232, 248, 249, p);
    w.u8(250, p.modbusAddress);
    w.u8(251, p.cloudEnable);
    fields::writeText(w, 252, p.cloudId, false);
    fields::writeText(w, 272, p.cloudPassword, false);
    w.bytes(280, p.cloudAddress);
    w.u8(284, p.customBaud);
    w.u8(285, p.oneToManyMapped);
    w.u8(286, p.oneToManyAddress);
    w.u8(287, p.standardMqtt);
    return record;
}

} // namespace pelmar
