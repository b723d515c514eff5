// Port setting clones: what each row copies onto the device's ports, the
// local port by order from PORT1 only, and when a clone would change
// something, over the device's own ports only.
#include "pelmar/files/port_clone.h"

#include "pelmar/model/conversions.h"

#include <gtest/gtest.h>

#include <string>

using namespace pelmar;

namespace {

// Every port different in every setting, as a device might answer.
DeviceEntry device(const char *hardware, std::uint8_t kind = 1)
{
    DeviceEntry e;
    e.present = true;
    e.hardwareVersion.set(hardware);
    e.deviceKind = kind;
    for (std::size_t k = 0; k < kMaxPorts; ++k) {
        PortSettings &p = e.ports[k];
        const auto n = std::uint8_t(k);
        p.baudIndex = std::uint8_t(1 + k % 17);
        p.parity = std::uint8_t(1 + k % 3);
        p.dataBits = std::uint8_t(7 + k % 3);
        p.stopBits = std::uint8_t(1 + k % 3);
        p.workMode = std::uint8_t(1 + k % 4);
        p.packTime = std::uint8_t(10 + n);
        p.packLength = std::uint16_t(500 + k);
        p.targetHost.set("host-" + std::to_string(k));
        p.targetPort = std::uint16_t(8000 + k);
        p.localPort = std::uint16_t(4000 + 7 * k);
        p.heartbeatData.set("hb" + std::to_string(k));
        p.heartbeatInterval = std::uint16_t(30 + k);
        p.registerMode = std::uint8_t(k % 4);
        p.registerLength = 3;
        p.registerData = {'R', 'G', std::uint8_t('a' + n)};
        p.modbusTcpToRtu = std::uint8_t(1 + k % 2);
        p.timeout = std::uint16_t(100 + k);
        p.serialType = std::uint8_t(1 + k % 3);
        p.modbusAddress = std::uint8_t(k + 1);
        p.customBaud = std::uint8_t(k % 2);
        p.itemExtra = {0, std::uint8_t(k + 1), 0, 0};
    }
    return e;
}

void setRegister(PortSettings &p, const std::string &text, std::uint8_t length)
{
    p.registerData.fill(0);
    std::copy(text.begin(), text.end(), p.registerData.begin());
    p.registerLength = length;
}

} // namespace

TEST(PortClone, TheLocalPortGoesByOrderFromPort1AndIsThenConsecutive)
{
    DeviceEntry e = device("S410");
    e.ports[0].localPort = 2000;
    ASSERT_TRUE(cloneChangesSomething(e, CloneRow::LocalPort));
    EXPECT_EQ(cloneSetting(e, 0, CloneRow::LocalPort), CloneResult::Done);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(e.ports[k].localPort, 2000 + k) << k;
    EXPECT_EQ(e.ports[4].localPort, 4000 + 7 * 4); // beyond the device's ports
    EXPECT_FALSE(cloneChangesSomething(e, CloneRow::LocalPort));
}

TEST(PortClone, TheLocalPortIsNotClonedFromAnotherPort)
{
    DeviceEntry e = device("S410");
    const DeviceEntry before = e;
    EXPECT_EQ(cloneSetting(e, 2, CloneRow::LocalPort), CloneResult::OnlyFromFirstPort);
    EXPECT_EQ(e.ports, before.ports);
}

TEST(PortClone, ABaudRateOfPort3GoesToAllEightPorts)
{
    DeviceEntry e = device("V820");
    e.ports[2].baudIndex = 5;
    EXPECT_TRUE(cloneChangesSomething(e, CloneRow::Baud));
    EXPECT_EQ(cloneSetting(e, 2, CloneRow::Baud), CloneResult::Done);
    for (std::size_t k = 0; k < 8; ++k)
        EXPECT_EQ(e.ports[k].baudIndex, 5) << k;
    EXPECT_NE(e.ports[8].baudIndex, 5);
    EXPECT_FALSE(cloneChangesSomething(e, CloneRow::Baud));
    // Nothing else moved.
    EXPECT_EQ(e.ports[0].parity, 1);
    EXPECT_EQ(e.ports[1].parity, 2);
}

TEST(PortClone, EachRowCopiesItsOwnSettingAndNoOther)
{
    const CloneRow rows[] = {
        CloneRow::Baud,         CloneRow::Parity,        CloneRow::DataBits,          CloneRow::StopBits,
        CloneRow::PackTime,     CloneRow::PackLength,    CloneRow::WorkMode,          CloneRow::TargetHost,
        CloneRow::TargetPort,   CloneRow::HeartbeatData, CloneRow::HeartbeatInterval, CloneRow::RegisterMode,
        CloneRow::RegisterData, CloneRow::ModbusTimeout, CloneRow::ModbusAddress,     CloneRow::CustomBaud};
    for (CloneRow row : rows) {
        SCOPED_TRACE(int(row));
        DeviceEntry e = device("V620");
        ASSERT_TRUE(cloneChangesSomething(e, row));
        ASSERT_EQ(cloneSetting(e, 1, row), CloneResult::Done);
        EXPECT_FALSE(cloneChangesSomething(e, row));
        // Every other row still differs.
        for (CloneRow other : rows) {
            if (other == row) continue;
            EXPECT_TRUE(cloneChangesSomething(e, other)) << "row " << int(other);
        }
        EXPECT_TRUE(cloneChangesSomething(e, CloneRow::LocalPort));
    }
}

