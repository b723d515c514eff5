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
