// Firmware file reading.
#include "vorlet/maintenance/firmware_file.h"

#include <cstdio>
#include <memory>

namespace vorlet {

std::variant<FirmwareFile, FirmwareFileError> parseFirmwareFile(kyvo::ByteView file)
{
    if (file.size() > kMaxFirmwareFile) return FirmwareFileError::TooLarge;
    if (file.size() < 20) return FirmwareFileError::Malformed;
    FirmwareFile f;
    f.imageType = file[15];
    const std::uint64_t firmwareLength = kyvo::readBe32(file.data() + 16);
    if (20 + firmwareLength + 4 > file.size()) return FirmwareFileError::Malformed;
    if (firmwareLength == 0) return FirmwareFileError::NoImage;
    f.firmware.assign(file.begin() + 20, file.begin() + 20 + std::ptrdiff_t(firmwareLength));
    const std::size_t webAt = 24 + std::size_t(firmwareLength);
    const std::uint64_t webLength = kyvo::readBe32(file.data() + webAt - 4);
    if (webAt + webLength > file.size()) return FirmwareFileError::Malformed;
    f.web.assign(file.begin() + std::ptrdiff_t(webAt), file.begin() + std::ptrdiff_t(webAt + webLength));
    return f;
}

std::variant<FirmwareFile, FirmwareFileError> loadFirmwareFile(const char *path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file) return FirmwareFileError::CannotOpen;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return FirmwareFileError::CannotOpen;
    const long size = std::ftell(file.get());
    if (size < 0) return FirmwareFileError::CannotOpen;
    if (std::size_t(size) > kMaxFirmwareFile) return FirmwareFileError::TooLarge;
    std::rewind(file.get());
    kyvo::Bytes bytes(static_cast<std::size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return FirmwareFileError::Malformed;
    return parseFirmwareFile(bytes);
}

} // namespace vorlet