TEST(PortClone, TextsAndRegisterDataCompareAsTheirContents)
{
    DeviceEntry e = device("S110"); // two ports
    e.ports[0].targetHost.set("same.example");
    e.ports[1].targetHost.set("same.example");
    EXPECT_FALSE(cloneChangesSomething(e, CloneRow::TargetHost));
    e.ports[1].targetHost.set("same.example2");
    EXPECT_TRUE(cloneChangesSomething(e, CloneRow::TargetHost));

    setRegister(e.ports[0], "AB", 2);
    setRegister(e.ports[1], "AC", 2);
    EXPECT_TRUE(cloneChangesSomething(e, CloneRow::RegisterData));
    setRegister(e.ports[1], "AB", 2);
    EXPECT_FALSE(cloneChangesSomething(e, CloneRow::RegisterData));
    setRegister(e.ports[1], "AB", 1);
    EXPECT_TRUE(cloneChangesSomething(e, CloneRow::RegisterData));
}

TEST(PortClone, RegisterDataCopiesItsLengthAndThatManyBytes)
{
    DeviceEntry e = device("S410");
    setRegister(e.ports[0], "XYZW", 2); // "ZW" lies beyond the data
    setRegister(e.ports[3], "abcdef", 6);
    ASSERT_EQ(cloneSetting(e, 0, CloneRow::RegisterData), CloneResult::Done);
    EXPECT_EQ(e.ports[3].registerLength, 2);
    EXPECT_EQ(e.ports[3].registerData[0], 'X');
    EXPECT_EQ(e.ports[3].registerData[1], 'Y');
    EXPECT_EQ(e.ports[3].registerData[2], 'c'); // not part of the data, left alone
    // The bytes beyond the length do not keep the button enabled.
    EXPECT_FALSE(cloneChangesSomething(e, CloneRow::RegisterData));
}

TEST(PortClone, TheTimeoutRowLooksAtTheBoxAndTheTimeoutAsTheDeviceKindHoldsIt)
{
    DeviceEntry kind1 = device("S410", 1);
    for (std::size_t k = 0; k < 4; ++k) {
        kind1.ports[k].modbusTcpToRtu = 2;
        kind1.ports[k].timeout = 300;
    }
    // Kind 1: serialType is the serial type, whatever it holds.
    EXPECT_FALSE(cloneChangesSomething(kind1, CloneRow::ModbusTimeout));
    kind1.ports[2].modbusTcpToRtu = 1;
    EXPECT_TRUE(cloneChangesSomething(kind1, CloneRow::ModbusTimeout));

    // Other kinds keep the time-out in serialType (tens of ms).
    DeviceEntry kind0 = device("S410", 0);
    for (std::size_t k = 0; k < 4; ++k)
        kind0.ports[k].modbusTcpToRtu = 2;
    kind0.ports[1].serialType = 25;
    EXPECT_TRUE(cloneChangesSomething(kind0, CloneRow::ModbusTimeout));
    ASSERT_EQ(cloneSetting(kind0, 1, CloneRow::ModbusTimeout), CloneResult::Done);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(kind0.ports[k].serialType, 25) << k;
        EXPECT_EQ(shownTimeout(0, kind0.ports[k]), 250) << k;
    }
    EXPECT_EQ(kind0.ports[0].timeout, 100); // the unused field is not touched
}

TEST(PortClone, OnlyTheDevicesOwnPortsCount)
{
    DeviceEntry e = device("S110"); // two ports
    for (std::size_t k = 0; k < 2; ++k)
        e.ports[k].baudIndex = 5;
    e.ports[0].localPort = 3000;
    e.ports[1].localPort = 3001;
    EXPECT_FALSE(cloneChangesSomething(e, CloneRow::Baud));      // port 3 differs, but is none of its ports
    EXPECT_FALSE(cloneChangesSomething(e, CloneRow::LocalPort)); // port 3 is not 3002
    EXPECT_EQ(cloneSetting(e, 2, CloneRow::Baud), CloneResult::NoPort);

    DeviceEntry unknown = device("S-10"); // a port count character the tool does not know
    EXPECT_FALSE(cloneChangesSomething(unknown, CloneRow::Baud));
    EXPECT_EQ(cloneSetting(unknown, 0, CloneRow::Baud), CloneResult::NoPort);
}

TEST(PortClone, TwentyFourPortsAreAllReached)
{
    DeviceEntry e = device("VN30");
    EXPECT_EQ(cloneSetting(e, 23, CloneRow::HeartbeatData), CloneResult::Done);
    for (std::size_t k = 0; k < 24; ++k)
        EXPECT_EQ(e.ports[k].heartbeatData.text(), "hb23") << k;
}
