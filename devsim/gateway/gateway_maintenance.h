// The simulated gateway's maintenance side: its information text, the
// access points its WiFi scan finds, the parameter image it sends to the
// requester's image port, and the TLS bundle it keeps.
#pragma once

#include "devsim/core/sim_device.h"

#include <optional>

namespace devsim {

class GatewayMaintenance
{
public:
    static constexpr std::uint16_t kImagePort = 6111;
    static constexpr std::size_t kImageBlock = 1024;

    // Query answers this side gives (0xB3, 0x86), or nothing.
    std::optional<Bytes> queryItem(std::uint8_t tag) const;
    // The image of `blocks` blocks made from the record's items, padded with 0xFF.
    static Bytes image(ByteView recordBody, std::size_t blocks);
    // Sends the image, one 1025-byte datagram per block, to the port the knobs
    // name ("image-port", default 6111) of the requester; "image-blocks"
    // (default 8) sets its length, so a test can send blocks past 63.
    void sendImage(ByteView recordBody, const Knobs &knobs, const Incoming &in, Outbox &out) const;
    // A write of the TLS bundle: kept whole, and the device's checksums of its
    // three parts (item 0x73) follow it.
    void takeTlsBundle(ByteView bundle, Bytes &tlsItem);
    const Bytes &tlsBundle() const { return m_tlsBundle; }

private:
    mutable int m_infoQueries = 0;
    Bytes m_tlsBundle;
};

} // namespace devsim
