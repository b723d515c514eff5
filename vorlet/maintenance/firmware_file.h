// Gateway firmware files: a 20-byte header, the firmware image, then the
// web-page image, lengths big-endian.
#pragma once

#include "common/bytes.h"

#include <variant>

namespace vorlet {

inline constexpr std::size_t kMaxFirmwareFile = 10485760;

struct FirmwareFile {
    std::uint8_t imageType = 0; // byte 15
    kyvo::Bytes firmware;       // F bytes from offset 20
    kyvo::Bytes web;            // W bytes behind the 4-byte W
};

enum class FirmwareFileError {
    CannotOpen, // "can not open!!!"
    TooLarge,   // "file is huge!!!"
    Malformed,  // "file error!!!": a length that runs past the end
    NoImage,    // the header declares an empty firmware image: nothing to flash
};

std::variant<FirmwareFile, FirmwareFileError> parseFirmwareFile(kyvo::ByteView file);
// Reads and parses a file; a file above the limit is refused before it is read.
std::variant<FirmwareFile, FirmwareFileError> loadFirmwareFile(const char *path);

} // namespace vorlet
