// The serial-server firmware upgrade for the program's run: the transfer
// state (which outlives the dialog), its timer, the probe of the target, and
// the main socket it shares with everything else.
#pragma once

#include "pelmar/files/firmware_transfer.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace pelmar {

class ServerCore;
class LanguageTable;

// How the PC is asked about the target: an address-cache flush and one
// echo, each answered by its signal. The standard prober runs the system's
// commands without blocking.
class TargetProber : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void flushAddressCache() = 0;
    virtual void probe(const QString &target) = 0;
Q_SIGNALS:
    void flushed();
    void probed(bool answered);
};

std::unique_ptr<TargetProber> systemProber();

// What keeps a firmware file from being sent, checked before anything is:
// the start button's message when it cannot be opened, is too large or too small.
std::optional<QString> firmwareFileFault(const QString &path, const LanguageTable &language);
// The file whole, read once; null when it cannot be read.
std::shared_ptr<const kyvo::Bytes> readFirmwareFile(const QString &path);

// What the upgrade dialog shows; the upgrade runs on without it.
class UpgradeView
{
public:
    virtual ~UpgradeView() = default;
    virtual void showStatus(const QString &text) = 0;
    virtual void showBlockCounter(const QString &text) = 0;
    virtual void showProgress(bool visible, int maximum, int position) = 0;
    virtual void paintBar(TransferSink::Bar colour) = 0;
    virtual void setStartEnabled(bool enabled) = 0;
    virtual void message(const QString &text, const QString &caption) = 0;
};

class FirmwareUpgrade : public QObject, private TransferSink
{
    Q_OBJECT
public:
    FirmwareUpgrade(ServerCore &core, const LanguageTable &language,
                    std::unique_ptr<TargetProber> prober = systemProber(), const kyvo::Clock *clock = nullptr,
                    QObject *parent = nullptr);
    ~FirmwareUpgrade() override;

    void attach(UpgradeView *view) { m_view = view; }
    void detach(UpgradeView *view)
    {
        if (m_view == view) m_view = nullptr;
    }

    // The start button: checks the file, then probes and sends.
    void start(const QString &path, const QString &target);
    // The same with the file's bytes read (and checked) already, shared by a batch.
    void start(const QString &path, std::shared_ptr<const kyvo::Bytes> bytes, const QString &target);
    const QString &lastPath() const { return m_lastPath; }
    const FirmwareTransfer &transfer() const { return m_transfer; }
    quint16 tftpPort() const { return m_tftpPort; }
    void setTftpPortForTesting(quint16 port) { m_tftpPort = port; }
    void poll();

Q_SIGNALS:
    // The upgrade started by start() is over: "Upgrade success", or not,
    // with the last message shown (else the last status).
    void ended(bool succeeded, const QString &text);

private:
    void sendDatagram(const kyvo::Bytes &datagram, kyvo::Ipv4Endpoint to) override;
    void showStatus(const std::string &text) override;
    void showBlockCounter(const std::string &text) override;
    void showProgress(bool visible, int maximum, int position) override;
    void paintBar(Bar colour) override;
    void setStartEnabled(bool enabled) override;
    void message(const std::string &chinese, const std::string &english) override;
    void flushAddressCache() override;
    void probe(const std::string &target) override;
    void info(const QString &text);
    void begin();
    void send(std::shared_ptr<const kyvo::Bytes> bytes, const QString &target);
    void arm();
    // After every event the transfer took: an upgrade that stopped ends.
    void checkEnded();

    ServerCore &m_core;
    const LanguageTable &m_language;
    std::unique_ptr<TargetProber> m_prober;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    FirmwareTransfer m_transfer;
    UpgradeView *m_view = nullptr;
    QString m_lastPath;
    quint16 m_tftpPort = kTftpPort;
    QTimer m_timer;
    bool m_started = false;
    QString m_lastStatus, m_lastMessage;
};

} // namespace pelmar
