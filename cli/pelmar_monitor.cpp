// pelmar-cli monitor: the serial servers' debug text, one line per datagram
// as the debug view lists it, until interrupted.
#include "cli/pelmar_monitor.h"

#include "cli/monitor_loop.h"
#include "common/debug_receiver.h"
#include "pelmar/advanced/debug_view/debug_view_text.h"

#include <QCoreApplication>

#include <cstdio>

namespace cli {

int runPelmarMonitor(const Arguments &args, const QString &help)
{
    kyvo::DebugReceiver::Options options;
    options.maxDatagram = pelmar::kDebugViewMaxDatagram;
    if (args.has(QStringLiteral("port"))) {
        const auto port = parsePort(args.value(QStringLiteral("port")));
        if (!port) return usage(QStringLiteral("pelmar-cli: bad --port"), help);
        options.port = *port;
    }
    kyvo::DebugReceiver receiver(options);
    bool failed = false;
    QObject::connect(&receiver, &kyvo::DebugReceiver::bindFailed, [&](const QString &reason) {
        err(QStringLiteral("pelmar-cli: ") + kyvo::portTakenText(options.port, true) + QStringLiteral(" (") +
            reason + QLatin1Char(')'));
        failed = true;
        QCoreApplication::quit();
    });
    QObject::connect(&receiver, &kyvo::DebugReceiver::listening,
                     [](quint16 port) { err(QStringLiteral("listening on UDP port %1").arg(port)); });
    QObject::connect(&receiver, &kyvo::DebugReceiver::datagramsArrived,
                     [](const QList<kyvo::DebugDatagram> &b) {
                         for (const kyvo::DebugDatagram &d : b)
                             out(pelmar::debugViewRowText(d.arrivalMs, d.data));
                         std::fflush(stdout);
                     });
    receiver.start();
    runUntilInterrupted();
    if (failed) return kFailed;
    err(QStringLiteral("%1 datagrams received").arg(receiver.receivedCount()));
    return kOk;
}

} // namespace cli
