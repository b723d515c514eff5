// The native records: every reply length, the stored copy and the writes built on it.
#include "pelmar/records/records.h"

#include "pelmar/link/routing.h"
#include "pelmar/model/conversions.h"
#include "tests/pelmar/records/record_test_util.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace recordtest;

namespace {

// The record part of a native reply of this length, with the device block
// and port 1 filled; D = 52 N.
Bytes nativeRecord(std::size_t replyLength, std::size_t ports, const char *firmware = "V3.1", const char *hw = "N120")
{
    Bytes r(replyLength - 10, 0);
    const std::size_t d = 52 * ports;
    put(r, 0, "00 c2 01 00 08 01 01 05 02 00 90 1f"); // 115200, 8 data bits, NONE, 1 stop, modbus 5, TCP_CLIENT, 8080
    put(r, 16, "a1 0f 02");                            // local port 4001, Modbus TCP->RTU on
    putText(r, 19, "server-1.plant.example.net");
    if (ports >= 2) {
        put(r, 52, "90 d0 03 00 07 03 03 06 04 00 91 1f"); // 250000: not in the table
        putText(r, 52 + 19, "10.77.0.102");
    }
    put(r, d, "0a 4d 01 0c 0a 4d 00 fe ff ff 00 00 08 08 04 04 02");
    put(r, d + 20, "00 4b 5a 4d 01 0c");
    putText(r, d + 26, firmware);
    putText(r, d + 30, hw);
    putText(r, d + 42, "admin");
    putText(r, d + 50, "password");
    return r;
}

DeviceEntry takeOver(std::size_t replyLength, const Bytes &record)
{
    DeviceEntry e;
    e.ports[5].localPort = 0xBEEF;
    EXPECT_TRUE(takeOverRecord(RecordFormat::NativeRecord, record, e)) << replyLength;
    return e;
}

} // namespace

TEST(NativeRecord, BaudRatesBecomeIndexesAndTheDeviceBlockFollowsThePorts)
{
    const DeviceEntry e = takeOver(310, nativeRecord(310, 2));
    EXPECT_EQ(e.deviceKind, 1);
    EXPECT_FALSE(e.longRecord || e.isWifi);
    EXPECT_EQ(e.ports[0].baudIndex, 11);
    EXPECT_EQ(e.ports[0].dataBits, 8);
    EXPECT_EQ(e.ports[0].parity, 1);
    EXPECT_EQ(e.ports[0].modbusAddress, 5);
    EXPECT_EQ(e.ports[0].workMode, 2);
    EXPECT_EQ(e.ports[0].targetPort, 8080);
    EXPECT_EQ(e.ports[0].localPort, 4001);
    EXPECT_EQ(e.ports[0].modbusTcpToRtu, 2);
    EXPECT_EQ(e.ports[0].targetHost.text(), "server-1.plant.example.net");
    EXPECT_EQ(e.ports[0].enable, 2);
    EXPECT_EQ(e.ports[1].baudIndex, 17);
    EXPECT_EQ(e.ports[1].enable, 2);
    EXPECT_EQ(e.ports[5].localPort, 0xBEEF);
    EXPECT_EQ(e.ip, (Ipv4Bytes{10, 77, 1, 12}));
    EXPECT_EQ(e.gateway, (Ipv4Bytes{10, 77, 0, 254}));
    EXPECT_EQ(e.mask, (Ipv4Bytes{255, 255, 0, 0}));
    EXPECT_EQ(e.dns, (Ipv4Bytes{8, 8, 4, 4}));
    EXPECT_EQ(e.ipMode, 2);
    EXPECT_EQ(macText(e), "00-4B-5A-4D-01-0C");
    EXPECT_EQ(e.hardwareVersion.text(), "N120");
    EXPECT_EQ(e.password.text(), "password");
}

TEST(NativeRecord, RegisterSupportFollowsTheReplyLength)
{
    for (std::size_t n : {310u, 390u, 510u, 760u}) {
        const std::size_t ports = n == 510 ? 4 : n == 760 ? 6 : 2;
        EXPECT_TRUE(takeOver(n, nativeRecord(n, ports)).registerCapable) << n;
    }
    for (std::size_t n : {270u, 470u, 730u}) {
        const std::size_t ports = n == 470 ? 4 : n == 730 ? 6 : 2;
        DeviceEntry e;
        e.registerCapable = true;
        takeOverRecord(RecordFormat::NativeRecord, nativeRecord(n, ports), e);
        EXPECT_FALSE(e.registerCapable) << n;
    }
    DeviceEntry one;
    one.registerCapable = true;
    takeOverRecord(RecordFormat::NativeRecord, nativeRecord(250, 1), one);
    EXPECT_TRUE(one.registerCapable); // the one-port record leaves it
    EXPECT_TRUE(one.nativeCopy.empty());
    EXPECT_FALSE(takeOverRecord(RecordFormat::NativeRecord, Bytes(400, 0), one));
}

