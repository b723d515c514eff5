// One device command on many serial servers at once: restart, factory reset,
// one-click configuration or the firmware upgrade, each server with its own
// session, time-outs and texts as the single-server command has them, at
// most N at a time, all on the core's main socket. No widgets.
#pragma once

#include "common/batch_runner.h"
#include "pelmar/core/server_core.h"
#include "pelmar/files/firmware_upgrade.h"
#include "pelmar/model/device_entry.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace pelmar {

class ServerBatch : public QObject
{
    Q_OBJECT
public:
    enum class Operation { Restart, FactoryReset, OneClick, Upgrade };

    struct Options
    {
        std::size_t parallel = kyvo::BatchRunner::kDefaultParallel;
        const kyvo::Clock *clock = nullptr; // the sessions' time; a steady clock when null
        DeviceEntry imported;               // OneClick: the parameter file's settings
        QString firmwarePath;               // Upgrade: the firmware file
        quint16 tftpPort = kTftpPort;
        std::function<std::unique_ptr<TargetProber>()> prober; // the system's prober when empty
    };

    // devices: indexes of the core's table, one row each, in this order.
    ServerBatch(ServerCore &core, Operation operation, std::vector<std::size_t> devices, Options options,
                QObject *parent = nullptr);
    ~ServerBatch() override;

    // The button's caption of the operation, in the table's language.
    static QString operationName(Operation operation, const LanguageTable &language);

    kyvo::BatchRunner &runner() { return m_runner; }
    const kyvo::BatchRunner &runner() const { return m_runner; }
    std::size_t device(std::size_t row) const { return m_devices.at(row).index; }
    Operation operation() const { return m_operation; }

    void run();
    // Begins row's operation reporting to a runner owned elsewhere (the
    // command line's, which decides when each row starts).
    void startRow(std::size_t row, kyvo::BatchRunner &runner);
    // Rows not yet started never start; running ones end on their own.
    void cancel();
    // Runs what is due now in every running row (tests on a manual clock).
    void poll();

Q_SIGNALS:
    void rowChanged(int row);
    void finished();

private:
    class Job;
    class CommandJob;
    class OneClickJob;
    class UpgradeJob;
    struct Device
    {
        std::size_t index;
        MacTail tail; // the server the row was made for, should a new search refill the table
    };
    struct Held
    {
        std::size_t row;
        kyvo::BatchRunner *runner;
    };
    void begin(std::size_t row, kyvo::BatchRunner &runner);
    bool addressBusy(std::size_t row) const;
    void startHeld();
    std::unique_ptr<Job> makeJob(std::size_t row, kyvo::BatchRunner &runner);
    void end(std::size_t row, kyvo::BatchRunner &runner, bool ok, const QString &text);
    void noteFinished();
    void readFirmware();

    ServerCore &m_core;
    Operation m_operation;
    std::vector<Device> m_devices;
    Options m_options;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    std::vector<std::unique_ptr<Job>> m_jobs; // by row; a finished row's job is let go
    std::vector<Held> m_held;                 // started by the runner, waiting for their address to be free
    std::shared_ptr<const kyvo::Bytes> m_firmware; // Upgrade: read once, the same image for every server
    QString m_firmwareFault;                       // Upgrade: why there is none
    kyvo::BatchRunner m_runner;
    bool m_finished = false;
};

} // namespace pelmar
