// What a simulated serial server sends after a sub-dialog's debug run (the
// run itself is one of its "h:" frames): human-readable text lines.
#include "devsim/serial/server_sim.h"

#include <string>

namespace devsim {

Bytes ServerSim::debugLine(unsigned long long n) const
{
    const std::string seq = std::to_string(n);
    const std::string line = n % 2 == 0 ? "mqtt: publish port1 topic/uart " + seq + " ok"
                                        : "modbus cache: 01 03 00 00 00 02 answered from cache " + seq;
    return Bytes(line.begin(), line.end());
}

} // namespace devsim
