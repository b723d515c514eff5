// Reassembly table keyed by device MAC.
#include "vorlet/link/reassembly.h"

#include <algorithm>
#include <cstring>

namespace vorlet {

Reassembler::Reassembler(std::size_t slots, std::size_t maxMessage)
    : m_slots(std::max<std::size_t>(1, slots)), m_maxMessage(maxMessage)
{
    m_byMac.reserve(m_slots.size());
    clear();
}

void Reassembler::clear()
{
    m_byMac.clear();
    m_free.clear();
    for (std::size_t i = m_slots.size(); i-- > 0;) {
        m_slots[i].busy = false;
        m_free.push_back(i);
    }
}

std::uint64_t Reassembler::key(const Mac &mac)
{
    std::uint64_t k = 0;
    for (std::uint8_t b : mac) k = (k << 8) | b;
    return k;
}

std::optional<Reassembler::Complete> Reassembler::accept(ByteView datagram)
{
    if (datagram.size() > kMaxDatagram) {
        ++m_dropped;
        return std::nullopt;
    }
    const auto frame = parseDeviceFrame(datagram);
    if (!frame) {
        ++m_dropped;
        return std::nullopt;
    }
    if (frame->index == 0) {
        // A whole message in one datagram.
        if (frame->total == frame->payload.size() && frame->total + kFrameOverhead == datagram.size()) {
            if (frame->total > m_maxMessage) {
                ++m_dropped;
                return std::nullopt;
            }
            return Complete{frame->payload, frame->mac};
        }
        return firstFragment(*frame);
    }
    return continuation(*frame);
}

Reassembler::Slot &Reassembler::slotFor(const Mac &mac)
{
    const auto k = key(mac);
    if (auto it = m_byMac.find(k); it != m_byMac.end()) return m_slots[it->second];
    std::size_t index;
    if (!m_free.empty()) {
        index = m_free.back();
        m_free.pop_back();
    } else {
        // Every slot busy: the one fed least recently gives way.
        auto oldest = std::min_element(m_slots.begin(), m_slots.end(),
                                       [](const Slot &a, const Slot &b) { return a.lastUse < b.lastUse; });
        index = std::size_t(oldest - m_slots.begin());
        m_byMac.erase(key(oldest->mac));
        ++m_evicted;
    }
    Slot &slot = m_slots[index];
    slot.mac = mac;
    slot.busy = true;
    m_byMac.emplace(k, index);
    return slot;
}

void Reassembler::release(Slot &slot)
{
    slot.busy = false;
    m_byMac.erase(key(slot.mac));
    m_free.push_back(std::size_t(&slot - m_slots.data()));
}

std::optional<Reassembler::Complete> Reassembler::firstFragment(const LinkFrameView &frame)
{
    if (frame.total > m_maxMessage || frame.payload.empty() || frame.payload.size() > frame.total) {
        ++m_dropped;
        return std::nullopt;
    }
    Slot &slot = slotFor(frame.mac);
    slot.expected = frame.total;
    slot.fragmentSize = std::uint32_t(frame.payload.size());
    slot.received = slot.fragmentSize;
    slot.lastUse = ++m_useCounter;
    if (slot.data.size() < frame.total) slot.data.resize(frame.total);
    std::memcpy(slot.data.data(), frame.payload.data(), frame.payload.size());
    const std::size_t fragments = (frame.total + slot.fragmentSize - 1) / slot.fragmentSize;
    slot.have.assign(fragments, false);
    slot.have[0] = true;
    if (slot.received == slot.expected) {
        release(slot);
        return Complete{ByteView(slot.data.data(), slot.expected), slot.mac};
    }
    return std::nullopt;
}

std::optional<Reassembler::Complete> Reassembler::continuation(const LinkFrameView &frame)
{
    const auto it = m_byMac.find(key(frame.mac));
    if (it == m_byMac.end()) {
        ++m_dropped;
        return std::nullopt;
    }
    Slot &slot = m_slots[it->second];
    const std::uint64_t offset = std::uint64_t(frame.index) * slot.fragmentSize;
    if (frame.index >= slot.have.size() || offset + frame.payload.size() > slot.expected ||
        frame.payload.empty()) {
        ++m_dropped;
        return std::nullopt;
    }
    slot.lastUse = ++m_useCounter;
    if (slot.have[frame.index]) return std::nullopt; // a repeated fragment
    slot.have[frame.index] = true;
    std::memcpy(slot.data.data() + offset, frame.payload.data(), frame.payload.size());
    slot.received += frame.payload.size();
    if (slot.received != slot.expected) return std::nullopt;
    release(slot);
    return Complete{ByteView(slot.data.data(), slot.expected), slot.mac};
}

} // namespace vorlet
