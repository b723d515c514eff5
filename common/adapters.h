// The PC's network adapters: one entry per IPv4 address, as the adapter
// list of the search shows them, and the choice of all of them at once.
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace kyvo {

struct AdapterAddress
{
    QString address;       // dotted IPv4
    QString description;   // the adapter's human-readable name
    int prefixLength = -1; // the subnet's length in bits; -1 when unknown
};

// At most 256 entries, in the system's order; loopback adapters are left out.
QList<AdapterAddress> queryAdapters();

// The adapter choice that searches on every adapter at once.
inline constexpr char kAllAdaptersText[] = "全部网卡";
inline constexpr char kAllAdaptersOption[] = "all"; // --adapter all
// One socket (and, for the gateways, one thread) each: a bound on both.
inline constexpr int kMaxAllAdapters = 16;

// The adapters "all" opens: the first kMaxAllAdapters of queryAdapters(),
// those that are up; inside the lab's loopback namespace, which has no other
// adapter, its loopback address.
QList<AdapterAddress> allSearchAdapters();

// The indexes of the adapters whose subnet holds address, or of every
// adapter when none does (an address behind a router).
std::vector<int> adaptersHolding(const QList<AdapterAddress> &adapters, std::uint32_t address);

} // namespace kyvo
