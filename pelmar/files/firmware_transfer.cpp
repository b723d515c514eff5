// TFTP firmware transfer to a serial server.
#include "pelmar/files/firmware_transfer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pelmar {

using kyvo::Bytes;
using kyvo::Millis;

namespace {
constexpr std::size_t kImageALength = 0x1000, kImageBLength = 0x81000;
constexpr std::size_t kMaxRequest = 255;

std::string printf2(const char *pattern, unsigned a, unsigned b)
{
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}
} // namespace

std::optional<Bytes> FirmwareTransfer::writeRequest(const std::string &name, std::uint32_t size,
                                                    kyvo::ByteView dualSuffix)
{
    Bytes r{0x00, 0x02};
    r.insert(r.end(), name.begin(), name.end());
    r.push_back(0);
    for (const char *part : {"octet", "tsize"}) {
        r.insert(r.end(), part, part + std::strlen(part));
        r.push_back(0);
    }
    const std::string digits = std::to_string(size);
    r.insert(r.end(), digits.begin(), digits.end());
    r.push_back(0);
    r.insert(r.end(), dualSuffix.begin(), dualSuffix.end());
    if (r.size() > kMaxRequest) return std::nullopt;
    return r;
}

void FirmwareTransfer::refuse(const std::string &chinese, const std::string &english)
{
    m_sink.message(chinese, english);
    m_sink.setStartEnabled(true);
}

void FirmwareTransfer::start(const std::string &path, const std::string &name, Bytes file,
                             const std::string &target, Millis now)
{
    start(path, name, std::make_shared<const Bytes>(std::move(file)), target, now);
}

void FirmwareTransfer::start(const std::string &path, const std::string &name,
                             std::shared_ptr<const Bytes> file, const std::string &target, Millis)
{
    m_sink.paintBar(TransferSink::Bar::Blue);
    m_state = State::Idle;
    m_timeout.reset();
    m_requestAt.reset();
    m_closeAt.reset();
    m_transferring = false;
    m_path = path;
    m_target = target;
    m_file = file ? std::move(file) : std::make_shared<const Bytes>();
    m_image = {};
    m_size = std::uint32_t(m_file->size());
    m_dual = m_file->size() >= 7 && std::memcmp(m_file->data(), "ESP8266", 7) == 0;
    m_peer.reset();
    m_sink.setStartEnabled(false);
    const auto address = kyvo::parseIpv4(target);
    if (!address)
        return refuse("目标地址无效，请输入如 192.168.1.253 的IP地址",
                      "Invalid target: enter an IPv4 address such as 192.168.1.253");
    m_targetAddress = *address;
    if (m_file->size() < kMinFirmwareFileSize) return refuse(kImageTooSmallText, kImageTooSmallEnglish);
    if (!m_dual && m_file->size() > kImageBufferSize)
        return refuse("固件太大: 最多 5242880 字节", "Firmware too large: at most 5242880 bytes");
    Bytes suffix;
    if (m_dual) {
        if (!imagesFit()) return refuse("固件不对", "Wrong firmware");
        suffix.insert(suffix.end(), m_file->begin() + kImageBLength, m_file->begin() + kImageBLength + 4);
        suffix.insert(suffix.end(), m_file->begin() + kImageALength, m_file->begin() + kImageALength + 4);
    }
    const auto request = writeRequest(name, m_size, suffix);
    if (!request) return refuse("文件名太长", "File name too long");
    m_request = *request;
    // The probe waits for the flush, so that it resolves the target afresh.
    m_state = State::Flushing;
    m_sink.flushAddressCache();
}

bool FirmwareTransfer::imagesFit()
{
    // Both images must be there whole: which one goes is known only from
    // the device's first answer, and nothing may leave for a file that
    // cannot be sent.
    if (m_file->size() < kImageBLength + 4) return false;
    for (std::size_t at : {kImageALength, kImageBLength}) {
        const std::uint32_t length = kyvo::readBe32(m_file->data() + at);
        if (length < kMinFirmwareFileSize || length > kImageBufferSize ||
            at + 4 + std::size_t(length) > m_file->size())
            return false;
    }
    return true;
}

