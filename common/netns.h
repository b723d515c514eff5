// Whether this process runs in a network namespace of its own, apart from
// the machine's: the lab's guard before anything broadcasts.
#pragma once

namespace kyvo {

// True when /proc/self/ns/net differs from the namespace of process 1 (or,
// where that one cannot be read, from the namespace the lab started in).
// Always false where that cannot be told.
bool inPrivateNetworkNamespace();

} // namespace kyvo
