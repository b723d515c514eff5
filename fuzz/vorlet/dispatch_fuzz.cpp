// One device message into a device list that already holds a gateway, so
// that every answer code reaches its handler.
#include "vorlet/record/dispatch.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static auto devices = std::make_unique<vorlet::DeviceList>();
    devices->clear();
    if (size >= 8) {
        vorlet::Mac mac{};
        std::copy(data + size - 8, data + size - 2, mac.begin());
        devices->add(mac, 0x0A000002); // the message's own MAC is a known device
    }
    vorlet::dispatchMessage(*devices, 0x0A000001, kyvo::ByteView(data, size));
    return 0;
}
