// One gateway's restart, factory reset, save or firmware upgrade as an object
// of its own, so that many run side by side: each has its own session and
// timers, takes only its own device's answers and says once how it ended.
#pragma once

#include "vorlet/core/gateway_core.h"
#include "vorlet/maintenance/fota_runner.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/command_runner.h"

#include <QObject>

#include <functional>
#include <memory>
#include <variant>

namespace vorlet {

class DeviceOperation : public QObject
{
    Q_OBJECT
public:
    // The program's own (Chinese) texts into the language shown.
    using Translate = std::function<QString(const char *chinese)>;

    explicit DeviceOperation(const Mac &mac, QObject *parent = nullptr) : QObject(parent), m_mac(mac) {}
    // May finish at once (a refusal before anything is sent).
    virtual void start() = 0;
    // Runs what is due now; tests on a manual clock call it after advancing.
    virtual void poll() = 0;
    const Mac &mac() const { return m_mac; }
    bool ended() const { return m_ended; }

Q_SIGNALS:
    void progress(int percent, const QString &text);
    // Once, with the single-device operation's own closing text.
    void finished(bool ok, const QString &text);

protected:
    void end(bool ok, const QString &text);

private:
    Mac m_mac;
    bool m_ended = false;
};

// Restart, factory reset, deep factory reset and save through a command
// runner of its own; ends on the operation's success or failure text.
class CommandOperation final : public DeviceOperation
{
    Q_OBJECT
public:
    // operation: Save, Restart, FactoryReset or DeepFactoryReset. sharedSender:
    // other operations queue messages too, so the time-out counts from the leaving.
    CommandOperation(GatewayCore &core, PendingOperation operation, std::unique_ptr<ParameterRecord> record,
                     Translate translate, const kyvo::Clock *clock = nullptr, bool sharedSender = false,
                     QObject *parent = nullptr);
    void start() override;
    void poll() override { m_runner.poll(); }
    CommandRunner &runner() { return m_runner; }

Q_SIGNALS:
    // Every status text the single-device command shows, in Chinese.
    void statusText(const char *chinese);

private:
    void onStatus(const char *chinese);

    PendingOperation m_operation;
    std::unique_ptr<ParameterRecord> m_record;
    Translate m_translate;
    CommandRunner m_runner;
};

// The firmware upgrade on the runner's own socket; progress in blocks.
class UpgradeOperation final : public DeviceOperation, private FotaSink
{
    Q_OBJECT
public:
    struct Target
    {
        Mac mac{};
        std::string versionText;
        QHostAddress address;
        quint16 port = kDevicePort;
        QString localAddress; // the adapter; empty for any
    };
    UpgradeOperation(Target target, std::shared_ptr<const FirmwareFile> image, bool factoryReset,
                     Translate translate, const kyvo::Clock *clock = nullptr, QObject *parent = nullptr);
    void start() override;
    void poll() override { m_runner.poll(); }
    const FotaSession &session() const { return m_runner.session(); }
    quint16 localPort() const { return m_runner.localPort(); }

private:
    void sendDatagram(const Bytes &) override {}
    void showStatus(const std::string &text, const std::string &suffix) override;
    void showPartition(const std::string &) override {}
    void showProgress(int maximum, int position) override;
    void setStartEnabled(bool) override {}
    void showResult(bool verified) override;
    void hideResult() override {}

    Target m_target;
    std::shared_ptr<const FirmwareFile> m_image;
    bool m_factoryReset;
    Translate m_translate;
    FotaRunner m_runner;
    int m_percent = 0;
    QString m_finishedText; // the device said it has the image; whether it verified it comes next
};

// A quick set's record: the file over a copy of the device's record (its own
// MAC and address kept); a text instead when its static address settings
// would leave the device unreachable.
std::variant<std::unique_ptr<ParameterRecord>, QString> quickSetRecord(const ParameterRecord &device,
                                                                       kyvo::ByteView file, bool english);

} // namespace vorlet