void FirmwareTransfer::onAddressCacheFlushed(Millis now)
{
    if (m_state != State::Flushing) return;
    if (m_file->size() < 0x200000) {
        m_state = State::Probing;
        m_probes = 0;
        nextProbe();
        return;
    }
    probeDone(now); // large images go without the probe
}

void FirmwareTransfer::onProbeResult(bool answered, Millis now)
{
    if (m_state != State::Probing) return;
    if (answered)
        probeDone(now);
    else
        nextProbe();
}

void FirmwareTransfer::nextProbe()
{
    if (m_probes >= kProbeAttempts) {
        m_state = State::Idle;
        m_sink.showStatus("ping 失败");
        m_sink.setStartEnabled(true);
        return;
    }
    ++m_probes;
    char text[160];
    std::snprintf(text, sizeof text, "ping %s  %d", m_target.c_str(), m_probes);
    m_sink.showStatus(text);
    m_sink.probe(m_target);
}

void FirmwareTransfer::probeDone(Millis now)
{
    m_state = State::Waiting;
    m_sink.showStatus("ping success");
    m_requestAt = now + Millis{2000};
}

void FirmwareTransfer::sendRequest(Millis now)
{
    m_state = State::RequestSent;
    send(m_request, {m_targetAddress, kTftpPort}, now, 6000);
    const unsigned blocks = m_size / kTftpBlock + 1;
    m_progressPosition = int(std::max(1u, blocks / 10));
    m_sink.showProgress(true, int(blocks), m_progressPosition);
}

void FirmwareTransfer::send(Bytes packet, kyvo::Ipv4Endpoint to, Millis now, int timeoutMs)
{
    m_sink.sendDatagram(packet, to);
    m_resend = {std::move(packet), to.port, 0}; // a new packet starts its resends from 0
    if (timeoutMs > 0) m_timeout = now + Millis{timeoutMs};
}

Bytes FirmwareTransfer::dataBlock(unsigned number) const
{
    const std::size_t from = std::size_t(number - 1) * kTftpBlock;
    const std::size_t n = number == m_total ? m_size % kTftpBlock : kTftpBlock;
    Bytes d(4 + n, 0);
    d[1] = 0x03;
    d[2] = std::uint8_t(number >> 8);
    d[3] = std::uint8_t(number);
    if (from < m_image.size())
        std::copy_n(m_image.begin() + std::ptrdiff_t(from), std::min(n, m_image.size() - from),
                    d.begin() + 4);
    return d;
}

bool FirmwareTransfer::fromDevice(kyvo::Ipv4Endpoint from) const
{
    return from.address == m_targetAddress && (!m_peer || from.port == m_peer->port);
}

void FirmwareTransfer::onReply(kyvo::ByteView d, kyvo::Ipv4Endpoint from, Millis now)
{
    // Anything but the device's own answers is ignored, the resend timer included.
    // The closing second still listens: a device that asks for the image
    // again or reports an error has not taken it.
    const bool listening = active() || m_state == State::Closing;
    if (d.size() < 2 || d[0] != 0x00 || !listening || !fromDevice(from)) return;
    if (d[1] == 0x05) {
        halt(false);
        m_sink.message("传输错误", "");
        return;
    }
    if (d[1] != 0x04 || d.size() < 4) return; // not an acknowledgement: the resend timer keeps running
    const unsigned block = unsigned(d[2] << 8 | d[3]);
    if (block > 0 && !m_transferring) return; // the request is still unanswered
    m_timeout.reset();
    // The device asks for the image from its start whenever it acknowledges block 0.
    if (block == 0)
        onFirstAck(d, from, now);
    else
        onBlockAck(block, now);
}

