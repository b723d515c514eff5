// Parameter files: the export line by line, and the import's defaults,
// limits and list lookups.
#include "pelmar/files/parameter_file.h"

#include <QList>

#include <gtest/gtest.h>

#include <cstring>

using namespace pelmar;

namespace {

DeviceEntry fourPortDevice()
{
    DeviceEntry e;
    e.hardwareVersion.set("V40A");
    e.firmwareVersion.set("F123");
    std::memcpy(e.versionExtra.data(), "KS400xyz", 8);
    e.ipMode = 1;
    e.ip = {192, 168, 1, 50};
    e.mask = {255, 255, 255, 0};
    e.gateway = {192, 168, 1, 1};
    e.dns = {8, 8, 4, 4};
    e.mac = {0x00, 0xCA, 0xC1, 0x19, 0x00, 0x5A};
    e.wifiDhcpServer = 2;
    e.wifiStp = 1;
    e.wifiMode = 2;
    e.apSsid.set("ap");
    e.apPassword.set("appw");
    e.staPassword.set("stapw");
    e.staSsid.set("sta");
    e.user.set("admin");
    e.password.set("pw");
    e.deviceKind = 1;
    for (int i = 0; i < 4; ++i) {
        PortSettings &p = e.ports[std::size_t(i)];
        p.enable = 2;
        p.baudIndex = std::uint8_t(5 + i); // 9600, 14400, 19200, 38400
        p.parity = std::uint8_t(1 + i % 4);
        p.dataBits = 8;
        p.stopBits = std::uint8_t(1 + i % 3);
        p.workMode = std::uint8_t(1 + i);
        p.targetHost.set("10.0.0." + std::to_string(i + 1));
        p.targetPort = std::uint16_t(4000 + i);
        p.localPort = std::uint16_t(5000 + i);
        p.heartbeatData.set("hb");
        p.heartbeatInterval = 30;
        p.packTime = 5;
        p.packLength = 512;
        p.modbusTcpToRtu = 1;
        p.timeout = 200;
    }
    return e;
}

} // namespace

TEST(ParameterFile, AFourPortDeviceIsWrittenLineByLine)
{
    const QByteArray expected =
        "[Info]\r\nHardwareVersion=V40A\r\nFirmwareVersion=F123\r\n"
        "[*****************Device****************]\r\nIpType=1\r\nIpAddress=192.168.1.50\r\nNetMask=255.255."
        "255.0\r\n"
        "NetGate=192.168.1.1\r\nDNS=8.8.4.4\r\ndhcpd=2\r\nstp=1\r\nwifi_mode=2\r\nap_name=ap\r\nap_pw="
        "appw\r\n"
        "sta_pw=stapw\r\nsta_name=sta\r\nMAC=00-CA-C1-19-00-5A\r\nUsername=admin\r\nPassword=pw\r\n"
        "[*****************Port1*****************]\r\nEnable=1\r\nBitRate=9600\r\nCheckBit=NONE\r\nDataBit="
        "8\r\nStopBit=1\r\n"
        "WorkMode=TCP_SERVER\r\nRemoteIp=10.0.0.1\r\nRemotePort=4000\r\nLocalPort=5000\r\nHeartbeatData="
        "hb\r\n"
        "HeartbeatInterval=30\r\nPackTime=5\r\nPackSize=512\r\nModbus=1\r\nModbusTimeout=200\r\n"
        "[*****************Port2*****************]\r\nEnable=1\r\nBitRate=14400\r\nCheckBit=EVEN\r\nDataBit="
        "8\r\nStopBit=1.5\r\n"
        "WorkMode=TCP_CLIENT\r\nRemoteIp=10.0.0.2\r\nRemotePort=4001\r\nLocalPort=5001\r\nHeartbeatData="
        "hb\r\n"
        "HeartbeatInterval=30\r\nPackTime=5\r\nPackSize=512\r\nModbus=1\r\nModbusTimeout=200\r\n"
        "[*****************Port3*****************]\r\nEnable=1\r\nBitRate=19200\r\nCheckBit=ODD\r\nDataBit="
        "8\r\nStopBit=2\r\n"
        "WorkMode=UDP_SERVER\r\nRemoteIp=10.0.0.3\r\nRemotePort=4002\r\nLocalPort=5002\r\nHeartbeatData="
        "hb\r\n"
        "HeartbeatInterval=30\r\nPackTime=5\r\nPackSize=512\r\nModbus=1\r\nModbusTimeout=200\r\n"
        "[*****************Port4*****************]\r\nEnable=1\r\nBitRate=38400\r\nCheckBit=SPACE\r\nDataBit="
        "8\r\nStopBit=1\r\n"
        "WorkMode=UDP_CLIENT\r\nRemoteIp=10.0.0.4\r\nRemotePort=4003\r\nLocalPort=5003\r\nHeartbeatData="
        "hb\r\n"
        "HeartbeatInterval=30\r\nPackTime=5\r\nPackSize=512\r\nModbus=1\r\nModbusTimeout=200\r\n";
    const QByteArray written = exportParameters(fourPortDevice()).serialize();
    const QList<QByteArray> got = written.split('\n'), want = expected.split('\n');
    ASSERT_EQ(got.size(), want.size());
    for (int i = 0; i < want.size(); ++i)
        EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
    EXPECT_EQ(proposedParameterFileName(fourPortDevice()), QStringLiteral("KS400-F1.ini"));
}

