// The gateway tool's receive path: datagrams through the reassembly, every
// complete message through the envelope check and into the device list.
// Input: datagrams, each preceded by its 16-bit length.
#include "vorlet/link/reassembly.h"
#include "vorlet/record/dispatch.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static auto devices = std::make_unique<vorlet::DeviceList>();
    devices->clear();
    vorlet::Reassembler reassembler(4, 4096);
    std::size_t pos = 0;
    while (pos + 2 <= size) {
        const std::size_t n = std::min<std::size_t>(std::size_t(data[pos] << 8 | data[pos + 1]), size - pos - 2);
        const auto complete = reassembler.accept(kyvo::ByteView(data + pos + 2, n));
        if (complete) vorlet::dispatchMessage(*devices, 0x0A000001, complete->message);
        pos += 2 + n;
    }
    return 0;
}