void FirmwareTransfer::onFirstAck(kyvo::ByteView d, kyvo::Ipv4Endpoint from, Millis now)
{
    // Only dual-image files have images A and B; the 5-byte form names the
    // slot the device runs now, and the other image is sent.
    if (m_dual) {
        if (d.size() != 5) {
            halt(false);
            m_sink.message("固件不对", "");
            return;
        }
        if (d[4] == 1)
            m_choice = 'A';
        else if (d[4] == 2)
            m_choice = 'B';
    } else {
        m_choice = '0';
    }
    m_closeAt.reset();
    m_peer = from;
    m_sent = 0;
    m_total = 0;
    m_transferring = true;
    if (m_choice == '0') {
        m_image = *m_file;
    } else {
        const std::size_t lengthAt = m_choice == 'A' ? kImageBLength : kImageALength;
        m_sink.showStatus(m_choice == 'A' ? "B" : "A");
        const std::uint32_t length = kyvo::readBe32(m_file->data() + lengthAt);
        m_size = length;
        m_image = kyvo::ByteView(*m_file).subspan(lengthAt + 4, length);
    }
    m_total = m_size / kTftpBlock + 1;
    m_sink.showProgress(true, int(m_total), m_progressPosition);
    m_sent = 1;
    m_state = m_total >= 2 ? State::Transferring : State::Finishing;
    send(dataBlock(1), from, now, 4000);
}

void FirmwareTransfer::onBlockAck(unsigned block, Millis now)
{
    if (m_progressPosition < int(m_sent)) m_progressPosition = int(m_sent);
    m_sink.showProgress(true, int(m_total), m_progressPosition);
    m_sink.showBlockCounter(printf2("%u/%u", m_sent, m_total));
    if (block != m_sent) {
        const unsigned sent = m_sent;
        halt(false);
        m_sink.paintBar(TransferSink::Bar::Red);
        m_sink.message("文件的序号不对!" + printf2("收到的序号:%u 当前序号:%u", block, sent), "");
        return;
    }
    if (m_sent == m_total) {
        // The device has the last block: one more second, then the end.
        m_transferring = false;
        m_state = State::Closing;
        m_sink.showProgress(true, int(m_total), int(m_total));
        m_closeAt = now + Millis{1000};
        return;
    }
    ++m_sent;
    if (m_sent == m_total) m_state = State::Finishing;
    send(dataBlock(m_sent), *m_peer, now, 1000);
}

void FirmwareTransfer::endTransfer()
{
    m_sent = 0;
    m_total = 0;
    m_transferring = false;
    m_timeout.reset();
    m_state = State::Idle;
    m_sink.showProgress(false, 0, 0);
    m_sink.setStartEnabled(true);
    m_sink.showBlockCounter("");
    m_sink.showStatus(kUpgradeSuccessText);
}

void FirmwareTransfer::halt(bool enableStart)
{
    m_closeAt.reset();
    m_sent = 0;
    m_total = 0;
    m_transferring = false;
    m_timeout.reset();
    m_state = enableStart ? State::Idle : State::Halted;
    if (enableStart) m_sink.setStartEnabled(true);
}

void FirmwareTransfer::onTime(Millis now)
{
    if (m_requestAt && *m_requestAt <= now) {
        m_requestAt.reset();
        sendRequest(now);
    }
    if (m_closeAt && *m_closeAt <= now) {
        m_closeAt.reset();
        endTransfer();
    }
    if (!m_timeout || *m_timeout > now) return;
    ++m_resend.count;
    m_sink.showStatus(printf2("resend number:%u", unsigned(m_resend.count), 0));
    m_sink.sendDatagram(m_resend.packet, {m_targetAddress, m_resend.port});
    if (m_resend.count > kMaxResends) {
        m_resend.count = 0;
        halt(true);
        m_sink.paintBar(TransferSink::Bar::Red);
        return;
    }
    m_timeout = now + Millis{1000};
}

std::optional<Millis> FirmwareTransfer::nextDeadline() const
{
    std::optional<Millis> next;
    for (const auto &d : {m_requestAt, m_timeout, m_closeAt})
        if (d && (!next || *d < *next)) next = d;
    return next;
}

} // namespace pelmar
