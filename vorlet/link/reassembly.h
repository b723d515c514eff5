// Reassembly of device messages from the link frames of many devices at once.
#pragma once

#include "vorlet/link/link_frame.h"

#include <unordered_map>

namespace vorlet {

// Holds one unfinished message per device MAC. A device's new first
// fragment replaces its unfinished message; fragments go to their place by
// index, so a repeated fragment is harmless. When every slot is busy the
// least recently fed one gives way. Messages longer than maxMessage and
// frames that do not fit their datagram are dropped.
class Reassembler
{
public:
    static constexpr std::size_t kDefaultSlots = 1024;
    static constexpr std::size_t kMaxMessage = 80920;
    static constexpr std::size_t kMaxDatagram = 80920;

    explicit Reassembler(std::size_t slots = kDefaultSlots, std::size_t maxMessage = kMaxMessage);

    struct Complete {
        ByteView message; // valid until the next call of accept()
        Mac mac{};
    };
    // One received datagram; returns the message it completes, if any.
    std::optional<Complete> accept(ByteView datagram);

    void clear();
    std::size_t busySlots() const { return m_byMac.size(); }
    std::size_t droppedDatagrams() const { return m_dropped; }
    std::size_t evictedMessages() const { return m_evicted; }

private:
    struct Slot {
        Mac mac{};
        std::uint32_t expected = 0;
        std::uint64_t received = 0;
        std::uint32_t fragmentSize = 0;
        std::uint64_t lastUse = 0;
        bool busy = false;
        std::vector<std::uint8_t> data;
        std::vector<bool> have;
    };
    static std::uint64_t key(const Mac &mac);
    std::optional<Complete> firstFragment(const LinkFrameView &frame);
    std::optional<Complete> continuation(const LinkFrameView &frame);
    Slot &slotFor(const Mac &mac);
    void release(Slot &slot);

    std::vector<Slot> m_slots;
    std::vector<std::size_t> m_free;
    std::unordered_map<std::uint64_t, std::size_t> m_byMac;
    std::size_t m_maxMessage;
    std::uint64_t m_useCounter = 0;
    std::size_t m_dropped = 0;
    std::size_t m_evicted = 0;
};

} // namespace vorlet
