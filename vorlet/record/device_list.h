// The gateways found by the last search: up to 512 records, kept sorted by
// the address each device was first seen from.
#pragma once

#include "vorlet/link/link_frame.h"
#include "vorlet/record/parameter_record.h"

#include <memory>
#include <set>
#include <vector>

namespace vorlet {

class DeviceList
{
public:
    static constexpr std::size_t kCapacity = 512;

    std::size_t count() const { return m_records.size(); }
    ParameterRecord &at(std::size_t i) { return *m_records[i]; }
    const ParameterRecord &at(std::size_t i) const { return *m_records[i]; }

    // Index of the first record whose MAC (bytes 21..26) equals mac, or
    // count() when none does.
    std::size_t findByMac(const Mac &mac) const;

    // Adds an empty record for mac, seen from address (most significant octet
    // first); returns its index after sorting, or nothing when the list is
    // full (the device is counted in ignored()).
    std::optional<std::size_t> add(const Mac &mac, std::uint32_t seenFrom);

    // Every search starts from an empty list.
    void clear();

    // Devices that answered while the list was full, each counted once, since
    // the last clear. The MACs counted are remembered up to a bound, so a
    // flood of ever-new MACs costs neither memory nor time; past the bound
    // the count stops and ignoredBeyondCount() says that more answered.
    static constexpr std::size_t kIgnoredTracked = 4096;
    std::size_t ignored() const { return m_ignoredMacs.size(); }
    bool ignoredBeyondCount() const { return m_ignoredBeyond; }

private:
    std::vector<std::unique_ptr<ParameterRecord>> m_records;
    std::set<Mac> m_ignoredMacs;
    bool m_ignoredBeyond = false;
};

std::uint32_t seenAddress(const ParameterRecord &record);

} // namespace vorlet
