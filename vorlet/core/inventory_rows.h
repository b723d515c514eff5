// The gateway list as an inventory: one row per listed gateway, with the
// texts the list shows (names converted from GBK to UTF-8).
#pragma once

#include "common/inventory.h"
#include "vorlet/record/device_list.h"

#include <cstdint>
#include <vector>

namespace vorlet {

class GatewayCore;

// adapter: the local address the search ran on (most significant octet
// first), 0 for a socket bound to every address.
std::vector<kyvo::InventoryRow> inventoryRows(const DeviceList &list, std::uint32_t adapter);
// The core's list, each row with its device's adapter (GatewayCore::adapterOf).
std::vector<kyvo::InventoryRow> inventoryRows(GatewayCore &core);

} // namespace vorlet
