// The servers found by the current search: 300 slots, of which the leading
// ones are in use. A device index is one byte wide, so only the first 256
// slots are ever handed out.
#pragma once

#include "pelmar/model/device_entry.h"

#include <memory>
#include <optional>
#include <set>

namespace pelmar {

class DeviceTable
{
public:
    static constexpr std::size_t kSlots = 300;
    static constexpr std::size_t kAddressable = 256;

    DeviceTable();

    DeviceEntry &at(std::size_t i) { return (*m_slots)[i]; }
    const DeviceEntry &at(std::size_t i) const { return (*m_slots)[i]; }
    // The slots in use (they are the leading ones), which is also the number of list rows.
    std::size_t presentCount() const;

    // The first present slot with this MacTail; only the MacTail is compared.
    std::optional<std::size_t> find(const MacTail &tail) const;

    struct Registration {
        std::size_t index = 0;
        bool newRow = false; // the device takes a new slot, so the list gets a row at index
    };
    // A record or discovery reply: the device's slot (found by MacTail, else
    // the first free one) gets the MacTail, the address and port, present,
    // and the three record-family flags cleared. A device that would need a
    // slot beyond the 256th is not registered but counted in ignored().
    std::optional<Registration> registerReply(std::string_view address, std::uint16_t port, const MacTail &tail);

    // A new search: no slot present, ip 0.0.0.0, no address, and the
    // register and native4 flags cleared. The other settings stay.
    void clearForSearch();

    // Distinct devices that answered while 256 were registered, since the last search.
    std::size_t ignored() const { return m_ignored.size(); }

private:
    std::unique_ptr<std::array<DeviceEntry, kSlots>> m_slots;
    std::set<MacTail> m_ignored;
};

} // namespace pelmar
