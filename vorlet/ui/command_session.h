// The single pending operation of the main window's commands, timer 3 and
// the waits before sending, on an injected time base.
#pragma once

#include "common/bytes.h"
#include "common/clock.h"
#include "common/ipv4.h"

#include <functional>
#include <optional>
#include <vector>

namespace vorlet {

// The pending-operation codes; their numbers are the design's.
enum class PendingOperation : std::uint8_t {
    None = 0,
    Save = 1,
    FactoryReset = 2,
    Restart = 3,
    DeepFactoryReset = 4,
    DebugOn = 7,
    DebugOff = 8,
    SetClock = 16,
};

// The status-line texts of an operation (Chinese, the keys of the language
// table); failure is nullptr for the clock, which has no time-out.
struct OperationTexts
{
    const char *running = nullptr;
    const char *success = nullptr;
    const char *failure = nullptr;
};
OperationTexts operationTexts(PendingOperation operation);

// What the session asks its owner to do.
class CommandEffects
{
public:
    // Builds a message from the local address of the socket it leaves on
    // (most significant octet first, 0 when bound to any address).
    using Compose = std::function<kyvo::Bytes(std::uint32_t localAddress)>;
    enum class Buttons {
        SaveDisabled,             // a save is under way: "保存" off
        SaveResetRestartDisabled, // a device command: "保存", "恢复出厂", "重启设备" off
        AllEnabled,
    };
    virtual ~CommandEffects() = default;
    virtual void sendMessage(const kyvo::Bytes &message, const kyvo::Ipv4Endpoint &to) = 0;
    virtual void sendComposed(Compose compose, const kyvo::Ipv4Endpoint &to) = 0;
    virtual void showStatus(const char *chinese) = 0;
    virtual void setButtons(Buttons buttons) = 0;
    // A write answer whose second body byte is 9: the "生成成功" box.
    virtual void showGenerated() = 0;
};

// States: idle, or pending(code) with timer 3 running (the clock leaves the
// timer as it is). A new command overwrites the code and restarts timer 3; an
// answer ends whatever is pending when it arrives. Waits before a send are
// deadlines here, so the window keeps running while they pass.
class CommandSession
{
public:
    static constexpr kyvo::Millis kCommandWait{500};
    static constexpr kyvo::Millis kClockWait{100};
    static constexpr kyvo::Millis kCommandTimeout{3000};
    static constexpr kyvo::Millis kDebugTimeout{2000};
    // How long past its time-out a message held back by a shared sender is waited for.
    static constexpr kyvo::Millis kHeldBackLimit{60000};
    // (request length / 4) + 1000 ms.
    static kyvo::Millis saveTimeout(std::size_t requestLength)
    {
        return kyvo::Millis(std::int64_t(requestLength / 4) + 1000);
    }

    explicit CommandSession(CommandEffects &effects) : m_effects(effects) {}

    // Sends the request at once and waits its save time-out.
    void save(kyvo::Bytes request, kyvo::Ipv4Endpoint to, kyvo::Millis now);
    // Restart, factory reset, deep factory reset: 3000 ms from now, sent after 500 ms.
    void deviceCommand(PendingOperation operation, kyvo::Bytes message, kyvo::Ipv4Endpoint to,
                       kyvo::Millis now);
    // Debug output on or off: 2000 ms from now, sent after 500 ms. The
    // message names the PC's address, so it is composed where it leaves.
    void debugOutput(bool on, CommandEffects::Compose compose, kyvo::Ipv4Endpoint to, kyvo::Millis now);
    // The clock message is built when it leaves, 100 ms from now, with the
    // time of that moment; only then is the operation pending (no time-out).
    void setClock(std::function<kyvo::Bytes()> build, kyvo::Ipv4Endpoint to, kyvo::Millis now);

    // A sender shared by many sessions holds the message just handed to it
    // back: the time-out waits until it has left, then counts from then,
    // never ending sooner than it would have.
    void requestQueued() { m_heldBack = true; }
    void requestLeft(kyvo::Millis now);

    // Answers 0x84, 0x85 and 0x86; body is the answer's body (bytes 6...).
    void commandResult(std::uint8_t code, kyvo::ByteView body);

    // Sends what is due and expires timer 3 when its time has come.
    void run(kyvo::Millis now);
    std::optional<kyvo::Millis> nextDeadline() const;

    PendingOperation pending() const { return m_pending; }
    bool timerRunning() const { return m_timeoutAt.has_value(); }
    // Set by write answers that confirm an item write of the secondary
    // dialogs; they clear it before they send.
    bool writeAcknowledged() const { return m_writeAcknowledged; }
    void clearWriteAcknowledgement() { m_writeAcknowledged = false; }

private:
    struct DelayedSend
    {
        kyvo::Millis due;
        std::function<kyvo::Bytes()> build;
        kyvo::Ipv4Endpoint to;
        PendingOperation pendingAfterSend = PendingOperation::None; // None: leave the slot alone
        CommandEffects::Compose compose;                            // instead of build
    };

    void begin(PendingOperation operation, std::optional<kyvo::Millis> timeoutAt);
    void schedule(DelayedSend send);
    void finish();
    std::optional<kyvo::Millis> timeoutAt() const;

    CommandEffects &m_effects;
    PendingOperation m_pending = PendingOperation::None;
    std::optional<kyvo::Millis> m_timeoutAt;
    kyvo::Millis m_timeoutAfterLeaving{0}; // from the message's leaving to the time-out
    bool m_heldBack = false;
    std::vector<DelayedSend> m_sends; // in order of their due time
    bool m_writeAcknowledged = false;
};

} // namespace vorlet
