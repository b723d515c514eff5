// One device operation over many gateways, at most N at a time: each device
// keeps the single-device operation's session, time-outs and texts, and a
// failure on one never stops the others. No widgets: the window and
// vorlet-cli both drive it.
#pragma once

#include "common/batch_runner.h"
#include "vorlet/ui/device_operation.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

namespace vorlet {

class Language;

class GatewayBatch : public QObject
{
    Q_OBJECT
public:
    enum class Operation { Restart, FactoryReset, DeepFactoryReset, QuickSet, Upgrade };

    struct Options
    {
        std::size_t parallel = kyvo::BatchRunner::kDefaultParallel;
        const kyvo::Clock *clock = nullptr;           // the operations' clock; a steady clock when null
        const Language *language = nullptr;           // the texts in Chinese when null
        QByteArray configFile;                        // QuickSet: the file, read and accepted by the caller
        std::shared_ptr<const FirmwareFile> firmware; // Upgrade: the image, loaded and checked
        bool factoryReset = false;                    // Upgrade: reset to the factory settings afterwards
        QString localAddress;                         // Upgrade: the adapter its sockets use; empty for any
    };

    // rows: indexes into the core's device list. Each device's record is
    // copied now, so a new search while the batch runs changes nothing of it.
    GatewayBatch(GatewayCore &core, Operation operation, const std::vector<std::size_t> &rows,
                 Options options, QObject *parent = nullptr);
    ~GatewayBatch() override;

    kyvo::BatchRunner &runner() { return m_runner; }
    const kyvo::BatchRunner &runner() const { return m_runner; }
    const ParameterRecord &record(std::size_t row) const { return *m_records.at(row); }
    Operation operation() const { return m_operation; }

    void start();
    // Nothing more starts; running operations end on their own.
    void cancel();
    // Whether a running operation of this batch waits for this device's answers.
    bool owns(const Mac &mac) const;
    // Runs what is due on every running operation (tests on a manual clock).
    void poll();
    // Begins a row's operation, reporting to another runner than the batch's
    // own (vorlet-cli's, which prints each outcome); start() is not called then.
    void startRow(std::size_t row, kyvo::BatchRunner &runner);
    // The running operation of a row, or null (tests).
    DeviceOperation *operationOf(std::size_t row) const;

    // The operation's name as the command's button or menu item shows it.
    static QString operationName(Operation operation, const Language *language);

Q_SIGNALS:
    void rowChanged(int row);
    void finished();

private:
    std::unique_ptr<DeviceOperation> makeOperation(std::size_t row, QString *refusal);
    QString text(int dialog, const char *chinese) const;
    void signalIfFinished();

    GatewayCore &m_core;
    Operation m_operation;
    Options m_options;
    std::vector<std::unique_ptr<ParameterRecord>> m_records;
    std::vector<QPointer<DeviceOperation>> m_running; // by row
    kyvo::BatchRunner m_runner;
    bool m_finishedSignalled = false;
};

} // namespace vorlet
