// A gateway's simulated I/O module: inputs, pulse counters and analogue
// values that move with the module's clock, relays that follow the relay
// commands, counters that clear, and a firmware image it takes whole.
#pragma once

#include "common/bytes.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace devsim {

using kyvo::Bytes;
using kyvo::ByteView;

class IoModuleSim
{
public:
    static constexpr int kInputs = 16;
    static constexpr int kRelays = 16;
    static constexpr int kAnalog = 8;
    static constexpr std::size_t kLiveSize = 136;
    static constexpr std::size_t kLargestFirmware = 8192;

    // clockMs: the module's time in milliseconds; everything that moves is a
    // function of it, so a test that sets the time knows every value.
    explicit IoModuleSim(std::function<std::int64_t()> clockMs);

    // The live-status value (item 0x90): relays, inputs, counters, raw and
    // scaled analogue values (big-endian), then the 8 clock bytes.
    Bytes liveStatus(ByteView clock) const;

    // A write item for the module: 0x90 relay codes, 0x91 clear counters,
    // 0x8F firmware. False for any other tag (the gateway keeps those).
    bool takeWrite(std::uint8_t tag, ByteView value);

    // The answer to the ADC calibration request (item 0x8F, 16 bytes).
    Bytes calibrationResult() const;

    bool inputActive(int k, std::int64_t t) const;
    std::int32_t counter(int k, std::int64_t t) const;
    std::uint16_t analogRaw(int i, std::int64_t t) const;
    static std::uint16_t scaled(std::uint16_t raw) { return std::uint16_t(raw * 5000u / 4095u); }

    const std::array<std::uint8_t, kRelays> &relays() const { return m_relays; }
    const Bytes &firmware() const { return m_firmware; }
    int firmwareDownloads() const { return m_downloads; }

    // Control-channel values: "io.relays" (16 bytes), "io.firmware",
    // "io.counters" (16 big-endian 32-bit counters now).
    std::optional<QByteArray> query(const QString &path) const;

private:
    std::int64_t now() const { return m_clockMs(); }
    std::int64_t pulses(int k, std::int64_t t) const;

    std::function<std::int64_t()> m_clockMs;
    std::array<std::uint8_t, kRelays> m_relays{};
    std::array<std::int64_t, kInputs> m_counterBase{};
    Bytes m_firmware;
    int m_downloads = 0;
};

} // namespace devsim
