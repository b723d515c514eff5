// A dialog's hold on the device it was opened for: the table slot and the
// MacTail, so a dialog closed after a new search stores nothing into
// whichever server took the slot meanwhile.
#pragma once

#include "pelmar/model/device_table.h"

namespace pelmar {

struct EntryRef
{
    std::size_t index = 0;
    MacTail tail{};

    static EntryRef of(const DeviceTable &table, std::size_t index)
    {
        return {index, table.at(index).macTail};
    }
    // The device, or null when its slot is empty or holds another server now.
    DeviceEntry *resolve(DeviceTable &table) const
    {
        if (index >= DeviceTable::kSlots) return nullptr;
        DeviceEntry &e = table.at(index);
        return e.present && e.macTail == tail ? &e : nullptr;
    }
};

} // namespace pelmar
