// The two WiFi records: taken over field by field, and built for a write.
#include "pelmar/records/records.h"

#include "pelmar/model/conversions.h"
#include "tests/pelmar/records/record_test_util.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace recordtest;

namespace {

// A 362-byte record as a two-port WiFi server sends it.
Bytes wifi362()
{
    Bytes r(362, 0);
    put(r, 1, "02");
    putText(r, 2, "factory-ap");
    putText(r, 34, "ap-pass");
    putText(r, 50, "sta-pass");
    putText(r, 66, "plant-floor-ssid-with-32-chars!!"); // full width, no terminator
    put(r, 98, "0a 4d 01 05 ff ff 00 00 0a 4d 00 fe 0a 4d 00 35");
    put(r, 114, "00 4b 5a 4d 01 05");
    put(r, 120, "01");
    putText(r, 121, "admin");
    putText(r, 129, "secret12");
    putText(r, 137, "V5.2W120");
    put(r, 145, "01 02 03 04 05 06 07 08");
    put(r, 154, "0b 02 08 01 02");
    put(r, 160, "90 1f f5 01 0a");
    put(r, 166, "00 02");
    putText(r, 168, "server-1.plant.example.net");
    putText(r, 200, "HB-P1");
    put(r, 216, "1f 00 02");
    put(r, 220, "65 00");
    put(r, 224, "05 01 08 01 04");
    put(r, 230, "41 1f a2 0f 0c");
    put(r, 236, "f6 01");
    putText(r, 238, "10.77.0.102");
    putText(r, 270, "HB-P2");
    put(r, 286, "20 00 01");
    put(r, 290, "66 00");
    put(r, 294, "c9"); // -55 dBm
    put(r, 298, "07 02 01 03 01 80");
    putText(r, 304, "REG-1");
    put(r, 320, "01 05");
    putText(r, 322, "REG-2");
    put(r, 338, "02 05 01 02 01 00 01 00");
    return r;
}

Bytes wifi292()
{
    Bytes r = wifi362();
    r.resize(292);
    std::fill(r.begin() + 222, r.end(), 0);
    put(r, 224, "c4"); // -60 dBm
    put(r, 228, "07 02 00 80");
    putText(r, 232, "REGISTER-DATA-16");
    put(r, 248, "03 10 09 01");
    putText(r, 252, "12345678901234567890");
    putText(r, 272, "cloudpw1");
    put(r, 280, "0a 4d 00 01 01 65 33 01");
    return r;
}

} // namespace

TEST(Wifi362, TakenOverFieldByField)
{
    DeviceEntry e;
    ASSERT_TRUE(takeOverRecord(RecordFormat::RecordWifi362, wifi362(), e));
    EXPECT_TRUE(e.isWifi && e.wifiExtended && e.registerCapable);
    EXPECT_FALSE(e.longRecord);
    EXPECT_EQ(e.deviceKind, 1);
    EXPECT_EQ(e.wifiMode, 2);
    EXPECT_EQ(e.apSsid.text(), "factory-ap");
    EXPECT_EQ(e.staSsid.text(), "plant-floor-ssid-with-32-chars!!");
    EXPECT_EQ(e.staPassword.text(), "sta-pass");
    EXPECT_EQ(e.gateway, (Ipv4Bytes{10, 77, 0, 254}));
    EXPECT_EQ(macText(e), "00-4B-5A-4D-01-05");
    EXPECT_EQ(e.password.text(), "secret12");
    EXPECT_EQ(e.firmwareVersion.text(), "V5.2");
    EXPECT_EQ(e.hardwareVersion.text(), "W120");
    const PortSettings &p1 = e.ports[0], &p2 = e.ports[1];
    EXPECT_EQ(p1.baudIndex, 11);
    EXPECT_EQ(p1.workMode, 2);
    EXPECT_EQ(p1.targetPort, 8080);
    EXPECT_EQ(p1.localPort, 501);
    EXPECT_EQ(p1.packTime, 10);
    EXPECT_EQ(p1.packLength, 512);
    EXPECT_EQ(p1.targetHost.text(), "server-1.plant.example.net");
    EXPECT_EQ(p1.heartbeatData.text(), "HB-P1");
    EXPECT_EQ(p1.heartbeatInterval, 31);
    EXPECT_EQ(p1.modbusTcpToRtu, 2);
    EXPECT_EQ(p1.timeout, 101);
    EXPECT_EQ(p1.enable, 2);
    EXPECT_EQ(p2.targetPort, 8001);
    EXPECT_EQ(p2.localPort, 4002);
    EXPECT_EQ(p2.targetHost.text(), "10.77.0.102");
    EXPECT_EQ(p2.timeout, 102);
    EXPECT_EQ(e.wifiRssi, -55);
    EXPECT_EQ(e.wifiAux, 7);
    EXPECT_EQ(e.wifiDhcpServer, 2);
    EXPECT_EQ(e.wifiStp, 1);
    EXPECT_EQ(e.wifiSecurity, 3);
    EXPECT_EQ(e.wifiEncryption, 1);
    EXPECT_EQ(registerText(p1, false), "REG-1");
    EXPECT_EQ(p1.registerMode, 1);
    EXPECT_EQ(p2.registerMode, 2);
    EXPECT_EQ(p1.modbusAddress, 1);
    EXPECT_EQ(p2.modbusAddress, 2);
    EXPECT_EQ(p1.customBaud, 1);
    EXPECT_EQ(p2.standardMqtt, 0);
    EXPECT_EQ(e.ports[2], PortSettings{}); // ports beyond the record's are not touched
}