TEST(ParameterFile, ExportAndImportGiveTheSettingsBack)
{
    DeviceEntry original = fourPortDevice();
    original.deviceKind = 0; // the time-out field travels whatever the kind
    for (PortSettings &p : original.ports)
        p.serialType = 7;
    const kyvo::ProfileFile file = kyvo::ProfileFile::parse(exportParameters(original).serialize());
    EXPECT_EQ(badParameterValue(file), std::nullopt);
    const DeviceEntry back = importParameters(file);
    EXPECT_EQ(back.hardwareVersion, original.hardwareVersion);
    EXPECT_EQ(back.ip, original.ip);
    EXPECT_EQ(back.mac, original.mac);
    EXPECT_EQ(back.staSsid, original.staSsid);
    for (int i = 0; i < 4; ++i) {
        const PortSettings &a = original.ports[std::size_t(i)], &b = back.ports[std::size_t(i)];
        EXPECT_EQ(b.baudIndex, a.baudIndex) << i;
        EXPECT_EQ(b.parity, a.parity) << i;
        EXPECT_EQ(b.stopBits, a.stopBits) << i;
        EXPECT_EQ(b.workMode, a.workMode) << i;
        EXPECT_EQ(b.enable, a.enable) << i;
        EXPECT_EQ(b.targetHost, a.targetHost) << i;
        EXPECT_EQ(b.timeout, a.timeout) << i;
    }
    EXPECT_TRUE(validImportedPortCount(back));
}

TEST(ParameterFile, AFileWithOnlyInfoGivesDefaultsEverywhere)
{
    const DeviceEntry e = importParameters(kyvo::ProfileFile::parse("[INFO]\r\nHardwareVersion=VNxx\r\n"));
    EXPECT_EQ(e.portCountChar(), 'N');
    EXPECT_TRUE(validImportedPortCount(e));
    EXPECT_EQ(e.ip, (Ipv4Bytes{192, 168, 1, 253}));
    EXPECT_EQ(e.mask, (Ipv4Bytes{255, 255, 255, 0}));
    EXPECT_EQ(e.gateway, (Ipv4Bytes{192, 168, 1, 1}));
    EXPECT_EQ(e.dns, (Ipv4Bytes{208, 67, 222, 222}));
    EXPECT_EQ(e.mac, (Mac{0x00, 0xCA, 0xC1, 0x19, 0x00, 0x33}));
    EXPECT_EQ(e.apSsid.text(), "kvwi_xxx");
    EXPECT_EQ(e.password.text(), "kelod");
    for (const PortSettings &p : e.ports) {
        EXPECT_EQ(p.baudIndex, 5); // 9600
        EXPECT_EQ(p.parity, 1);
        EXPECT_EQ(p.dataBits, 8);
        EXPECT_EQ(p.stopBits, 1);
        EXPECT_EQ(p.workMode, 1);
        EXPECT_EQ(p.targetPort, 1030);
        EXPECT_EQ(p.localPort, 1030);
        EXPECT_EQ(p.timeout, 10);
        EXPECT_EQ(p.enable, 2);
        EXPECT_EQ(p.registerData[0], '1');
        EXPECT_EQ(p.registerLength, 1);
        EXPECT_EQ(p.modbusCacheByte, 0);
    }
    EXPECT_FALSE(validImportedPortCount(importParameters(kyvo::ProfileFile::parse("[x]\r\na=1\r\n"))));
    EXPECT_FALSE(validImportedPortCount(
        importParameters(kyvo::ProfileFile::parse("[Info]\r\nHardwareVersion=VB00\r\n"))));
}

