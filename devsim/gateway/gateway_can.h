// What a simulated CAN gateway keeps of a write of its CAN item (0x5A).
#pragma once

#include "devsim/core/sim_device.h"

namespace devsim {

// The item after a write: the settings as written (filters, senders, timing
// and filter words) followed by the gateway's own counters, which a write
// does not carry. A value shorter than the lists it announces changes nothing.
Bytes keptCanItem(const Bytes &current, ByteView written);

} // namespace devsim