TEST(Wifi362, RegisterLengthAbove16CopiesSixteenBytesAndNothingBeyond)
{
    Bytes r = wifi362();
    putText(r, 304, "ABCDEFGHIJKLMNOP");
    put(r, 320, "03 14"); // mode 3, length 20
    DeviceEntry e;
    takeOverRecord(RecordFormat::RecordWifi362, r, e);
    EXPECT_EQ(e.ports[0].registerLength, 16);
    EXPECT_EQ(registerText(e.ports[0], false), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(e.ports[0].registerMode, 3);
    EXPECT_EQ(e.ports[1].registerMode, 2);
}

TEST(Wifi362, WriteCarriesTheMarkersTerminatorsAndNoReadOnlyBytes)
{
    DeviceEntry e;
    takeOverRecord(RecordFormat::RecordWifi362, wifi362(), e);
    e.apSsid.set("an-ssid-that-is-longer-than-thirty-two-characters");
    const Bytes w = buildRecord(RecordFormat::RecordWifi362, e);
    ASSERT_EQ(w.size(), 362u);
    EXPECT_EQ(w[0], 0x55);
    EXPECT_EQ(textAt(w, 2, 31), "an-ssid-that-is-longer-than-thi");
    for (std::size_t zero : {33u, 49u, 65u, 97u, 215u, 285u}) EXPECT_EQ(w[zero], 0) << zero;
    EXPECT_EQ(textAt(w, 66, 31), "plant-floor-ssid-with-32-chars!");
    EXPECT_EQ(hexAt(w, 222, 1), "02");
    EXPECT_EQ(hexAt(w, 292, 4), "02 00 00 02"); // 292 and 295 are 2, the RSSI is not written
    EXPECT_EQ(w[303], 0);
    // Everything else comes back as it was read.
    Bytes expected = wifi362();
    expected[0] = 0x55;
    for (std::size_t i : {33u, 49u, 65u, 97u, 215u, 285u}) expected[i] = 0;
    std::copy(w.begin() + 2, w.begin() + 34, expected.begin() + 2);
    expected[222] = expected[292] = expected[295] = 2;
    expected[294] = expected[303] = 0;
    EXPECT_EQ(testsupport::toHex(w), testsupport::toHex(expected));
    EXPECT_EQ(writeFrameLength(RecordFormat::RecordWifi362, e), 372u);
    const Bytes frame = buildRecordWriteFrame(RecordFormat::RecordWifi362, e);
    ASSERT_EQ(frame.size(), 372u);
    EXPECT_EQ(hexAt(frame, 0, 4), "48 3a 57 02");
}

TEST(Wifi292, TakenOverWithItsCloudFieldsAndRegisterFlag)
{
    DeviceEntry e;
    e.ports[1].localPort = 7777;
    ASSERT_TRUE(takeOverRecord(RecordFormat::RecordWifi292, wifi292(), e));
    EXPECT_TRUE(e.isWifi);
    EXPECT_FALSE(e.wifiExtended);
    EXPECT_TRUE(e.registerCapable);
    EXPECT_EQ(e.wifiRssi, -60);
    EXPECT_EQ(e.wifiSecurity, 2);
    EXPECT_EQ(e.wifiEncryption, 0);
    const PortSettings &p = e.ports[0];
    EXPECT_EQ(p.localPort, 501);
    EXPECT_EQ(p.registerLength, 16);
    EXPECT_EQ(registerText(p, false), "REGISTER-DATA-16");
    EXPECT_EQ(p.registerMode, 3);
    EXPECT_EQ(p.modbusAddress, 0); // written only
    EXPECT_EQ(p.cloudEnable, 1);
    EXPECT_EQ(p.cloudId.text(), "12345678901234567890");
    EXPECT_EQ(p.cloudPassword.text(), "cloudpw1");
    EXPECT_EQ(p.cloudAddress, (std::array<std::uint8_t, 4>{10, 77, 0, 1}));
    EXPECT_EQ(p.customBaud, 1);
    EXPECT_EQ(e.ports[1].localPort, 7777); // one port only
    EXPECT_EQ(e.ports[1].enable, 0);

    Bytes flagOff = wifi292();
    flagOff[231] = 0x7F;
    DeviceEntry f;
    takeOverRecord(RecordFormat::RecordWifi292, flagOff, f);
    EXPECT_FALSE(f.registerCapable);
}

TEST(Wifi292, WriteCarriesPortOnesExtraBytes)
{
    DeviceEntry e;
    takeOverRecord(RecordFormat::RecordWifi292, wifi292(), e);
    PortSettings &p = e.ports[0];
    p.modbusAddress = 9;
    p.oneToManyMapped = 0xA1;
    p.oneToManyAddress = 0xA2;
    p.standardMqtt = 1;
    p.registerLength = 40; // never more than 16 on the wire
    const Bytes w = buildRecord(RecordFormat::RecordWifi292, e);
    ASSERT_EQ(w.size(), 292u);
    EXPECT_EQ(hexAt(w, 222, 4), "02 00 00 02");
    EXPECT_EQ(hexAt(w, 228, 4), "07 02 00 00");
    EXPECT_EQ(hexAt(w, 248, 4), "03 10 09 01");
    EXPECT_EQ(textAt(w, 252, 20), "12345678901234567890");
    EXPECT_EQ(hexAt(w, 284, 4), "01 a1 a2 01");
    EXPECT_EQ(w[215], 0);
    DeviceEntry back;
    takeOverRecord(RecordFormat::RecordWifi292, w, back);
    EXPECT_EQ(back.ports[0].cloudId.text(), p.cloudId.text());
    EXPECT_EQ(back.apSsid, e.apSsid);
    EXPECT_EQ(back.ports[0].heartbeatData, p.heartbeatData);
}