TEST(NativeRecord, FourPortFirmwareV2SetsNative4)
{
    EXPECT_TRUE(takeOver(510, nativeRecord(510, 4, "V2.3", "N440")).native4);
    EXPECT_FALSE(takeOver(510, nativeRecord(510, 4, "V3.0", "N440")).native4);
    EXPECT_FALSE(takeOver(760, nativeRecord(760, 6, "V2.3", "N640")).native4);
}

TEST(NativeRecord, The390ByteFormCarriesPortTwosCloudFields)
{
    const std::size_t d = 104;
    Bytes r = nativeRecord(390, 2);
    put(r, d + 172, "01");
    putText(r, d + 173, "11112222333344445555");
    putText(r, d + 193, "pw-one");
    put(r, d + 205, "01");
    putText(r, d + 206, "99998888777766665555");
    putText(r, d + 226, "pw-two");
    put(r, d + 234, "0a 00 00 09");
    put(r, d + 238, "01 01 aa 55");
    DeviceEntry e = takeOver(390, r);
    EXPECT_EQ(e.ports[1].secondPortCloud, 1);
    EXPECT_EQ(e.ports[0].cloudId.text(), "11112222333344445555");
    EXPECT_EQ(e.ports[1].cloudId.text(), "99998888777766665555");
    EXPECT_EQ(e.ports[1].cloudPassword.text(), "pw-two");
    EXPECT_EQ(e.ports[1].cloudAddress, (std::array<std::uint8_t, 4>{10, 0, 0, 9}));
    EXPECT_EQ(e.ports[1].customBaud, 1);
    EXPECT_EQ(e.ports[0].modbusCacheByte, 0xAA);
    EXPECT_EQ(e.ports[1].modbusCacheByte, 0x55);
    EXPECT_EQ(writeFrameLength(RecordFormat::NativeRecord, e), 390u);
    takeOverRecord(RecordFormat::NativeRecord, nativeRecord(310, 2), e);
    EXPECT_EQ(e.ports[1].secondPortCloud, 0);
    EXPECT_EQ(writeFrameLength(RecordFormat::NativeRecord, e), 310u);
}

TEST(NativeRecord, PortArraysSitWhereThePortCountPutsThem)
{
    const std::size_t d = 208; // four ports
    Bytes r = nativeRecord(510, 4, "V3.0", "N440");
    putText(r, d + 72 + 20 * 3, "HB-FOUR");
    put(r, d + 90 + 20 * 3, "2c 01 ff ff"); // 300 s in the low half
    put(r, d + 154 + 2 * 3, "e8 03");
    put(r, d + 168 + 2 * 3, "b4 05");
    put(r, d + 176 + 3, "c8");
    putText(r, d + 180 + 19 * 3, "0123456789abcdef");
    put(r, d + 180 + 19 * 3 + 17, "02 1e"); // mode 2, length 30: cut to 16
    put(r, d + 256 + 3, "aa");
    const DeviceEntry e = takeOver(510, r);
    const PortSettings &p = e.ports[3];
    EXPECT_EQ(p.heartbeatData.text(), "HB-FOUR");
    EXPECT_EQ(p.heartbeatInterval, 300);
    EXPECT_EQ(p.timeout, 1000);
    EXPECT_EQ(p.packLength, 1460);
    EXPECT_EQ(p.packTime, 200);
    EXPECT_EQ(p.registerMode, 2);
    EXPECT_EQ(p.registerLength, 16);
    EXPECT_EQ(registerText(p, false), "0123456789abcdef");
    EXPECT_EQ(p.modbusCacheByte, 0xAA);
    EXPECT_EQ(e.nativeCopy.size(), 468u);

    Bytes one = nativeRecord(250, 1);
    putText(one, 52 + 115, "HB-ONE");
    put(one, 52 + 132, "0a 00");
    put(one, 52 + 148, "64 00");
    const DeviceEntry o = takeOver(250, one);
    EXPECT_EQ(o.ports[0].heartbeatData.text(), "HB-ONE");
    EXPECT_EQ(o.ports[0].heartbeatInterval, 10);
    EXPECT_EQ(o.ports[0].timeout, 100);
    EXPECT_EQ(o.ports[0].modbusAddress, 0); // no modbus address in the one-port block
}

