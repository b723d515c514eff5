// Gateway labels: the model list, the logo, the printer's setup, logo and
// label datagrams, the history line, and the cloud enrolment exchange.
#pragma once

#include "common/bytes.h"
#include "common/clock.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vorlet::labels {

using kyvo::Bytes;
using kyvo::ByteView;

// How much of each file is read; longer files are read up to the limit.
inline constexpr std::size_t kModelFileLimit = 1024;
inline constexpr std::size_t kLogoFileLimit = 40240; // a longer logo text is refused
inline constexpr std::size_t kTemplateFileLimit = 10240;

// Each line ended by CR LF is one model; a last line without it is ignored.
std::vector<std::string> parseModelList(ByteView text);

// Two hex digits per byte; blanks, line breaks and any other non-hex byte
// are skipped, and an odd last digit is dropped.
Bytes logoFromHex(ByteView text);

// The printer's setup commands, one datagram.
Bytes setupCommands();
// DOWNLOAD "LOGO.PCX",<count>,<bytes>CR LF
Bytes logoDownload(ByteView logo);

struct LabelValues
{
    std::string id; // 18 lower-case hex digits
    std::array<std::uint8_t, 6> mac{};
    std::string model;   // GBK
    std::string version; // the firmware version text
};

std::string identityText(std::span<const std::uint8_t, 9> identity);
std::string macText(const std::array<std::uint8_t, 6> &mac); // 12 lower-case hex digits

// The label from a template's first kTemplateFileLimit bytes: a line from
// the marker "id", "mac" or "model" on is replaced by the value's line.
Bytes buildLabel(ByteView templateText, const LabelValues &values);

struct LocalDateTime
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string historyLine(const LabelValues &values, const LocalDateTime &at);

// Cloud enrolment: 0xAD and the MAC with its first byte as 00, as text.
Bytes enrolRequest(const std::array<std::uint8_t, 6> &mac);

enum class EnrolResult { Enrolled, AlreadyEnrolled, Failed };
EnrolResult enrolResult(ByteView reply);

struct EnrolTimeouts
{
    kyvo::Millis connect{1000};
    kyvo::Millis reply{3000};
};

// One enrolment over time: connect within connectTimeout, then a reply of
// up to kReplyLimit bytes within replyTimeout. Time is given by the caller.
class EnrolSession
{
public:
    enum class State { Idle, Connecting, AwaitingReply, Done };
    static constexpr std::size_t kReplyLimit = 10;

    using Timeouts = EnrolTimeouts;

    explicit EnrolSession(Timeouts timeouts = {}) : m_timeouts(timeouts) {}

    void start(kyvo::Millis now);
    // The connection is up: the request to send.
    Bytes connected(kyvo::Millis now, const std::array<std::uint8_t, 6> &mac);
    void received(ByteView data);
    // The peer closed or the connection failed.
    void closed();
    // Runs the deadline when it has passed.
    void due(kyvo::Millis now);

    State state() const { return m_state; }
    std::optional<kyvo::Millis> deadline() const;
    EnrolResult result() const { return m_result; }

private:
    void finish();

    Timeouts m_timeouts;
    State m_state = State::Idle;
    kyvo::Millis m_deadline{};
    Bytes m_reply;
    EnrolResult m_result = EnrolResult::Failed;
};

} // namespace vorlet::labels
