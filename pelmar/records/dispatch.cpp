// Dispatch of datagrams into the device table.
#include "pelmar/records/dispatch.h"

#include "pelmar/records/records.h"

namespace pelmar {

namespace {

void onRecord(DeviceTable &table, RecordFormat format, ByteView d, std::string_view address, std::uint16_t port,
              DispatchOutcome &out)
{
    out.answered = true;
    const auto reg = table.registerReply(address, port, frameMacTail(d));
    if (!reg) {
        out.ignored = true;
        return;
    }
    out.index = reg->index;
    out.newRow = reg->newRow;
    out.showDevice = takeOverRecord(format, recordOf(d), table.at(reg->index));
}

void onShortDiscovery(DeviceTable &table, ByteView d, std::string_view address, std::uint16_t port,
                      DispatchOutcome &out)
{
    out.answered = true;
    const ReadSequence params = shortDiscoveryParams(d);
    const auto reg = table.registerReply(address, port, params.tail);
    if (!reg) {
        out.ignored = true;
        return;
    }
    DeviceEntry &e = table.at(reg->index);
    e.deviceKind = d[12];
    e.isWifi = false;
    out.index = reg->index;
    out.newRow = out.newRow || reg->newRow;
    out.readSequence = params;
}

} // namespace

DispatchOutcome dispatchDatagram(DeviceTable &table, ByteView d, std::string_view address, std::uint16_t port)
{
    DispatchOutcome out;
    out.route = routeDatagram(d);
    if (out.route.alert || out.route.scanAlert) out.alertText = textAtByte4(d);
    if (out.route.record) onRecord(table, *out.route.record, d, address, port, out);
    if (out.route.shortDiscovery) onShortDiscovery(table, d, address, port, out);
    if (out.route.shortItem) {
        out.item = takeOverItem(table, d);
        if (out.item.showDevice) {
            out.showDevice = true;
            out.index = out.item.index;
        }
    }
    return out;
}

} // namespace pelmar
