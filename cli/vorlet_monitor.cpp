// vorlet-cli monitor: the gateways' debug output as log lines on standard
// output and in the monitor's log files, until interrupted.
#include "cli/vorlet_monitor.h"

#include "cli/monitor_loop.h"
#include "common/debug_receiver.h"
#include "common/ipv4.h"
#include "vorlet/io/monitor/debug_monitor.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

const char *const kChannelNames[] = {"uart", "tcpA", "tcpB", "modbus-cache", "modbus-poll", "io", "other"};

std::optional<vorlet::LogMode> logMode(const QString &text)
{
    if (text.isEmpty() || text == QLatin1String("day")) return vorlet::LogMode::Daily;
    if (text == QLatin1String("hour")) return vorlet::LogMode::Hourly;
    if (text == QLatin1String("one")) return vorlet::LogMode::OneFile;
    return std::nullopt;
}

} // namespace

int runVorletMonitor(const Arguments &args, const QString &help)
{
    kyvo::DebugReceiver::Options options;
    if (args.has(QStringLiteral("port"))) {
        const auto port = parsePort(args.value(QStringLiteral("port")));
        if (!port) return usage(QStringLiteral("vorlet-cli: bad --port"), help);
        options.port = *port;
    }
    vorlet::DebugMonitor monitor;
    const auto mode = logMode(args.value(QStringLiteral("log-mode")));
    if (!mode) return usage(QStringLiteral("vorlet-cli: --log-mode takes one, hour or day"), help);
    const QString folder = args.value(QStringLiteral("log-dir"));
    if (args.has(QStringLiteral("log-dir")) && folder.size() <= 2)
        return usage(QStringLiteral("vorlet-cli: --log-dir needs a folder path longer than 2 characters"),
                     help);
    monitor.log().setSettings({!folder.isEmpty(), folder, *mode});
    const QString device = args.value(QStringLiteral("device"));
    if (!device.isEmpty()) {
        const auto address = kyvo::parseIpv4(device.toStdString());
        if (!address) return usage(QStringLiteral("vorlet-cli: --device takes an IPv4 address"), help);
        monitor.filter.gateway = monitor.gateways().number(*address);
    }
    const QStringList channels = args.values(QStringLiteral("channel"));
    if (!channels.isEmpty()) {
        monitor.filter.channels.fill(false);
        for (const QString &name : channels) {
            const auto *it = std::find_if(std::begin(kChannelNames), std::end(kChannelNames),
                                          [&](const char *n) { return name == QLatin1String(n); });
            if (it == std::end(kChannelNames))
                return usage(QStringLiteral("vorlet-cli: --channel takes uart, tcpA, tcpB, modbus-cache, "
                                            "modbus-poll, io or other"),
                             help);
            monitor.filter.channels[std::size_t(it - std::begin(kChannelNames))] = true;
        }
    }
    monitor.setLineSink([](const std::string &line) {
        // The line as the log file holds it, with the terminal's line end.
        std::fwrite(line.data(), 1, line.size() - 2, stdout);
        std::fputc('\n', stdout);
    });

    kyvo::DebugReceiver receiver(options);
    bool failed = false;
    QObject::connect(&receiver, &kyvo::DebugReceiver::bindFailed, [&](const QString &reason) {
        err(QStringLiteral("vorlet-cli: ") + kyvo::portTakenText(options.port, true) + QStringLiteral(" (") +
            reason + QLatin1Char(')'));
        failed = true;
        QCoreApplication::quit();
    });
    QObject::connect(&receiver, &kyvo::DebugReceiver::listening,
                     [](quint16 port) { err(QStringLiteral("listening on UDP port %1").arg(port)); });
    QString lastFailure;
    QObject::connect(&receiver, &kyvo::DebugReceiver::datagramsArrived,
                     [&](const QList<kyvo::DebugDatagram> &b) {
                         monitor.accept(b);
                         std::fflush(stdout);
                         const QString failure = monitor.log().failedPath();
                         if (failure != lastFailure && !failure.isEmpty())
                             err(QStringLiteral("vorlet-cli: cannot write ") + failure);
                         lastFailure = failure;
                     });
    receiver.start();
    runUntilInterrupted();
    if (failed) return kFailed;
    err(QStringLiteral("%1 datagrams received, %2 shown, %3 logged, %4 not logged")
            .arg(receiver.receivedCount())
            .arg(monitor.rowsShown())
            .arg(monitor.log().linesWritten())
            .arg(monitor.log().linesLost()));
    return kOk;
}

} // namespace cli
