// One-click configuration.
#include "pelmar/files/one_click.h"

#include "pelmar/model/conversions.h"

namespace pelmar {

namespace {

// A parameter file carries neither the serial type, the unnamed serial
// bytes, the cloud credentials nor the one-to-many addresses: the port keeps
// its own. Its "ModbusTimeout" is the port's time-out field for every
// DeviceKind; a device whose kind is not 1 keeps the time-out it uses in its
// own serialType.
PortSettings importedPort(const PortSettings &file, const PortSettings &own)
{
    PortSettings p = file;
    p.serialType = own.serialType;
    p.itemExtra = own.itemExtra;
    p.secondPortCloud = own.secondPortCloud;
    p.cloudId = own.cloudId;
    p.cloudPassword = own.cloudPassword;
    p.cloudAddress = own.cloudAddress;
    p.oneToManyMapped = own.oneToManyMapped;
    p.oneToManyAddress = own.oneToManyAddress;
    return p;
}

} // namespace

bool importedPortsFit(const DeviceEntry &imported, const DeviceEntry &target)
{
    // Compared as port counts: as characters a two-port 'B' would pass for
    // more ports than an eight-port '8'.
    return usablePortCount(imported) >= usablePortCount(target);
}

void applyImportedEntry(const DeviceEntry &i, DeviceEntry &t)
{
    t.ip = i.ip;
    t.mask = i.mask;
    t.gateway = i.gateway;
    t.dns = i.dns;
    t.ipMode = i.ipMode;
    t.user = i.user;
    t.password = i.password;
    t.wifiDhcpServer = i.wifiDhcpServer;
    t.wifiStp = i.wifiStp;
    t.wifiMode = i.wifiMode;
    t.apSsid = i.apSsid;
    t.apPassword = i.apPassword;
    t.staPassword = i.staPassword;
    t.staSsid = i.staSsid;
    for (std::size_t k = 0; k < kMaxPorts; ++k)
        t.ports[k] = importedPort(i.ports[k], t.ports[k]);
}

} // namespace pelmar
