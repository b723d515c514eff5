// A .cfg file of any content imported over a gateway's record, then the save
// request built from it: whatever the file holds, the request keeps its
// frame and its bound, and the record keeps the device's MAC.
#include "vorlet/record/config_file.h"
#include "vorlet/record/save_request.h"

#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static auto record = std::make_unique<vorlet::ParameterRecord>();
    *record = vorlet::ParameterRecord{};
    const std::uint8_t mac[6] = {0x00, 0x4B, 0x59, 0x01, 0x02, 0x03};
    std::memcpy(record->mac, mac, sizeof mac);
    vorlet::loadConfigBytesOver(*record, kyvo::ByteView(data, size));
    if (std::memcmp(record->mac, mac, sizeof mac) != 0) std::abort();
    for (const std::uint8_t scope : {0, 1}) {
        const auto request = vorlet::buildSaveRequest(*record, scope);
        if (request.size() < 14 || request.size() > vorlet::kSaveRequestLimit) std::abort();
    }
    return 0;
}
