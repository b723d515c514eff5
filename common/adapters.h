// The PC's network adapters: one entry per IPv4 address, as the adapter
// list of the search shows them.
#pragma once

#include <QList>
#include <QString>

namespace kyvo {

struct AdapterAddress {
    QString address;     // dotted IPv4
    QString description; // the adapter's human-readable name
};

// At most 256 entries, in the system's order; loopback adapters are left out.
QList<AdapterAddress> queryAdapters();

} // namespace kyvo
