// Gateway firmware upgrade state machine.
#include "vorlet/maintenance/fota_session.h"

#include "common/decimal.h"
#include "vorlet/link/device_message.h"

#include <cstdio>

namespace vorlet {

namespace {

constexpr int kFirstWebBlock = 10000;
constexpr std::uint8_t kBlock = 0x10, kLastBlock = 0x11;

std::string format(const char *pattern, int a, int b = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

std::string partitionText(std::uint8_t code)
{
    switch (code) {
    case 0x00: return "0";
    case 0x10: return "1";
    case 0x11: return "2";
    default: return format("Unknown%d", code);
    }
}

} // namespace

long versionNumber(const std::string &version)
{
    return version.size() < 2 ? 0 : long(kyvo::parseDecimal(std::string_view(version).substr(1)));
}

FotaSession::FotaSession(Mac mac, const std::string &version, FotaSink &sink)
    : m_mac(mac), m_fragmented(versionNumber(version) < 10110), m_sink(sink)
{
}

Bytes FotaSession::upgradeRequest(bool factoryReset) const
{
    const std::uint8_t t = m_image.imageType;
    const Bytes body{0x0E, 0x00, 0x05, t, std::uint8_t(factoryReset ? 0xBA : t), t, t, t};
    return buildDeviceMessage(1, command::kUpgrade, body, m_mac);
}

Bytes FotaSession::sizeAnnouncement(std::uint32_t size) const
{
    Bytes body{0x0F, 0x00, 0x04};
    kyvo::putBe32(body, size);
    return buildDeviceMessage(1, command::kUpgrade, body, m_mac);
}

Bytes FotaSession::block(std::uint8_t kind, std::uint16_t number, ByteView data) const
{
    Bytes body{kind, 0x04, 0x03};
    kyvo::putBe16(body, number);
    const std::size_t at = body.size();
    body.resize(at + kMaxFragment, 0); // the last block is padded with zeros
    std::copy_n(data.begin(), std::min(data.size(), kMaxFragment), body.begin() + std::ptrdiff_t(at));
    std::uint8_t sum = 0;
    for (std::size_t i = at; i < at + kMaxFragment; ++i) sum = std::uint8_t(sum + body[i]);
    body.push_back(sum);
    return buildDeviceMessage(1, command::kUpgrade, body, m_mac);
}

void FotaSession::send(Bytes message, kyvo::Millis now, int timeoutMs)
{
    m_last = std::move(message);
    m_resends = 0; // each message has its own resends
    const auto mac = ByteView(m_mac);
    if (m_fragmented) {
        // Older firmware takes 1024-byte fragments, here without pauses.
        for (std::size_t offset = 0, index = 0; offset < m_last.size(); offset += kMaxFragment, ++index)
            m_sink.sendDatagram(buildLinkFrame(kPcStart, kPcEnd, std::uint32_t(m_last.size()), std::uint16_t(index),
                                               ByteView(m_last).subspan(offset, std::min(kMaxFragment, m_last.size() - offset)),
                                               mac));
    } else {
        m_sink.sendDatagram(buildLinkFrame(kPcStart, kPcEnd, std::uint32_t(m_last.size()), 0, m_last, mac));
    }
    m_timeoutMs = timeoutMs;
    m_timeout = now + kyvo::Millis{timeoutMs};
}

void FotaSession::start(FirmwareFile image, bool factoryReset, kyvo::Millis now)
{
    m_image = std::move(image);
    m_firmwareSize = std::uint32_t(m_image.firmware.size());
    m_firmwareCounter = 0;
    m_sizeAnnouncementAt.reset();
    m_state = State::Requested;
    send(upgradeRequest(factoryReset), now, 2000);
    m_sink.setStartEnabled(false);
    m_sink.showProgress(int(m_firmwareSize / 1024 + 1), 1);
    m_sink.showStatus(" ");
    m_sink.hideResult();
}

void FotaSession::sendWebBlock(kyvo::Millis now)
{
    const std::size_t offset = std::size_t(m_webCounter - kFirstWebBlock) * kMaxFragment;
    const ByteView web(m_image.web);
    const ByteView data = offset < web.size() ? web.subspan(offset, std::min(kMaxFragment, web.size() - offset)) : ByteView();
    send(block(kBlock, std::uint16_t(m_webCounter), data), now, 2000);
    ++m_webCounter;
}

// Once the last web block is out, the next answer starts the firmware blocks
// (also when the web image needs one block only); the last web block keeps
// its resend timer like every other.
void FotaSession::afterWebBlock()
{
    if (m_webCounter == kFirstWebBlock + m_webBlocks) {
        m_phase = 2;
        m_state = State::FirmwarePhase;
    } else {
        m_sink.showStatus(format("web:%d/%d", m_webCounter - kFirstWebBlock, m_webBlocks));
    }
}

void FotaSession::onFirmwareAck(std::uint16_t expected, kyvo::Millis now)
{
    // After the web phase the device's numbers are not compared: its first
    // answer there still counts in web blocks.
    (void)expected;
    m_timeout.reset();
    if (m_firmwareCounter < m_firmwareBlocks) {
        const std::size_t offset = std::size_t(m_firmwareCounter) * kMaxFragment;
        const ByteView fw(m_image.firmware);
        const ByteView data = offset < fw.size() ? fw.subspan(offset, std::min(kMaxFragment, fw.size() - offset)) : ByteView();
        const bool last = m_firmwareCounter == m_firmwareBlocks - 1;
        send(block(last ? kLastBlock : kBlock, std::uint16_t(m_firmwareCounter), data), now, 1000);
        ++m_firmwareCounter;
    } else {
        m_timeout = now + kyvo::Millis{1000};
    }
    if (m_firmwareCounter != m_firmwareBlocks) m_sink.showStatus(format("%d/%d", m_firmwareCounter, m_firmwareBlocks));
}

void FotaSession::onAnswer(ByteView a, kyvo::Millis now)
{
    if (a.size() < 8 || a[0] != 0xBA || a[1] != 0x3A || a[a.size() - 2] != 'E' || a[a.size() - 1] != '.') return;
    const std::uint8_t step = a[5];
    // Values start at byte 8; an answer too short for its values is not taken.
    const auto value = [&a](std::size_t i) -> std::optional<std::uint8_t> {
        return 8 + i + 2 <= a.size() ? std::optional<std::uint8_t>(a[8 + i]) : std::nullopt;
    };
    switch (step) {
    case 0x0E:
        if (m_state != State::Requested) return; // a repeated answer must not grow the size again
        m_timeout.reset();
        m_firmwareSize += 1024;
        m_sink.showProgress(int(m_firmwareSize / 1024 + 1), m_firmwareCounter);
        m_state = State::Sizing;
        m_sizeAnnouncementAt = now + kyvo::Millis{800};
        return;
    case 0x0F: {
        if (m_state != State::Sizing || m_sizeAnnouncementAt || !value(1)) return;
        m_timeout.reset();
        m_firmwareBlocks = int(m_firmwareSize / 1024 + 1);
        const std::uint8_t from = *value(0), to = *value(1);
        const std::string left = from == 0 ? "0->" : from == 0x10 ? "1->" : from == 0x11 ? "2->" : format("Unknown%d", from);
        m_sink.showPartition(left + partitionText(to));
        m_phase = 1;
        m_state = State::WebPhase;
        m_webCounter = kFirstWebBlock;
        m_webBlocks = int(m_image.web.size() / 1024 + 1);
        sendWebBlock(now);
        afterWebBlock();
        break;
    }
    case 0x10: {
        if ((m_state != State::WebPhase && m_state != State::FirmwarePhase) || !value(1)) return;
        const auto expected = std::uint16_t(*value(0) << 8 | *value(1));
        if (m_phase == 1) {
            if (expected != m_webCounter) {
                m_sink.showStatus("升级失败 bad number"); // the resend timer stays armed
                return;
            }
            m_timeout.reset();
            if (m_webCounter <= kFirstWebBlock + m_webBlocks - 1) sendWebBlock(now);
            afterWebBlock();
        } else {
            onFirmwareAck(expected, now);
        }
        break;
    }
    case 0x11:
        if (m_state != State::FirmwarePhase) return;
        m_timeout.reset();
        m_state = State::Finished;
        m_sink.showStatus("升级成功");
        m_sink.showResult(value(2) && *value(2) == 0xFA);
        m_sink.setStartEnabled(true);
        break;
    default:
        return;
    }
    reportProgress();
}

void FotaSession::reportProgress() { m_sink.showProgress(int(m_firmwareSize / 1024 + 1), m_firmwareCounter); }

void FotaSession::onTimeout(kyvo::Millis now)
{
    if (m_resends >= kMaxResends) {
        m_state = State::Failed;
        m_sink.setStartEnabled(true);
        char code[16];
        std::snprintf(code, sizeof code, "(0x%02x)", m_last.size() > 3 ? m_last[3] : 0);
        m_sink.showStatus("升级失败", code);
        // The device still gets one last copy, counted from a fresh count; no
        // timer waits for its answer.
        send(m_last, now, m_timeoutMs);
        m_timeout.reset();
        m_resends = 1;
        return;
    }
    m_sink.showStatus("", format("(resending %d)", m_resends));
    const int resends = m_resends + 1;
    send(m_last, now, m_timeoutMs);
    m_resends = resends;
}

void FotaSession::onTime(kyvo::Millis now)
{
    if (m_sizeAnnouncementAt && *m_sizeAnnouncementAt <= now) {
        m_sizeAnnouncementAt.reset();
        send(sizeAnnouncement(m_firmwareSize), now, 10000);
        m_firmwareCounter = 0;
    }
    if (m_timeout && *m_timeout <= now) onTimeout(now);
}

std::optional<kyvo::Millis> FotaSession::nextDeadline() const
{
    if (m_sizeAnnouncementAt && m_timeout) return std::min(*m_sizeAnnouncementAt, *m_timeout);
    return m_sizeAnnouncementAt ? m_sizeAnnouncementAt : m_timeout;
}

} // namespace vorlet
