// What one received datagram does to the device table: the routing rules
// applied in order, with registration and take-over. The transport and its
// timers act on the outcome; this part has no clock and no socket.
#pragma once

#include "pelmar/link/read_sequence.h"
#include "pelmar/link/routing.h"
#include "pelmar/model/device_table.h"
#include "pelmar/records/short_items.h"

#include <optional>
#include <string>

namespace pelmar {

struct DispatchOutcome {
    Route route;
    std::string alertText;   // the text at byte 4 (GBK), for route.alert and route.scanAlert
    bool answered = false;   // a record or discovery reply: the broadcast ends, "已完成搜索"
    std::optional<std::size_t> index; // the registered device
    bool newRow = false;     // it took a new slot: append its list row
    bool ignored = false;    // it would need a slot beyond the 256th
    bool showDevice = false; // its record was taken over (or its last port item arrived)
    std::optional<ReadSequence> readSequence; // a short-frame device to read item by item
    ItemOutcome item;
};

DispatchOutcome dispatchDatagram(DeviceTable &table, ByteView datagram, std::string_view sourceAddress,
                                 std::uint16_t sourcePort);

} // namespace pelmar