TEST(ParameterFile, ListTextsAreLookedUpFromTheSecondEntryAndLongValuesCut)
{
    EXPECT_EQ(lookupListText("1.5", kStopBitTexts), 1);
    EXPECT_EQ(lookupListText("1", kStopBitTexts), 1); // why "1" itself is read as the first entry
    EXPECT_EQ(lookupListText("tcp_c", kWorkModeTexts), 1);
    EXPECT_EQ(lookupListText("TCP", kWorkModeTexts), 1); // the second entry is tried before the first
    EXPECT_EQ(lookupListText("FAST", kParityTexts), -1);
    const DeviceEntry e = importParameters(kyvo::ProfileFile::parse(
        "[*****************Port1*****************]\r\nStopBit=1\r\nBitRate=115200\r\nCheckBit="
        "odd\r\nWorkMode=bogus\r\n"
        "HeartbeatData=abcdefghijklmnopqrstuvwxy\r\nRemoteIp=a.very.long.host.name.example.com\r\n"
        "[*****************Port2*****************]\r\nStopBit=1.5\r\nBitRate=1\r\n"));
    const PortSettings &p1 = e.ports[0], &p2 = e.ports[1];
    EXPECT_EQ(p1.stopBits, 1);
    EXPECT_EQ(p2.stopBits, 2);
    EXPECT_EQ(p1.baudIndex, 11);
    EXPECT_EQ(p2.baudIndex, 2); // "1" finds 1200 before 600 is tried
    EXPECT_EQ(p1.parity, 3);
    EXPECT_EQ(p1.workMode, 0);                                          // not found
    EXPECT_EQ(p1.heartbeatData.text(), "abcdefghijklmnop");             // 19 read, the field holds 16
    EXPECT_EQ(p1.targetHost.text(), "a.very.long.host.name.example.c"); // 31 read
}

TEST(ParameterFile, ProposedNamesHoldOnlyCharactersAFileNameCanCarry)
{
    DeviceEntry e = fourPortDevice();
    std::memcpy(e.versionExtra.data(), "2024\x01xyz", 8);
    e.firmwareVersion.set("V0");
    EXPECT_EQ(proposedParameterFileName(e), QStringLiteral("2024_-V0.ini"));
    std::memcpy(e.versionExtra.data(), "a/b:\xB0zyz", 8);
    EXPECT_EQ(proposedParameterFileName(e), QStringLiteral("a_b__-V0.ini"));
}

TEST(ParameterFile, AValueTheDevicesCannotTakeNamesItsKey)
{
    const QByteArray port3 = "[*****************Port3*****************]\r\n";
    const struct
    {
        QByteArray text;
        const char *key; // nullptr: sound
    } cases[] = {
        {"[*****************Device****************]\r\nIpAddress=999.999.1.2\r\n", "IpAddress"},
        {"[*****************Device****************]\r\nNetMask=255.255.0\r\n", "NetMask"},
        {"[*****************Device****************]\r\nDNS=8.8.8.8x\r\n", "DNS"},
        {"[*****************Device****************]\r\nIpType=300\r\n", "IpType"},
        {port3 + "LocalPort=99999999\r\n", "LocalPort (PORT3)"},
        {port3 + "RemotePort=-1\r\n", "RemotePort (PORT3)"},
        {port3 + "HeartbeatInterval=65536\r\n", "HeartbeatInterval (PORT3)"},
        {port3 + "PackTime=12a\r\n", "PackTime (PORT3)"},
        {port3 + "BitRate=300\r\n", "BitRate (PORT3)"},
        {port3 + "WorkMode=TCP_PEER\r\n", "WorkMode (PORT3)"},
        {port3 + "CheckBit=\r\n", "CheckBit (PORT3)"},
        {port3 + "StopBit=3\r\n", "StopBit (PORT3)"},
        {port3 + "LocalPort=65535\r\nEnable=-1\r\nBitRate=96\r\nWorkMode=udp_c\r\n", nullptr},
        {"[*****************Device****************]\r\nIpAddress=10.0.0.1\r\nRemoteIp=any.host\r\n", nullptr},
    };
    for (const auto &c : cases) {
        const auto bad =
            badParameterValue(kyvo::ProfileFile::parse("[Info]\r\nHardwareVersion=V40A\r\n" + c.text));
        if (c.key)
            EXPECT_EQ(bad, QString::fromLatin1(c.key)) << c.text.constData();
        else
            EXPECT_EQ(bad, std::nullopt) << c.text.constData();
    }
}