TEST(NativeRecord, RepliesShorterThanThePartTakenOverReadZerosNeverTheirTail)
{
    // 310 bytes: 300 record bytes, but 348 are taken over; the frame's
    // MacTail, checksum and "E." follow the record in the datagram.
    Bytes record = nativeRecord(310, 2);
    putText(record, 297, "abc");
    const Bytes datagram = reply(0x01, record, {0xEE, 0xEE, 0xEE});
    ASSERT_EQ(routeDatagram(datagram).record, RecordFormat::NativeRecord);
    DeviceEntry e;
    e.ports[0].cloudPassword.set("stale");
    ASSERT_TRUE(takeOverRecord(RecordFormat::NativeRecord, recordOf(datagram), e));
    // cloudPassword lies at 297..304, across the record's end.
    EXPECT_EQ(e.ports[0].cloudPassword.text(), "abc");
    EXPECT_EQ(e.ports[0].cloudAddress, (std::array<std::uint8_t, 4>{}));
    EXPECT_EQ(e.nativeCopy.size(), 348u);
    EXPECT_TRUE(std::all_of(e.nativeCopy.begin() + 300, e.nativeCopy.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(NativeWrite, IsTheStoredCopyWithTheEntrysFieldsOverIt)
{
    Bytes r = nativeRecord(510, 4, "V2.3", "N440");
    r[117] = 0x77;                       // a byte no field covers (port 3's serial block, offset 13)
    put(r, 208 + 90 + 2, "ab cd");       // port 1 interval's high half, also port 2's first heartbeat bytes
    put(r, 208 + 150 + 2, "ee ff");      // port 4 interval's high half
    DeviceEntry e = takeOver(510, r);
    e.ports[0].baudIndex = 5;            // 9600
    e.ports[0].heartbeatInterval = 0x0102;
    e.ports[2].targetHost.set("a-new-host-name-longer-than-32-characters");
    e.user.set("operator");
    ASSERT_EQ(writeFrameLength(RecordFormat::NativeRecord, e), 510u);
    const Bytes w = buildRecord(RecordFormat::NativeRecord, e);
    ASSERT_EQ(w.size(), 500u);
    EXPECT_EQ(hexAt(w, 0, 4), "80 25 00 00");
    EXPECT_EQ(w[117], 0x77);
    EXPECT_EQ(hexAt(w, 208 + 90, 4), "02 01 ab cd");
    EXPECT_EQ(hexAt(w, 208 + 150, 4), "00 00 ee ff"); // only the low half of an interval is written
    EXPECT_EQ(textAt(w, 104 + 19, 32), "a-new-host-name-longer-than-32-c");
    EXPECT_EQ(textAt(w, 208 + 42, 8), "operator");
    EXPECT_TRUE(std::all_of(w.begin() + 468, w.end(), [](std::uint8_t b) { return b == 0; }));
    DeviceEntry back;
    takeOverRecord(RecordFormat::NativeRecord, w, back);
    EXPECT_EQ(back.ports[0].baudIndex, 5);
    EXPECT_EQ(back.ports[2].targetHost.text(), "a-new-host-name-longer-than-32-c");
    EXPECT_EQ(back.ports[3], e.ports[3]);
    const Bytes frame = buildRecordWriteFrame(RecordFormat::NativeRecord, e);
    ASSERT_EQ(frame.size(), 510u);
    EXPECT_EQ(hexAt(frame, 0, 4), "48 3a 57 44");
    EXPECT_EQ(frameMacTail(frame), e.macTail);
}

TEST(NativeWrite, TheFormFollowsThePortCountAndNative4)
{
    DeviceEntry e;
    const auto form = [&](const char *hw, bool native4) {
        e.hardwareVersion.set(hw);
        e.native4 = native4;
        return writeFrameLength(RecordFormat::NativeRecord, e);
    };
    EXPECT_EQ(form("N440", false), 510u);
    EXPECT_EQ(form("N140", true), 510u);
    EXPECT_EQ(form("N640", true), 510u);
    EXPECT_EQ(form("N640", false), 760u);
    EXPECT_EQ(form("N120", false), 310u);
    EXPECT_FALSE(form("N840", false));
    EXPECT_TRUE(buildRecord(RecordFormat::NativeRecord, e).empty());
    EXPECT_TRUE(buildRecordWriteFrame(RecordFormat::NativeRecord, e).empty());
    // A 310-byte write of a 348-byte copy is cut to its 300 bytes.
    DeviceEntry two = takeOver(390, nativeRecord(390, 2));
    two.ports[1].secondPortCloud = 0;
    EXPECT_EQ(buildRecord(RecordFormat::NativeRecord, two).size(), 300u);
    EXPECT_EQ(buildNativeRecord(two, 760).size(), 750u);
    EXPECT_TRUE(buildNativeRecord(two, 400).empty());
}
