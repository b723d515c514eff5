// The main window's field rules: the numeric check, duplicate local ports,
// typed register data, the port list's size and the enabling rules.
#include "pelmar/ui/field_rules.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace pelmar;
using testsupport::toHex;

TEST(NumericCheck, DigitsOnlyUpToTheLimitAndEmptyAsZero)
{
    EXPECT_EQ(checkNumber("255", 255), 255u);
    EXPECT_EQ(checkNumber("", 255), 0u);
    EXPECT_EQ(checkNumber("0000000000000000000012", 255), 12u);
    EXPECT_FALSE(checkNumber("256", 255));
    EXPECT_FALSE(checkNumber("12a", 255));
    EXPECT_FALSE(checkNumber("-1", 65535));
    EXPECT_FALSE(checkNumber(" 1", 65535));
    EXPECT_FALSE(checkNumber("99999999999999999999999", 65535)); // no overflow into a small value
    EXPECT_EQ(typedU16("5000"), 5000);
    EXPECT_EQ(typedU16("70000"), 70000 - 65536); // cut to the field's width
    EXPECT_EQ(typedU16("12a"), 12);
}

TEST(LocalPorts, TheFirstOtherPortBelowThePortCountWithTheSameValue)
{
    DeviceEntry e;
    e.hardwareVersion.set("S410");
    for (std::size_t k = 0; k < kMaxPorts; ++k)
        e.ports[k].localPort = std::uint16_t(4001 + k);
    EXPECT_EQ(duplicateLocalPort(e, 2, 4001), 0u);
    EXPECT_FALSE(duplicateLocalPort(e, 2, 4003)); // its own value
    EXPECT_FALSE(duplicateLocalPort(e, 0, 4005)); // port 5 lies beyond the four ports
    e.ports[3].localPort = 4001;
    EXPECT_EQ(duplicateLocalPort(e, 2, 4001), 0u);
    EXPECT_EQ(duplicateLocalPort(e, 0, 4001), 3u);
}

TEST(RegisterData, HexPairsBlanksRemovedAndSixteenBytesAtMost)
{
    EXPECT_EQ(toHex(*typedRegisterData("4142 4", true)), "41 42 04");
    EXPECT_EQ(toHex(*typedRegisterData("41 0d 42", true)), "41 0d 42");
    EXPECT_FALSE(typedRegisterData("41 4G", true));
    EXPECT_FALSE(typedRegisterData("0x41", true));
    EXPECT_EQ(toHex(*typedRegisterData("A?B", false)), "41 3f 42");
    const auto longHex = typedRegisterData("00112233445566778899aabbccddeeff1122", true);
    ASSERT_EQ(longHex->size(), 16u);
    EXPECT_EQ(longHex->back(), 0xFF);
    EXPECT_EQ(typedRegisterData("abcdefghijklmnopqrstuvwxyz", false)->size(), 16u);

    PortSettings p;
    p.registerData.fill(0xEE);
    storeRegisterData(p, {0x41, 0x42});
    EXPECT_EQ(p.registerLength, 2);
    EXPECT_EQ(toHex(p.registerData), "41 42 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(macAsRegisterText({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}), "00 1a 2b 3c 4d 5e");
}

TEST(PortList, ItemsByThePortCountCharacter)
{
    EXPECT_EQ(portListSize('1'), 2);
    EXPECT_EQ(portListSize('B'), 2);
    EXPECT_EQ(portListSize('4'), 4);
    EXPECT_EQ(portListSize('6'), 6);
    EXPECT_EQ(portListSize('8'), 8);
    EXPECT_EQ(portListSize('M'), 16);
    EXPECT_EQ(portListSize('N'), 24);
    EXPECT_FALSE(portListSize('2'));
    EXPECT_FALSE(portListSize(0));
}

TEST(EnablingRules, WorkModeModbusAndWifiMode)
{
    const WorkModeRule server = workModeRule(1), client = workModeRule(2), udpClient = workModeRule(4);
    EXPECT_FALSE(server.target);
    EXPECT_TRUE(server.registerDataOff);
    EXPECT_TRUE(client.target && client.heartbeat && client.registerMode && !client.registerDataOff);
    EXPECT_TRUE(udpClient.target);
    EXPECT_FALSE(udpClient.heartbeat || udpClient.registerMode);

    EXPECT_TRUE(modbusRule(true, 1).cacheButton);
    EXPECT_FALSE(modbusRule(true, 2).cacheButton);
    EXPECT_TRUE(modbusRule(true, 2).timeout && modbusRule(true, 2).marker &&
                !modbusRule(true, 2).hideAddressRow);
    const ModbusRule off = modbusRule(false, 1);
    EXPECT_FALSE(off.timeout || off.marker || off.cacheButton);
    EXPECT_TRUE(off.hideAddressRow);

    const WifiModeRule ap = wifiModeRule(0), sta = wifiModeRule(1), both = wifiModeRule(2);
    EXPECT_TRUE(ap.ap && !ap.sta && !ap.scan && !ap.warn);
    EXPECT_TRUE(!sta.ap && sta.sta && sta.scan && !sta.warn);
    EXPECT_TRUE(both.ap && both.sta && both.scan && both.warn);
}
