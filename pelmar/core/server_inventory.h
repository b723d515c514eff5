// The serial-server list as an inventory: one row per list row, with the
// texts the list shows. The servers report no name; the model is the
// hardware version the list shows.
#pragma once

#include "common/inventory.h"
#include "pelmar/model/device_table.h"

#include <QString>

#include <vector>

namespace pelmar {

class ServerCore;

// The first rows slots of the table; adapter is the main socket's local address.
std::vector<kyvo::InventoryRow> inventoryRows(const DeviceTable &table, std::size_t rows,
                                              const QString &adapter);
// The core's list, with the chosen adapter's address; for "默认" the address
// the main socket is bound to (boundAddress, every address when empty); for
// "全部网卡" each server's own adapter.
std::vector<kyvo::InventoryRow> inventoryRows(const ServerCore &core, const QString &boundAddress = {});

} // namespace pelmar
