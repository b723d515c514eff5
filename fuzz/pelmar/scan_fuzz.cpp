// WiFi scan replies: any datagram splits into names that together with
// their separators never reach beyond the reply's text.
#include "pelmar/advanced/wifi_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto names = pelmar::scanReplyNetworks(kyvo::ByteView(data, size));
    std::size_t used = 0;
    for (const std::string &name : names)
        used += name.size() + 1;
    if (used > (size < 7 ? 0 : size - 7)) __builtin_trap();
    return 0;
}
