// The relay action word: a 2-bit code per relay Y1..Y16 in one 32-bit word,
// Y1 in the lowest two bits. Linkage rules, timers and relay commands use it.
#pragma once

#include <array>
#include <cstdint>

namespace vorlet {

inline constexpr int kRelayCount = 16;

// The code of one relay; any word holds only these four.
enum RelayCode : std::uint8_t {
    kRelayOpen = 0,
    kRelayClose = 1,
    kRelayToggle = 2,
    kRelayUnchanged = 3,
};

// A word that changes no relay.
inline constexpr std::uint32_t kNoRelayAction = 0xFFFFFFFFu;

// The code of relay Y(index + 1); index 0..15.
constexpr std::uint8_t relayCode(std::uint32_t word, int index)
{
    return std::uint8_t((word >> (2 * index)) & 3u);
}

// The word with relay Y(index + 1) given `code` (its low two bits).
constexpr std::uint32_t withRelayCode(std::uint32_t word, int index, std::uint8_t code)
{
    const int shift = 2 * index;
    return (word & ~(3u << shift)) | (std::uint32_t(code & 3u) << shift);
}

// Every relay given the same code ("全断开", "全闭合", ...).
constexpr std::uint32_t uniformRelayWord(std::uint8_t code)
{
    std::uint32_t word = 0;
    for (int i = 0; i < kRelayCount; ++i)
        word = withRelayCode(word, i, code);
    return word;
}

// One relay acts, the others stay as they are: the one-to-one linkage of
// input k to relay k.
constexpr std::uint32_t singleRelayWord(int index, std::uint8_t code)
{
    return withRelayCode(kNoRelayAction, index, code);
}

using RelayCodes = std::array<std::uint8_t, kRelayCount>;

constexpr RelayCodes relayCodes(std::uint32_t word)
{
    RelayCodes codes{};
    for (int i = 0; i < kRelayCount; ++i)
        codes[std::size_t(i)] = relayCode(word, i);
    return codes;
}

constexpr std::uint32_t relayWord(const RelayCodes &codes)
{
    std::uint32_t word = 0;
    for (int i = 0; i < kRelayCount; ++i)
        word = withRelayCode(word, i, codes[std::size_t(i)]);
    return word;
}

} // namespace vorlet
