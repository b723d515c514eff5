// Label, history and enrolment bytes, and the enrolment's timing.
#include "vorlet/maintenance/label_codec.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace vorlet::labels {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int hexValue(std::uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendText(Bytes &out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

bool startsAt(ByteView text, std::size_t at, std::string_view marker)
{
    return text.size() - at >= marker.size() &&
           std::equal(marker.begin(), marker.end(), text.begin() + long(at));
}

// Where the line holding `at` ends (after its line feed, or the text's end).
std::size_t afterLine(ByteView text, std::size_t at)
{
    while (at < text.size() && text[at] != '\n')
        ++at;
    return at < text.size() ? at + 1 : at;
}

} // namespace

std::vector<std::string> parseModelList(ByteView text)
{
    text = text.first(std::min(text.size(), kModelFileLimit));
    std::vector<std::string> models;
    std::size_t begin = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '\r' || text[i + 1] != '\n') continue;
        models.emplace_back(reinterpret_cast<const char *>(text.data()) + begin, i - begin);
        begin = i + 2;
        ++i;
    }
    return models;
}

Bytes logoFromHex(ByteView text)
{
    Bytes out;
    int high = -1;
    for (std::uint8_t c : text) {
        const int v = hexValue(c);
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(std::uint8_t(high << 4 | v));
            high = -1;
        }
    }
    return out;
}

Bytes setupCommands()
{
    Bytes out;
    appendText(out, "SPEED 6\r\nDENSITY 8\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\nSET PARTIAL_CUTTER OFF\r\n"
                    "SET TEAR ON\r\nDIRECTION 1\r\nSIZE 40.00 mm,30.00 mm\r\nGAP 2.00 mm,0.00 mm\r\n"
                    "OFFSET 0.00 mm\r\nSHIFT 0\r\nREFERENCE 0,0\r\n");
    return out;
}

Bytes logoDownload(ByteView logo)
{
    Bytes out;
    appendText(out, "DOWNLOAD \"LOGO.PCX\",");
    appendText(out, std::to_string(logo.size()));
    out.push_back(',');
    out.insert(out.end(), logo.begin(), logo.end());
    appendText(out, "\r\n");
    return out;
}

std::string identityText(std::span<const std::uint8_t, 9> identity)
{
    std::string s;
    for (std::uint8_t b : identity) {
        s += kHexDigits[b >> 4];
        s += kHexDigits[b & 15];
    }
    return s;
}

std::string macText(const std::array<std::uint8_t, 6> &mac)
{
    std::string s;
    for (std::uint8_t b : mac) {
        s += kHexDigits[b >> 4];
        s += kHexDigits[b & 15];
    }
    return s;
}

Bytes buildLabel(ByteView templateText, const LabelValues &values)
{
    const ByteView t = templateText.first(std::min(templateText.size(), kTemplateFileLimit));
    const std::pair<std::string_view, std::string> markers[] = {
        {"id", "ID:" + values.id},
        {"mac", "MAC:" + macText(values.mac)},
        {"model", "Model:" + values.model},
    };
    Bytes out;
    std::size_t i = 0;
    while (i < t.size()) {
        const auto marker = std::find_if(std::begin(markers), std::end(markers),
                                         [&](const auto &m) { return startsAt(t, i, m.first); });
        if (marker == std::end(markers)) {
            out.push_back(t[i++]);
            continue;
        }
        appendText(out, marker->second);
        appendText(out, "\"\r\n");
        i = afterLine(t, i);
    }
    return out;
}

std::string historyLine(const LabelValues &v, const LocalDateTime &at)
{
    char date[48], time[48];
    std::snprintf(date, sizeof date, "%.4d-%.2d-%.2d", at.year, at.month, at.day);
    std::snprintf(time, sizeof time, "%.2d:%.2d:%.2d", at.hour, at.minute, at.second);
    return "mac:" + macText(v.mac) + " model:" + v.model + " imei:" + v.id + " version " + v.version +
           "  time:" + date + ' ' + time + "\r\n";
}

Bytes enrolRequest(const std::array<std::uint8_t, 6> &mac)
{
    std::array<std::uint8_t, 6> enrolled = mac;
    enrolled[0] = 0;
    Bytes out{0xAD};
    appendText(out, macText(enrolled));
    return out;
}

EnrolResult enrolResult(ByteView reply)
{
    const std::string_view text(reinterpret_cast<const char *>(reply.data()), reply.size());
    if (text == "ok") return EnrolResult::Enrolled;
    if (text == "ko") return EnrolResult::AlreadyEnrolled;
    return EnrolResult::Failed;
}

void EnrolSession::start(kyvo::Millis now)
{
    m_reply.clear();
    m_result = EnrolResult::Failed;
    m_state = State::Connecting;
    m_deadline = now + m_timeouts.connect;
}

Bytes EnrolSession::connected(kyvo::Millis now, const std::array<std::uint8_t, 6> &mac)
{
    if (m_state != State::Connecting) return {};
    m_state = State::AwaitingReply;
    m_deadline = now + m_timeouts.reply;
    return enrolRequest(mac);
}

void EnrolSession::received(ByteView data)
{
    if (m_state != State::AwaitingReply) return;
    const std::size_t room = kReplyLimit - m_reply.size();
    m_reply.insert(m_reply.end(), data.begin(), data.begin() + long(std::min(room, data.size())));
    // A reply that came in pieces is waited for while it can still become "ok" or "ko".
    const std::string_view text(reinterpret_cast<const char *>(m_reply.data()), m_reply.size());
    const bool partial = text.size() < 2 && (std::string_view("ok").starts_with(text) ||
                                             std::string_view("ko").starts_with(text));
    if (!partial) finish();
}

void EnrolSession::closed()
{
    if (m_state == State::Connecting || m_state == State::AwaitingReply) finish();
}

void EnrolSession::due(kyvo::Millis now)
{
    if ((m_state == State::Connecting || m_state == State::AwaitingReply) && now >= m_deadline) finish();
}

std::optional<kyvo::Millis> EnrolSession::deadline() const
{
    if (m_state == State::Connecting || m_state == State::AwaitingReply) return m_deadline;
    return std::nullopt;
}

void EnrolSession::finish()
{
    m_result = m_state == State::AwaitingReply ? enrolResult(m_reply) : EnrolResult::Failed;
    m_state = State::Done;
}

} // namespace vorlet::labels
