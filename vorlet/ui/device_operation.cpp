// Single-device operations that run side by side.
#include "vorlet/ui/device_operation.h"

#include "vorlet/record/config_file.h"
#include "vorlet/ui/check_texts.h"
#include "vorlet/ui/device_commands.h"

#include <algorithm>
#include <cstring>

namespace vorlet {

void DeviceOperation::end(bool ok, const QString &text)
{
    if (m_ended) return;
    m_ended = true;
    Q_EMIT finished(ok, text);
}

CommandOperation::CommandOperation(GatewayCore &core, PendingOperation operation,
                                   std::unique_ptr<ParameterRecord> record, Translate translate,
                                   const kyvo::Clock *clock, bool sharedSender, QObject *parent)
    : DeviceOperation(recordMac(record->mac), parent), m_operation(operation), m_record(std::move(record)),
      m_translate(std::move(translate)), m_runner(core, {clock, {}, sharedSender}, this)
{
    // The answers of other devices belong to their own operations.
    connect(&core, &GatewayCore::commandResult, this,
            [this](int code, int, const QByteArray &body, const Mac &from) {
                if (from == mac() && !ended()) m_runner.commandResult(code, body);
            });
    connect(&m_runner, &CommandRunner::statusText, this, &CommandOperation::onStatus);
}

void CommandOperation::start()
{
    switch (m_operation) {
    case PendingOperation::Save:
        m_runner.save(*m_record);
        break;
    case PendingOperation::Restart:
        m_runner.restart(*m_record);
        break;
    case PendingOperation::FactoryReset:
    case PendingOperation::DeepFactoryReset:
        m_runner.factoryReset(*m_record, m_operation == PendingOperation::DeepFactoryReset);
        break;
    default:
        end(false, {});
    }
}

void CommandOperation::onStatus(const char *chinese)
{
    Q_EMIT statusText(chinese);
    const OperationTexts texts = operationTexts(m_operation);
    const QString shown = m_translate(chinese);
    if (std::strcmp(chinese, texts.success) == 0)
        end(true, shown);
    else if (texts.failure && std::strcmp(chinese, texts.failure) == 0)
        end(false, shown);
    else
        Q_EMIT progress(0, shown);
}

UpgradeOperation::UpgradeOperation(Target target, std::shared_ptr<const FirmwareFile> image,
                                   bool factoryReset, Translate translate, const kyvo::Clock *clock,
                                   QObject *parent)
    : DeviceOperation(target.mac, parent), m_target(std::move(target)), m_image(std::move(image)),
      m_factoryReset(factoryReset), m_translate(std::move(translate)),
      m_runner(m_target.mac, m_target.versionText, *this, clock)
{}

void UpgradeOperation::start()
{
    if (!m_image) {
        end(false, {});
        return;
    }
    // A socket that cannot be bound to the adapter goes on bound to any
    // address, as the single upgrade does.
    m_runner.open(m_target.localAddress);
    m_runner.setDevice(m_target.address, m_target.port);
    m_runner.start(*m_image, m_factoryReset);
}

void UpgradeOperation::showStatus(const std::string &text, const std::string &suffix)
{
    const QString shown = m_translate(text.c_str()) + QString::fromStdString(suffix);
    const FotaSession::State state = m_runner.session().state();
    if (state == FotaSession::State::Finished)
        m_finishedText = shown;
    else if (state == FotaSession::State::Failed)
        end(false, shown);
    else if (!shown.trimmed().isEmpty())
        Q_EMIT progress(m_percent, shown);
}

// The dialog's green or red bar: an image the device did not verify is no success.
void UpgradeOperation::showResult(bool verified)
{
    end(verified, m_finishedText);
}

void UpgradeOperation::showProgress(int maximum, int position)
{
    m_percent = maximum > 0 ? std::clamp(position * 100 / maximum, 0, 100) : 0;
    Q_EMIT progress(m_percent, {});
}

std::variant<std::unique_ptr<ParameterRecord>, QString> quickSetRecord(const ParameterRecord &device,
                                                                       kyvo::ByteView file, bool english)
{
    auto applied = std::make_unique<ParameterRecord>(device);
    loadConfigBytesOver(*applied, file);
    if (const AddressFault fault = staticAddressFault(*applied); fault != AddressFault::None)
        return addressFaultText(fault, *applied, english);
    return applied;
}

} // namespace vorlet
