// Device list kept in address order.
#include "vorlet/record/device_list.h"

#include "common/ipv4.h"

#include <algorithm>
#include <cstring>

namespace vorlet {

std::uint32_t seenAddress(const ParameterRecord &record) { return kyvo::ipv4FromOctets(record.seenAddress); }

std::size_t DeviceList::findByMac(const Mac &mac) const
{
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (std::memcmp(m_records[i]->mac, mac.data(), 6) == 0) return i;
    return m_records.size();
}

std::optional<std::size_t> DeviceList::add(const Mac &mac, std::uint32_t seenFrom)
{
    if (m_records.size() >= kCapacity) {
        // Count each device once, however often it answers.
        if (m_ignoredMacs.size() < kIgnoredTracked)
            m_ignoredMacs.insert(mac);
        else if (!m_ignoredMacs.count(mac))
            m_ignoredBeyond = true;
        return std::nullopt;
    }
    auto record = std::make_unique<ParameterRecord>();
    std::memcpy(record->mac, mac.data(), 6);
    const auto octets = kyvo::ipv4Octets(seenFrom);
    std::memcpy(record->seenAddress, octets.data(), 4);
    // Behind every record of a lower or equal address: equal addresses keep
    // the order in which they were found.
    const auto at = std::upper_bound(m_records.begin(), m_records.end(), seenFrom,
                                     [](std::uint32_t a, const auto &r) { return a < seenAddress(*r); });
    const auto index = std::size_t(at - m_records.begin());
    m_records.insert(at, std::move(record));
    return index;
}

void DeviceList::clear()
{
    m_records.clear();
    m_ignoredMacs.clear();
    m_ignoredBeyond = false;
}

} // namespace vorlet
