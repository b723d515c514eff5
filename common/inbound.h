// What a receive worker makes of a datagram before it hands it to the window thread.
#pragma once

#include <cstdint>

namespace kyvo {

// An answer the running search or reading waits for; something another
// handler may take; or junk no handler would act on, dropped in the worker.
enum class Inbound : std::uint8_t { Answer, Other, Junk };

} // namespace kyvo
