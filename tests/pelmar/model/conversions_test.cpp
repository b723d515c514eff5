// The model's conversions.
#include "pelmar/model/conversions.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {
DeviceEntry withHardware(const char *hw)
{
    DeviceEntry e;
    e.hardwareVersion.set(hw);
    return e;
}
} // namespace

TEST(Conversions, PortCountComesFromTheHardwareVersionsSecondCharacter)
{
    EXPECT_EQ(portCount(withHardware("VN10")), 24);
    EXPECT_EQ(portCount(withHardware("VM10")), 16);
    EXPECT_EQ(portCount(withHardware("VB10")), 2);
    EXPECT_EQ(portCount(withHardware("V110")), 2);
    EXPECT_EQ(portCount(withHardware("V810")), 8);
    EXPECT_EQ(portCount(withHardware("V610")), 6);
    EXPECT_EQ(usablePortCount(withHardware("VZ10")), kMaxPorts); // 'Z' - '0' = 42, cut to the model
    EXPECT_EQ(usablePortCount(withHardware("")), 0u);
}

TEST(Conversions, BaudTableBothWays)
{
    EXPECT_EQ(baudFromIndex(1), 600u);
    EXPECT_EQ(baudFromIndex(11), 115200u);
    EXPECT_EQ(baudFromIndex(17), 1024000u);
    EXPECT_EQ(baudFromIndex(0), 0u);
    EXPECT_EQ(baudFromIndex(18), 0u);
    EXPECT_EQ(indexFromBaud(115200), 11);
    EXPECT_EQ(indexFromBaud(600), 1);
    EXPECT_EQ(indexFromBaud(250000), 17);
}

TEST(Conversions, MacTextsBothWays)
{
    EXPECT_EQ(macText(Mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(parseMacText("00-1a-2B-3c-4D-5e"), (Mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(parseMacText("001A2B3C4D5E"), (Mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_FALSE(parseMacText("00-1A-2B-3C-4D"));
    EXPECT_FALSE(parseMacText("00-1A-2B-3C-4D-5G"));
}

TEST(Conversions, SignalTextAndBar)
{
    DeviceEntry e;
    e.wifiMode = 2;
    e.wifiRssi = -30;
    EXPECT_EQ(signalText(e), "100% -30");
    e.wifiRssi = -70;
    EXPECT_EQ(signalText(e), "42% -70");
    EXPECT_EQ(signalBar(e).position, 30);
    EXPECT_EQ(signalBar(e).maximum, 70);
    e.wifiRssi = -20;
    EXPECT_EQ(signalText(e), "100%"); // 114 %
    e.wifiRssi = 5;
    EXPECT_EQ(signalText(e), "0%");
    e.wifiRssi = -70;
    e.wifiMode = 1;
    EXPECT_EQ(signalText(e), "100%");
    e.wifiMode = 3;
    EXPECT_EQ(signalText(e), "100%");
}

TEST(Conversions, RegisterTextAsHexOrCharacters)
{
    PortSettings p;
    p.registerData[0] = 0x41;
    p.registerData[1] = 0x0D;
    p.registerData[2] = 0x42;
    p.registerData[3] = 0x7F;
    p.registerLength = 3;
    EXPECT_EQ(registerText(p, false), "A?B");
    EXPECT_EQ(registerText(p, true), "41 0d 42 ");
    p.registerLength = 4;
    EXPECT_EQ(registerText(p, false), "A?B?");
    p.registerLength = 200; // never more than the 16 bytes there are
    EXPECT_EQ(registerText(p, true).size(), 48u);
}

TEST(Conversions, TimeoutIsSixteenBitsForKindOneElseTheSerialTypeInTensOfMs)
{
    PortSettings p;
    p.serialType = 2;
    p.timeout = 500;
    EXPECT_EQ(shownTimeout(0, p), 20);
    EXPECT_EQ(shownTimeout(1, p), 500);
    storeTypedTimeout(0, p, 95);
    EXPECT_EQ(p.serialType, 9);
    EXPECT_EQ(p.timeout, 500);
    storeTypedTimeout(1, p, 65535);
    EXPECT_EQ(p.timeout, 65535);
    EXPECT_EQ(p.serialType, 9);
}

TEST(Conversions, SerialTypeIsShownOnlyWithPortOnesTypeSetAndBelow4)
{
    DeviceEntry e;
    e.ports[0].serialType = 0;
    e.ports[1].serialType = 2;
    EXPECT_FALSE(shownSerialType(e, 1));
    e.ports[0].serialType = 1;
    EXPECT_EQ(shownSerialType(e, 1), 1);
    e.ports[1].serialType = 9; // a timeout in tens of ms
    EXPECT_FALSE(shownSerialType(e, 1));
    EXPECT_FALSE(shownSerialType(e, 24));
}
