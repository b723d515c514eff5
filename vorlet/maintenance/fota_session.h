// The gateway firmware upgrade as a state machine on an injected time base:
// the upgrade request, the size announcement, the web and firmware blocks
// one at a time, each acknowledged, with resends on silence.
#pragma once

#include "common/clock.h"
#include "vorlet/link/link_frame.h"
#include "vorlet/maintenance/firmware_file.h"

#include <optional>
#include <string>

namespace vorlet {

// What the session asks of its dialog and transport.
class FotaSink
{
public:
    virtual ~FotaSink() = default;
    virtual void sendDatagram(const Bytes &datagram) = 0;
    // text is the program's own (Chinese) and passes through the language
    // table; suffix follows it untranslated (counts, codes).
    virtual void showStatus(const std::string &text, const std::string &suffix = {}) = 0;
    virtual void showPartition(const std::string &text) = 0;
    virtual void showProgress(int maximum, int position) = 0;
    virtual void setStartEnabled(bool enabled) = 0;
    // The device's final report: verified shows the green bar, else the red one.
    virtual void showResult(bool verified) = 0;
    virtual void hideResult() = 0;
};

class FotaSession
{
public:
    // States, in the order an upgrade passes them.
    enum class State { Idle, Requested, Sizing, WebPhase, FirmwarePhase, Finished, Failed };

    static constexpr int kMaxResends = 4;

    // version: the device's version text; numbers below 10110 (from its
    // second character on) take each message in 1024-byte fragments.
    FotaSession(Mac mac, const std::string &version, FotaSink &sink);

    // Begins an upgrade with the image; factoryReset asks the device to reset
    // to its factory settings afterwards.
    void start(FirmwareFile image, bool factoryReset, kyvo::Millis now);
    // One datagram from the device (a plain device message).
    void onAnswer(ByteView answer, kyvo::Millis now);
    // Runs what is due: the pause before the size announcement, resends.
    void onTime(kyvo::Millis now);
    std::optional<kyvo::Millis> nextDeadline() const;

    State state() const { return m_state; }
    int phaseMarker() const { return m_phase; }
    std::uint32_t announcedSize() const { return m_firmwareSize; }
    int firmwareBlocks() const { return m_firmwareBlocks; }
    int webBlocks() const { return m_webBlocks; }
    bool fragmentedFraming() const { return m_fragmented; }
    int resendCount() const { return m_resends; }

    // The messages, for tests and the simulator's tests.
    Bytes upgradeRequest(bool factoryReset) const;
    Bytes sizeAnnouncement(std::uint32_t size) const;
    Bytes block(std::uint8_t kind, std::uint16_t number, ByteView data) const;

private:
    void send(Bytes message, kyvo::Millis now, int timeoutMs);
    void sendWebBlock(kyvo::Millis now);
    void afterWebBlock();
    void onFirmwareAck(std::uint16_t expected, kyvo::Millis now);
    void onTimeout(kyvo::Millis now);
    void reportProgress();

    Mac m_mac;
    bool m_fragmented;
    FotaSink &m_sink;
    FirmwareFile m_image;
    State m_state = State::Idle;
    int m_phase = 0; // 0 before the web phase, 1 during it, 2 after it
    std::uint32_t m_firmwareSize = 0;
    int m_firmwareBlocks = 0;
    int m_webBlocks = 0;
    int m_webCounter = 10000;
    int m_firmwareCounter = 0;
    Bytes m_last;
    int m_resends = 0;
    std::optional<kyvo::Millis> m_timeout;          // timer 1
    int m_timeoutMs = 0;
    std::optional<kyvo::Millis> m_sizeAnnouncementAt; // the 800 ms pause
};

// The number a version text forms from its second character on ("V10110" -> 10110).
long versionNumber(const std::string &version);

} // namespace vorlet
