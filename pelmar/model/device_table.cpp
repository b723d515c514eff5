// The device table of the search.
#include "pelmar/model/device_table.h"

namespace pelmar {

DeviceTable::DeviceTable() : m_slots(std::make_unique<std::array<DeviceEntry, kSlots>>()) {}

std::size_t DeviceTable::presentCount() const
{
    std::size_t n = 0;
    while (n < kSlots && (*m_slots)[n].present) ++n;
    return n;
}

std::optional<std::size_t> DeviceTable::find(const MacTail &tail) const
{
    for (std::size_t i = 0; i < kSlots; ++i) {
        const DeviceEntry &e = (*m_slots)[i];
        if (e.present && e.macTail == tail) return i;
    }
    return std::nullopt;
}

std::optional<DeviceTable::Registration> DeviceTable::registerReply(std::string_view address, std::uint16_t port,
                                                                    const MacTail &tail)
{
    Registration r;
    if (const auto found = find(tail)) {
        r.index = *found;
    } else {
        r.index = presentCount();
        if (r.index >= kAddressable) {
            m_ignored.insert(tail);
            return std::nullopt;
        }
        r.newRow = true;
    }
    DeviceEntry &e = at(r.index);
    e.isWifi = e.wifiExtended = e.longRecord = false;
    e.macTail = tail;
    e.addressText = std::string(address);
    e.replyPort32 = port;
    e.replyPort = port;
    e.present = true;
    return r;
}

void DeviceTable::clearForSearch()
{
    for (DeviceEntry &e : *m_slots) {
        e.present = false;
        e.ip = {};
        e.addressText.clear();
        e.registerCapable = false;
        e.native4 = false;
    }
    m_ignored.clear();
}

} // namespace pelmar
