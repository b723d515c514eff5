// IPv4 addresses and UDP endpoints as plain values (most significant octet first).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kyvo {

struct Ipv4Endpoint {
    std::uint32_t address = 0; // host order: 0xC0A80101 is 192.168.1.1
    std::uint16_t port = 0;
    friend bool operator==(const Ipv4Endpoint &, const Ipv4Endpoint &) = default;
};

inline constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFFu;

inline std::uint32_t ipv4FromOctets(const std::uint8_t *octets)
{
    return (std::uint32_t(octets[0]) << 24) | (std::uint32_t(octets[1]) << 16) | (std::uint32_t(octets[2]) << 8) |
           octets[3];
}

inline std::array<std::uint8_t, 4> ipv4Octets(std::uint32_t address)
{
    return {std::uint8_t(address >> 24), std::uint8_t(address >> 16), std::uint8_t(address >> 8),
            std::uint8_t(address)};
}

inline std::string ipv4Text(std::uint32_t address)
{
    const auto o = ipv4Octets(address);
    return std::to_string(o[0]) + '.' + std::to_string(o[1]) + '.' + std::to_string(o[2]) + '.' +
           std::to_string(o[3]);
}

// Strict dotted quad: four decimal octets 0..255.
inline std::optional<std::uint32_t> parseIpv4(std::string_view text)
{
    std::uint32_t result = 0;
    int octets = 0;
    std::size_t i = 0;
    while (octets < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
        unsigned value = 0;
        int digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            value = value * 10 + unsigned(text[i] - '0');
            ++i;
            ++digits;
        }
        if (value > 255 || digits > 3) return std::nullopt;
        result = (result << 8) | value;
        ++octets;
        if (octets < 4) {
            if (i >= text.size() || text[i] != '.') return std::nullopt;
            ++i;
        }
    }
    if (i != text.size()) return std::nullopt;
    return result;
}

} // namespace kyvo
