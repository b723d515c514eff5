// The current values a simulated gateway reports for its polling table.
#pragma once

#include "common/bytes.h"

#include <cstdint>

namespace devsim {

// One value per entry of the poll-table item (0x5A's value), separated by
// ';': a bit for function codes 1 and 2, else a register value. Each sample
// number gives other readings, so every answer shows the slaves moving.
kyvo::Bytes pollValuesText(kyvo::ByteView table, std::uint32_t sample);

} // namespace devsim
