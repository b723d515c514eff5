// One-click configuration.
#include "pelmar/files/one_click.h"

#include "pelmar/model/conversions.h"

namespace pelmar {

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
    t.ports = i.ports;
}

} // namespace pelmar
