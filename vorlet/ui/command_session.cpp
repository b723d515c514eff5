// Pending operation, timer 3 and the delayed sends.
#include "vorlet/ui/command_session.h"

#include <algorithm>

namespace vorlet {

namespace {
constexpr std::uint8_t kWriteAnswer = 0x84;
} // namespace

OperationTexts operationTexts(PendingOperation operation)
{
    switch (operation) {
    case PendingOperation::Save:
        return {"正在保存...", "保存成功,重启后生效！！！", "保存失败"};
    case PendingOperation::FactoryReset:
        return {"正在恢复出厂...", "恢复出厂成功", "恢复出厂失败"};
    case PendingOperation::Restart:
        return {"正在重启...", "重启成功", "重启失败"};
    case PendingOperation::DeepFactoryReset:
        return {"正在深度恢复出厂...", "深度恢复出厂成功", "深度恢复出厂失败"};
    case PendingOperation::DebugOn:
        return {"正在启动调试...", "调试启动成功", "调试启动失败"};
    case PendingOperation::DebugOff:
        return {"正在关闭调试...", "调试关闭成功", "调试关闭失败"};
    case PendingOperation::SetClock:
        return {"正在校准时间...", "校准成功", nullptr};
    case PendingOperation::None:
        break;
    }
    return {};
}

void CommandSession::begin(PendingOperation operation, std::optional<kyvo::Millis> timeoutAt)
{
    m_pending = operation;
    m_timeoutAt = timeoutAt;
    m_heldBack = false;
}

void CommandSession::schedule(DelayedSend send)
{
    const auto at = std::upper_bound(m_sends.begin(), m_sends.end(), send.due,
                                     [](kyvo::Millis due, const DelayedSend &s) { return due < s.due; });
    m_sends.insert(at, std::move(send));
}

void CommandSession::save(kyvo::Bytes request, kyvo::Ipv4Endpoint to, kyvo::Millis now)
{
    m_effects.showStatus(operationTexts(PendingOperation::Save).running);
    const kyvo::Millis timeout = saveTimeout(request.size());
    begin(PendingOperation::Save, std::nullopt);
    m_effects.setButtons(CommandEffects::Buttons::SaveDisabled);
    m_timeoutAfterLeaving = timeout;
    m_effects.sendMessage(request, to);
    m_timeoutAt = now + timeout;
}

void CommandSession::deviceCommand(PendingOperation operation, kyvo::Bytes message, kyvo::Ipv4Endpoint to,
                                   kyvo::Millis now)
{
    begin(operation, now + kCommandTimeout);
    m_timeoutAfterLeaving = kCommandTimeout - kCommandWait;
    m_effects.showStatus(operationTexts(operation).running);
    m_effects.setButtons(CommandEffects::Buttons::SaveResetRestartDisabled);
    schedule({now + kCommandWait, [m = std::move(message)] { return m; }, to, PendingOperation::None});
}

void CommandSession::debugOutput(bool on, CommandEffects::Compose compose, kyvo::Ipv4Endpoint to,
                                 kyvo::Millis now)
{
    const PendingOperation operation = on ? PendingOperation::DebugOn : PendingOperation::DebugOff;
    begin(operation, now + kDebugTimeout);
    m_effects.showStatus(operationTexts(operation).running);
    schedule({now + kCommandWait, {}, to, PendingOperation::None, std::move(compose)});
}

void CommandSession::setClock(std::function<kyvo::Bytes()> build, kyvo::Ipv4Endpoint to, kyvo::Millis now)
{
    m_effects.showStatus(operationTexts(PendingOperation::SetClock).running);
    schedule({now + kClockWait, std::move(build), to, PendingOperation::SetClock});
}

void CommandSession::requestLeft(kyvo::Millis now)
{
    if (!m_heldBack) return;
    m_heldBack = false;
    if (m_timeoutAt) m_timeoutAt = std::max(*m_timeoutAt, now + m_timeoutAfterLeaving);
}

std::optional<kyvo::Millis> CommandSession::timeoutAt() const
{
    if (!m_timeoutAt || !m_heldBack) return m_timeoutAt;
    return *m_timeoutAt + kHeldBackLimit;
}

void CommandSession::commandResult(std::uint8_t code, kyvo::ByteView body)
{
    if (const char *success = operationTexts(m_pending).success) m_effects.showStatus(success);
    const int b0 = body.size() > 0 ? body[0] : -1;
    const int b1 = body.size() > 1 ? body[1] : -1;
    if (code == kWriteAnswer && ((b0 == 0xB8) || (b0 == 0x8F && b1 == 2) || (b0 == 0x74 && b1 == 0)))
        m_writeAcknowledged = true;
    finish();
    if (code == kWriteAnswer && b1 == 9) m_effects.showGenerated();
}

void CommandSession::finish()
{
    m_pending = PendingOperation::None;
    m_timeoutAt.reset();
    m_heldBack = false;
    m_effects.setButtons(CommandEffects::Buttons::AllEnabled);
}

void CommandSession::run(kyvo::Millis now)
{
    while (true) {
        const bool sendDue = !m_sends.empty() && m_sends.front().due <= now;
        const auto timeout = timeoutAt();
        const bool timeoutDue = timeout && *timeout <= now;
        if (!sendDue && !timeoutDue) return;
        // Whichever came first; a send and a time-out at the same moment send first.
        if (sendDue && (!timeoutDue || m_sends.front().due <= *timeout)) {
            DelayedSend send = std::move(m_sends.front());
            m_sends.erase(m_sends.begin());
            if (send.compose)
                m_effects.sendComposed(std::move(send.compose), send.to);
            else
                m_effects.sendMessage(send.build(), send.to);
            if (send.pendingAfterSend != PendingOperation::None) m_pending = send.pendingAfterSend;
            continue;
        }
        if (const char *failure = operationTexts(m_pending).failure) m_effects.showStatus(failure);
        finish();
    }
}

std::optional<kyvo::Millis> CommandSession::nextDeadline() const
{
    std::optional<kyvo::Millis> next = timeoutAt();
    if (!m_sends.empty() && (!next || m_sends.front().due < *next)) next = m_sends.front().due;
    return next;
}

} // namespace vorlet
