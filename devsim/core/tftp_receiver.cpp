// Device-side TFTP write receiver.
#include "devsim/core/tftp_receiver.h"

#include <cstring>

namespace devsim {

namespace {
int knob(const SimDevice &d, const char *name)
{
    const auto it = d.knobs.extra.find(QString::fromLatin1(name));
    return it == d.knobs.extra.end() ? 0 : it->second;
}
} // namespace

void TftpReceiver::answerAck(unsigned block, const Incoming &in, Outbox &out, SimDevice &device)
{
    ++m_acks;
    const int badEvery = knob(device, "tftp-bad-number");
    if (badEvery > 0 && m_acks % badEvery == 0) block += 3;
    Bytes a{0x00, 0x04, std::uint8_t(block >> 8), std::uint8_t(block)};
    const int slot = knob(device, "tftp-slot");
    if (block == 0 && (slot == 1 || slot == 2)) a.push_back(std::uint8_t(slot));
    out.send(std::move(a), in.from, kTransferPort);
}

bool TftpReceiver::receive(const Incoming &in, Outbox &out, SimDevice &device)
{
    const ByteView d = in.data;
    if (d.size() < 4 || d[0] != 0x00) return false;
    if (in.localPort == kRequestPort && d[1] == 0x02) {
        // 00 02 name 00 mode 00 [option 00 value 00]... [suffix]
        std::vector<QByteArray> fields;
        std::size_t pos = 2;
        while (pos < d.size() && fields.size() < 4) {
            const void *nul = std::memchr(d.data() + pos, 0, d.size() - pos);
            if (!nul) break;
            const std::size_t end = std::size_t(static_cast<const std::uint8_t *>(nul) - d.data());
            fields.emplace_back(reinterpret_cast<const char *>(d.data() + pos), qsizetype(end - pos));
            pos = end + 1;
        }
        if (fields.size() < 2) return true;
        ++device.counters[QStringLiteral("tftp-requests")];
        if (knob(device, "tftp-error")) {
            const char message[] = "\x00\x05\x00\x02refused";
            out.send(Bytes(message, message + sizeof message), in.from, kTransferPort);
            return true;
        }
        m_name = fields[0];
        m_tsize = fields.size() >= 4 && fields[2] == "tsize" ? fields[3].toULongLong() : 0;
        m_suffix.assign(d.begin() + std::ptrdiff_t(pos), d.end());
        m_image.clear();
        m_expected = 1;
        m_active = true;
        m_complete = false;
        m_acks = 0;
        answerAck(0, in, out, device);
        return true;
    }
    if (in.localPort == kTransferPort && d[1] == 0x03) {
        const unsigned block = unsigned(d[2] << 8 | d[3]);
        if (!m_active) {
            // The last block again: its acknowledgement was lost, so it is given once more.
            if (m_complete && block == m_expected - 1) answerAck(block, in, out, device);
            return true;
        }
        const std::size_t n = d.size() - 4;
        if (block == m_expected) {
            m_image.insert(m_image.end(), d.begin() + 4, d.end());
            ++m_expected;
            if (n < 512) {
                m_active = false;
                m_complete = true;
                ++device.counters[QStringLiteral("tftp-uploads")];
            }
        }
        // A repeated block is acknowledged again, as a server does.
        if (block == m_expected - 1 || block == m_expected) answerAck(block, in, out, device);
        return true;
    }
    return d[1] >= 1 && d[1] <= 6;
}

} // namespace devsim
