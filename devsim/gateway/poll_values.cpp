// Simulated current values of the polled slaves.
#include "devsim/gateway/poll_values.h"

#include <string>

namespace devsim {

kyvo::Bytes pollValuesText(kyvo::ByteView table, std::uint32_t sample)
{
    constexpr std::size_t kBufferText = 4095; // what the configurator's 4096-byte buffer holds
    std::string text;
    if (table.size() < 2) return {};
    const std::size_t count = kyvo::readBe16(table.data());
    std::size_t pos = 2;
    for (std::size_t i = 0; i < count && pos + 26 <= table.size(); ++i) {
        const std::uint8_t function = table[pos + 3];
        const std::uint32_t value =
            function == 1 || function == 2 ? (sample + i) % 2 : (sample * 7 + i * 100) % 1000;
        std::string piece = (i ? ";" : "") + std::to_string(value);
        if (text.size() + piece.size() > kBufferText) break;
        text += piece;
        pos += 1 + std::size_t(table[pos]);
    }
    return kyvo::Bytes(text.begin(), text.end());
}

} // namespace devsim
