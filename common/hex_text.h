// Hex text to bytes and back, as the dialogs read and show binary data.
#pragma once

#include "common/bytes.h"

#include <optional>
#include <string>
#include <string_view>

namespace kyvo {

// The program's text for a hex text that holds a character other than a hex
// digit or a space.
inline constexpr std::string_view kHexErrorText = "Please type hex number";

// Removes every space, then reads the digits in pairs (high nibble first); an
// odd last digit becomes a byte of its own value. At most maxBytes bytes are
// produced (2 * maxBytes digits are taken). Returns nothing when a character
// is not a hex digit.
std::optional<Bytes> parseHexText(std::string_view text, std::size_t maxBytes = 128);

// "%02x " per byte: "41 42 04 ".
std::string hexTextSpaced(ByteView bytes);

} // namespace kyvo
