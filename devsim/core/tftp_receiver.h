// The device's side of a TFTP write (firmware upload): the request on port
// 69, the answers from the device's own transfer port, the received image
// kept for tests, and fault knobs for the tools' failure paths.
#pragma once

#include "devsim/core/sim_device.h"

namespace devsim {

// Knobs (by name, in Knobs::extra): "tftp-slot" 1 or 2 answers the request
// with a 5-byte ACK 0 naming the slot the device runs (dual-image devices),
// 0 or unset with the plain 4-byte ACK 0; "tftp-error" 1 answers the request
// with an ERROR; "tftp-bad-number" n gives every n-th ACK a wrong number.
// The generic drop knobs lose ACKs.
class TftpReceiver
{
public:
    static constexpr std::uint16_t kRequestPort = 69;
    static constexpr std::uint16_t kTransferPort = 6969;

    // True when the datagram was a TFTP packet for this receiver.
    bool receive(const Incoming &in, Outbox &out, SimDevice &device);

    const Bytes &image() const { return m_image; }
    QByteArray fileName() const { return m_name; }
    std::uint64_t announcedSize() const { return m_tsize; }
    Bytes requestSuffix() const { return m_suffix; } // bytes behind the options (dual-image lengths)
    bool complete() const { return m_complete; }

private:
    void answerAck(unsigned block, const Incoming &in, Outbox &out, SimDevice &device);

    QByteArray m_name;
    std::uint64_t m_tsize = 0;
    Bytes m_suffix;
    Bytes m_image;
    unsigned m_expected = 0; // the next DATA block
    bool m_active = false;
    bool m_complete = false;
    int m_acks = 0;
};

} // namespace devsim
