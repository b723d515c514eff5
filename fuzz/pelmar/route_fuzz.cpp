// One datagram as the main socket receives it, routed into a device table
// that already holds the device of the datagram's MacTail, so record
// replies, discovery replies and item replies all reach their handlers.
#include "pelmar/records/dispatch.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static auto table = std::make_unique<pelmar::DeviceTable>();
    table->clearForSearch();
    const kyvo::ByteView datagram(data, size);
    table->registerReply("10.0.0.9", 1111, {9, 9, 9});
    table->registerReply("10.0.0.2", 1111, pelmar::frameMacTail(datagram));
    const auto out = pelmar::dispatchDatagram(*table, datagram, "10.0.0.2", 1111);
    if (out.index && *out.index >= pelmar::DeviceTable::kAddressable) __builtin_trap();
    return 0;
}
