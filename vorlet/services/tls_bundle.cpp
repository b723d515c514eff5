// TLS checksums, bundle and upload message.
#include "vorlet/services/tls_bundle.h"

#include "common/fixed_field.h"
#include "vorlet/link/device_message.h"

#include <algorithm>

namespace vorlet {

namespace {
constexpr std::uint8_t kItemWritePrefix = 0x01;
} // namespace

std::uint16_t tlsChecksum(ByteView data)
{
    std::uint16_t sum = 0;
    for (std::uint8_t b : data.first(std::min(data.size(), kTlsReadLimit)))
        sum = std::uint16_t(sum + b);
    return sum;
}

Bytes tlsBundle(ByteView ca, ByteView cert, ByteView key)
{
    Bytes bundle;
    kyvo::putBytes(bundle, ca);
    bundle.push_back(0x00);
    bundle.push_back(';');
    kyvo::putBytes(bundle, cert);
    bundle.push_back(0x00);
    bundle.push_back(';');
    kyvo::putBytes(bundle, key);
    return bundle;
}

Bytes tlsUploadMessage(std::uint8_t scope, const Mac &mac, ByteView bundle)
{
    Bytes body{kItemWritePrefix, kTlsItem};
    kyvo::putBe16(body, std::uint16_t(bundle.size()));
    kyvo::putBytes(body, bundle);
    // The envelope's length counts c + 4; buildDeviceMessage writes it.
    return buildDeviceMessage(scope, command::kWrite, body, mac);
}

bool storeTlsBundle(ParameterRecord &record, ByteView bundle)
{
    if (bundle.size() > kTlsBundleCapacity) return false;
    kyvo::setField(record.tlsBundle, sizeof record.tlsBundle, bundle, kTlsBundleCapacity);
    record.tlsBundleLength = std::uint32_t(bundle.size());
    return true;
}

} // namespace vorlet
