// What a simulated gateway sends while its debugging is on: one line of its
// traffic per datagram, tagged by the channel it came from.
#include "devsim/gateway/gateway_sim.h"

#include <string>

namespace devsim {

Bytes GatewaySim::debugLine(unsigned long long n) const
{
    const std::string seq = std::to_string(n);
    const auto text = [](const std::string &s) { return Bytes(s.begin(), s.end()); };
    const auto tagged = [](std::string_view tag, Bytes data) {
        Bytes line(tag.begin(), tag.end());
        line.insert(line.end(), data.begin(), data.end());
        return line;
    };
    switch (n % 8) {
    case 0:
        return tagged("uart tx:", {0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B});
    case 1:
        return tagged("uart rx:",
                      {0x01, 0x03, 0x04, 0x00, 0x19, std::uint8_t(n >> 8), std::uint8_t(n), 0x8B, 0xE7});
    case 2:
        return tagged("tcpA rx:", text("read " + seq));
    case 3:
        return tagged("tcpA tx:", text("temperature=25.3;seq=" + seq));
    case 4:
        return tagged("tcpB tx:", text("heartbeat " + seq));
    case 5:
        return tagged("mqtt tx:", text("{\"temp\":25.3,\"seq\":" + seq + "}"));
    case 6:
        return text("Modbus poll slave 1 fc 3 ok " + seq);
    default:
        return text("Modbus cache hit 01 03 00 00 00 02 " + seq);
    }
}

} // namespace devsim
