// The 172-byte search request (command 0x01) that every gateway answers
// with its whole parameter record.
#pragma once

#include "vorlet/link/link_frame.h"

namespace vorlet {

inline constexpr std::size_t kSearchRequestSize = 172;

// scope is byte 2: 0 on the local segment, 1 across routers.
Bytes buildSearchRequest(std::uint8_t scope);

} // namespace vorlet
