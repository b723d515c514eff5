// The gateway firmware file reader: any bytes give images inside the file or an error.
#include "vorlet/maintenance/firmware_file.h"

#include <cstdlib>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto parsed = vorlet::parseFirmwareFile(kyvo::ByteView(data, size));
    if (const auto *file = std::get_if<vorlet::FirmwareFile>(&parsed))
        if (file->firmware.size() + file->web.size() > size) std::abort();
    return 0;
}
