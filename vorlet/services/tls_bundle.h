// The TLS files as the gateway takes them: checksums, the bundle, and its
// upload message. Pure: no Qt.
#pragma once

#include "vorlet/link/link_frame.h"
#include "vorlet/record/parameter_record.h"

namespace vorlet {

inline constexpr std::uint8_t kTlsItem = 0x74;
// The upload's acknowledgement is looked at every 200 ms, 20 times.
inline constexpr kyvo::Millis kTlsTickPeriod{200};
inline constexpr kyvo::Millis kTlsTickLimit{4000};

inline constexpr std::size_t kTlsReadLimit = 4096;   // bytes read of each file
inline constexpr std::size_t kTlsImportLimit = 4000; // larger files are refused on import
inline constexpr std::size_t kTlsBundleCapacity = sizeof(ParameterRecord::tlsBundle);

// The 16-bit wrapping sum of the first 4096 bytes at most.
std::uint16_t tlsChecksum(ByteView data);
// CA, 00 ';', client certificate, 00 ';', client key.
Bytes tlsBundle(ByteView ca, ByteView cert, ByteView key);
// A write of item 0x74 with the bundle: c + 18 bytes.
Bytes tlsUploadMessage(std::uint8_t scope, const Mac &mac, ByteView bundle);
// Stores a bundle that fits its field, with its length; false (record
// untouched) when it does not fit.
bool storeTlsBundle(ParameterRecord &record, ByteView bundle);

} // namespace vorlet
