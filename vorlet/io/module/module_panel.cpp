// I/O module panel logic.
#include "vorlet/io/module/module_panel.h"

#include <algorithm>
#include <cstdio>

namespace vorlet {

namespace {
constexpr std::uint8_t kKeepRelays = 0x01;
constexpr std::uint8_t kKeepCounters = 0x10;
} // namespace

ModuleSettings readModuleSettings(const ParameterRecord &record)
{
    const IoSettings &io = record.io;
    ModuleSettings s;
    s.address = std::int32_t(io.moduleAddress.get()); // shown with "%d"
    s.debounce = io.debounceMs.get();
    s.linkage = io.linkageEnabled != 0;
    s.timers = io.timersEnabled != 0;
    s.upload = io.upload.enabled != 0;
    s.keepRelays = (io.retention & kKeepRelays) != 0;
    s.keepCounters = (io.retention & kKeepCounters) != 0;
    return s;
}

void storeModuleSettings(const ModuleSettings &s, ParameterRecord &record)
{
    IoSettings &io = record.io;
    io.moduleAddress = std::uint32_t(s.address);
    io.debounceMs = std::uint16_t(s.debounce);
    io.linkageEnabled = s.linkage ? 1 : 0;
    io.timersEnabled = s.timers ? 1 : 0;
    io.upload.enabled = s.upload ? 1 : 0;
    io.retention = std::uint8_t((s.keepRelays ? kKeepRelays : 0) | (s.keepCounters ? kKeepCounters : 0));
}

std::string scaledText(std::uint16_t thousandths, int factor)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.03f", double(factor) * thousandths / 1000.0);
    return text;
}

LiveTexts liveTexts(const LiveIo &live)
{
    LiveTexts t;
    for (std::size_t i = 0; i < kModuleAnalog; ++i) {
        t.raw[i] = std::to_string(live.analogRaw[i].get());
        const std::uint16_t v = live.analogScaled[i].get();
        t.volts5[i] = scaledText(v, 1);
        t.volts10[i] = scaledText(v, 2);
        t.milliamps[i] = scaledText(v, 4);
    }
    for (std::size_t k = 0; k < kModuleInputs; ++k)
        t.counters[k] = std::to_string(std::int32_t(live.counters[k].get()));
    return t;
}

RelayCodes RelayPictures::click(std::size_t k)
{
    RelayCodes codes;
    codes.fill(kRelayUnchanged);
    codes[k] = m_on[k] ? kRelayOpen : kRelayClose;
    m_on[k] = !m_on[k];
    return codes;
}

RelayCodes RelayPictures::all(bool on)
{
    m_on.fill(on);
    RelayCodes codes;
    codes.fill(on ? kRelayClose : kRelayOpen);
    return codes;
}

void RelayPictures::follow(const LiveIo &live)
{
    for (std::size_t k = 0; k < kModuleRelays; ++k)
        m_on[k] = live.relayStates[k] != 0;
}

std::vector<std::size_t> InputPictures::update(const LiveIo &live)
{
    std::vector<std::size_t> changed;
    for (std::size_t k = 0; k < kModuleInputs; ++k) {
        const bool active = live.inputStates[k] != 0;
        if (active == m_active[k]) continue;
        m_active[k] = active;
        changed.push_back(k);
    }
    return changed;
}

void PanelTimers::setRefresh(bool on, kyvo::Millis now)
{
    m_nextQuery.reset();
    m_nextRedraw.reset();
    if (!on) return;
    m_nextQuery = now + kQueryPeriod;
    m_nextRedraw = now + kRedrawPeriod;
}

void PanelTimers::startDownload(kyvo::Millis now)
{
    m_nextAck = now + kAckPeriod;
    m_downloadEnd = now + kDownloadLimit;
}

void PanelTimers::stopDownload()
{
    m_nextAck.reset();
    m_downloadEnd.reset();
}

PanelTimers::Due PanelTimers::run(kyvo::Millis now, bool acknowledged)
{
    Due due;
    if (m_nextQuery && now >= *m_nextQuery) {
        due.query = true;
        m_nextQuery = now + kQueryPeriod;
    }
    if (m_nextRedraw && now >= *m_nextRedraw) {
        due.redraw = true;
        m_nextRedraw = now + kRedrawPeriod;
    }
    if (m_nextAck && now >= *m_nextAck) {
        if (acknowledged)
            due.download = DownloadEnd::Succeeded;
        else if (now >= *m_downloadEnd)
            due.download = DownloadEnd::Failed;
        else
            m_nextAck = now + kAckPeriod;
        if (due.download != DownloadEnd::None) stopDownload();
    }
    return due;
}

std::optional<kyvo::Millis> PanelTimers::nextDeadline() const
{
    std::optional<kyvo::Millis> next;
    for (const auto &t : {m_nextQuery, m_nextRedraw, m_nextAck})
        if (t && (!next || *t < *next)) next = t;
    return next;
}

} // namespace vorlet
