// One debug datagram through the monitor's tags and log line, from a sender
// named by its first bytes.
#include "vorlet/io/monitor/monitor_codec.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static vorlet::GatewaySlots slots;
    const kyvo::ByteView datagram(data, size);
    const std::uint32_t sender = size >= 4 ? kyvo::readBe32(data) : 0;
    slots.number(sender);
    const vorlet::DebugTags tags = vorlet::classifyDebugDatagram(datagram);
    std::string line;
    vorlet::appendLogLine(line, "2024-03-07 14:05:09 007", sender, datagram, tags.prefixLength);
    if (line.size() < 4 || line.compare(line.size() - 2, 2, "\r\n") != 0) __builtin_trap();
    return 0;
}
