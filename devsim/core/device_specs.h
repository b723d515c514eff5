// Devices from command-line specs, for the simulator program and the lab.
#pragma once

#include "devsim/core/sim_network.h"

#include <QStringList>

namespace devsim {

// MACs of simulated devices: a family byte pattern followed by the last
// three octets of the device's address, so each address has its own MAC.
Mac simulatedMac(std::uint8_t family, std::uint32_t address);

// "count=N,can,wifi,io,poll=N,name=TEXT,fragment=N,version=TEXT" -> gateways on
// consecutive addresses from next (which is advanced). A plain number N
// gives N gateways of a realistic mix of kinds.
bool addGateways(SimNetwork &network, const QString &spec, std::uint32_t &next, QString *error);

} // namespace devsim
