// One-click configuration: which files fit a device, and what of the file
// goes onto it.
#include "pelmar/files/one_click.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

DeviceEntry withPorts(const char *hardware)
{
    DeviceEntry e;
    e.hardwareVersion.set(hardware);
    return e;
}

} // namespace

TEST(OneClick, AFileFitsADeviceWithAsManyPortsOrFewer)
{
    const DeviceEntry four = withPorts("V40A");
    EXPECT_TRUE(importedPortsFit(withPorts("VN0A"), four)); // a 24-port file onto 4 ports
    EXPECT_TRUE(importedPortsFit(withPorts("V40A"), four));
    EXPECT_FALSE(importedPortsFit(withPorts("V10A"), four)); // '1': two ports
    // 'B' is two ports too, though as a character it is above every digit.
    EXPECT_FALSE(importedPortsFit(withPorts("VB0A"), four));
    EXPECT_FALSE(importedPortsFit(withPorts("VB0A"), withPorts("V80A")));
    EXPECT_TRUE(importedPortsFit(withPorts("V40A"), withPorts("VB0A")));
    EXPECT_TRUE(importedPortsFit(withPorts("VM0A"), withPorts("V80A")));
    EXPECT_FALSE(importedPortsFit(withPorts("VM0A"), withPorts("VN0A")));
}

TEST(OneClick, TheNetworkUserWifiAndPortSettingsComeOverAndTheDeviceKeepsTheRest)
{
    DeviceEntry file = withPorts("VN0A");
    file.ip = {10, 1, 2, 3};
    file.mask = {255, 0, 0, 0};
    file.gateway = {10, 0, 0, 1};
    file.dns = {10, 0, 0, 2};
    file.ipMode = 1;
    file.user.set("ops");
    file.password.set("pw2");
    file.wifiDhcpServer = 2;
    file.wifiStp = 1;
    file.wifiMode = 3;
    file.apSsid.set("ap-file");
    file.apPassword.set("ap-pass");
    file.staSsid.set("sta-file");
    file.staPassword.set("sta-pass");
    file.wifiSecurity = 4;
    file.wifiEncryption = 3;
    file.mac = {1, 2, 3, 4, 5, 6};
    file.ports[23].baudIndex = 11;
    file.ports[0].targetHost.set("host.example");

    DeviceEntry device = withPorts("V40A");
    device.firmwareVersion.set("F777");
    device.mac = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    device.wifiSecurity = 1;
    device.wifiEncryption = 1;
    applyImportedEntry(file, device);

    EXPECT_EQ(device.ip, file.ip);
    EXPECT_EQ(device.mask, file.mask);
    EXPECT_EQ(device.gateway, file.gateway);
    EXPECT_EQ(device.dns, file.dns);
    EXPECT_EQ(device.ipMode, 1);
    EXPECT_EQ(device.user.text(), "ops");
    EXPECT_EQ(device.password.text(), "pw2");
    EXPECT_EQ(device.wifiMode, 3);
    EXPECT_EQ(device.apSsid.text(), "ap-file");
    EXPECT_EQ(device.staPassword.text(), "sta-pass");
    EXPECT_EQ(device.ports[23].baudIndex, 11); // all 24 ports, whole
    EXPECT_EQ(device.ports[0].targetHost.text(), "host.example");

    EXPECT_EQ(device.hardwareVersion.text(), "V40A");
    EXPECT_EQ(device.firmwareVersion.text(), "F777");
    EXPECT_EQ(device.mac, (Mac{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
    EXPECT_EQ(device.wifiSecurity, 1);
    EXPECT_EQ(device.wifiEncryption, 1);
}

TEST(OneClick, PortFieldsNoFileCarriesStayWithTheDevice)
{
    DeviceEntry file = withPorts("V40A");
    file.ports[1].baudIndex = 5;
    file.ports[1].timeout = 250; // the file's "ModbusTimeout"
    file.ports[1].registerMode = 0;

    DeviceEntry device = withPorts("V40A");
    device.deviceKind = 1;
    PortSettings &own = device.ports[1];
    own.serialType = 3;
    own.itemExtra = {9, 8, 7, 6};
    own.cloudId.set("cloud-id-1");
    own.cloudPassword.set("cpw");
    own.cloudAddress = {10, 0, 0, 9};
    own.oneToManyMapped = 101;
    own.oneToManyAddress = 51;
    own.secondPortCloud = 1;
    applyImportedEntry(file, device);

    const PortSettings &p = device.ports[1];
    EXPECT_EQ(p.baudIndex, 5);
    EXPECT_EQ(p.timeout, 250);
    EXPECT_EQ(p.serialType, 3);
    EXPECT_EQ(p.itemExtra, (std::array<std::uint8_t, 4>{9, 8, 7, 6}));
    EXPECT_EQ(p.cloudId.text(), "cloud-id-1");
    EXPECT_EQ(p.cloudPassword.text(), "cpw");
    EXPECT_EQ(p.cloudAddress, (std::array<std::uint8_t, 4>{10, 0, 0, 9}));
    EXPECT_EQ(p.oneToManyMapped, 101);
    EXPECT_EQ(p.oneToManyAddress, 51);
    EXPECT_EQ(p.secondPortCloud, 1);
}

TEST(OneClick, TheFilesTimeoutGoesIntoTheTimeoutFieldAndTheDeviceKeepsItsSerialType)
{
    DeviceEntry file = withPorts("V40A");
    file.ports[0].timeout = 250;
    file.ports[0].serialType = 1;
    DeviceEntry device = withPorts("V40A");
    device.deviceKind = 0; // the time-out in tens of ms it uses is in serialType
    device.ports[0].serialType = 7;
    device.ports[0].timeout = 33;
    applyImportedEntry(file, device);
    EXPECT_EQ(device.ports[0].serialType, 7);
    EXPECT_EQ(device.ports[0].timeout, 250);
}
