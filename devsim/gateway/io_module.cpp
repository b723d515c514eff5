// Simulated I/O module: square-wave inputs, counters of their pulses,
// triangle-wave analogue inputs, relays set by command.
#include "devsim/gateway/io_module.h"

#include <algorithm>

namespace devsim {

namespace {
void putBe16(Bytes &out, std::uint16_t v)
{
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}
void putBe32(Bytes &out, std::uint32_t v)
{
    putBe16(out, std::uint16_t(v >> 16));
    putBe16(out, std::uint16_t(v));
}
// Input Xk changes every 400 * (k + 1) ms, so each input has its own pace.
std::int64_t halfPeriodMs(int k)
{
    return 400 * (k + 1);
}
} // namespace

IoModuleSim::IoModuleSim(std::function<std::int64_t()> clockMs) : m_clockMs(std::move(clockMs)) {}

bool IoModuleSim::inputActive(int k, std::int64_t t) const
{
    return (std::max<std::int64_t>(t, 0) / halfPeriodMs(k)) % 2 == 1;
}

// Rising edges of input k from time 0 to t.
std::int64_t IoModuleSim::pulses(int k, std::int64_t t) const
{
    return (std::max<std::int64_t>(t, 0) + halfPeriodMs(k)) / (2 * halfPeriodMs(k));
}

std::int32_t IoModuleSim::counter(int k, std::int64_t t) const
{
    return std::int32_t(pulses(k, t) - m_counterBase[std::size_t(k)]);
}

std::uint16_t IoModuleSim::analogRaw(int i, std::int64_t t) const
{
    // A triangle between 0 and 4095 counts, one period of 8 + i seconds.
    const std::int64_t period = 8000 + 1000 * i;
    const std::int64_t phase = (std::max<std::int64_t>(t, 0) + 500 * i) % period;
    const std::int64_t up = phase < period / 2 ? phase : period - phase;
    return std::uint16_t(up * 4095 / (period / 2));
}

Bytes IoModuleSim::liveStatus(ByteView clock) const
{
    const std::int64_t t = now();
    Bytes v(m_relays.begin(), m_relays.end());
    for (int k = 0; k < kInputs; ++k)
        v.push_back(inputActive(k, t) ? 1 : 0);
    for (int k = 0; k < kInputs; ++k)
        putBe32(v, std::uint32_t(counter(k, t)));
    for (int i = 0; i < kAnalog; ++i)
        putBe16(v, analogRaw(i, t));
    for (int i = 0; i < kAnalog; ++i)
        putBe16(v, scaled(analogRaw(i, t)));
    Bytes tail(8, 0);
    std::copy_n(clock.begin(), std::min<std::size_t>(clock.size(), 8), tail.begin());
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
}

bool IoModuleSim::takeWrite(std::uint8_t tag, ByteView value)
{
    switch (tag) {
    case 0x90: // one code per relay: 0 open, 1 close, 2 toggle, 3 leave
        for (std::size_t k = 0; k < std::min<std::size_t>(value.size(), kRelays); ++k) {
            if (value[k] == 0)
                m_relays[k] = 0;
            else if (value[k] == 1)
                m_relays[k] = 1;
            else if (value[k] == 2)
                m_relays[k] = m_relays[k] ? 0 : 1;
        }
        return true;
    case 0x91:
        for (int k = 0; k < kInputs; ++k)
            m_counterBase[std::size_t(k)] = pulses(k, now());
        return true;
    case 0x8F:
        if (value.size() <= kLargestFirmware) {
            m_firmware.assign(value.begin(), value.end());
            ++m_downloads;
        }
        return true;
    default:
        return false;
    }
}

Bytes IoModuleSim::calibrationResult() const
{
    // Eight results (1 ok) and eight numbers: the first channel reads 2.5 V.
    Bytes v(8, 1);
    for (int i = 0; i < 8; ++i)
        v.push_back(std::uint8_t(i == 0 ? 25 : 0));
    return v;
}

std::optional<QByteArray> IoModuleSim::query(const QString &path) const
{
    if (path == QLatin1String("io.relays"))
        return QByteArray(reinterpret_cast<const char *>(m_relays.data()), kRelays);
    if (path == QLatin1String("io.firmware"))
        return QByteArray(reinterpret_cast<const char *>(m_firmware.data()), qsizetype(m_firmware.size()));
    if (path == QLatin1String("io.counters")) {
        Bytes v;
        for (int k = 0; k < kInputs; ++k)
            putBe32(v, std::uint32_t(counter(k, now())));
        return QByteArray(reinterpret_cast<const char *>(v.data()), qsizetype(v.size()));
    }
    return std::nullopt;
}

} // namespace devsim
