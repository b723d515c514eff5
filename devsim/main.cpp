// devsim: simulated gateways and serial servers for tests, benchmarks and the demo.
#include "kyvo_version.h"
#include "common/ipv4.h"
#include "common/netns.h"
#include "devsim/core/control.h"
#include "devsim/core/debug_stream.h"
#include "devsim/core/device_specs.h"
#include "devsim/serial/server_sim.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace devsim;

int main(int argc, char **argv)
{
    if (kyvo::answerVersion(argc, argv, "devsim")) return 0;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("devsim"));
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Simulated gateways and serial device servers."));
    cli.addHelpOption();
    const QCommandLineOption lab(QStringLiteral("lab"),
                                 QStringLiteral("Listen on every address (only inside a private network namespace)."));
    const QCommandLineOption base(QStringLiteral("base"), QStringLiteral("Address of the first device."),
                                  QStringLiteral("address"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Outside the lab: the port that stands for the devices' port 1111."),
                                  QStringLiteral("port"));
    const QCommandLineOption map(QStringLiteral("map"),
                                 QStringLiteral("Outside the lab: DEVICE=LOCAL, the port that stands for another of "
                                                "the devices' ports, such as 69=6069 for the firmware upload."),
                                 QStringLiteral("device=local"));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Aggregate send rate, bit/s (0 unlimited)."),
                                  QStringLiteral("bits"), QStringLiteral("100000000"));
    const QCommandLineOption control(QStringLiteral("control"), QStringLiteral("Path of the control socket."),
                                     QStringLiteral("path"));
    const QCommandLineOption gateway(QStringLiteral("gateway"),
                                     QStringLiteral("Gateways: N, or count=N,can,wifi,io,poll=N,name=TEXT,fragment=N."),
                                     QStringLiteral("spec"));
    const QCommandLineOption serverSpec(
        QStringLiteral("server"),
        QStringLiteral("Serial servers: count=N,family=short|wifi362|wifi292|multi1284|multi2326|native|all|mix,"
                       "ports=N,register=0|1,cloud2=0|1,kind=N,firmware=TEXT,hardware=TEXT."),
        QStringLiteral("spec"));
    const QCommandLineOption knob(QStringLiteral("knob"), QStringLiteral("A fault knob for every device: name=value."),
                                  QStringLiteral("knob"));
    const QCommandLineOption answerBroadcast(QStringLiteral("answer-broadcast"),
                                             QStringLiteral("Where answers by broadcast go (lab: its subnet's broadcast)."),
                                             QStringLiteral("address"), QStringLiteral("255.255.255.255"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed."), QStringLiteral("n"),
                                  QStringLiteral("1"));
    cli.addOptions({lab, base, port, map, rate, control, gateway, serverSpec, knob, answerBroadcast, seed});
    cli.process(app);

    SimNetwork::Options options;
    options.bindAny = cli.isSet(lab);
    options.rateBitsPerSecond = cli.value(rate).toDouble();
    options.seed = cli.value(seed).toUInt();
    if (options.bindAny && !kyvo::inPrivateNetworkNamespace()) {
        std::fprintf(stderr, "devsim: --lab needs a private network namespace (run it through tools/lab)\n");
        return 3;
    }
    if (const auto a = kyvo::parseIpv4(cli.value(answerBroadcast).toStdString())) options.answerBroadcast = *a;
    if (cli.isSet(port)) options.portMap[1111] = std::uint16_t(cli.value(port).toUInt());
    for (const QString &m : cli.values(map)) {
        bool deviceOk = false, localOk = false;
        const uint device = m.section(QLatin1Char('='), 0, 0).toUInt(&deviceOk);
        const uint local = m.section(QLatin1Char('='), 1).toUInt(&localOk);
        if (!deviceOk || !localOk || device == 0 || device > 65535 || local == 0 || local > 65535) {
            std::fprintf(stderr, "devsim: bad --map %s (DEVICE=LOCAL)\n", qPrintable(m));
            return 2;
        }
        options.portMap[std::uint16_t(device)] = std::uint16_t(local);
    }

    const QString firstText = cli.isSet(base) ? cli.value(base)
                                              : (options.bindAny ? QStringLiteral("10.77.1.1") : QStringLiteral("127.0.0.2"));
    const auto first = kyvo::parseIpv4(firstText.toStdString());
    if (!first) {
        std::fprintf(stderr, "devsim: bad --base address\n");
        return 2;
    }
    if (!options.bindAny && (*first >> 24) != 127) {
        std::fprintf(stderr, "devsim: outside the lab devices live on loopback addresses (127.x.x.x) only\n");
        return 2;
    }

    SimNetwork network(options);
    std::uint32_t next = *first;
    for (const QString &spec : cli.values(gateway)) {
        QString error;
        if (!addGateways(network, spec, next, &error)) {
            std::fprintf(stderr, "devsim: %s\n", qPrintable(error));
            return 2;
        }
    }
    for (const QString &spec : cli.values(serverSpec)) {
        QString error;
        if (!addServers(network, spec, next, &error)) {
            std::fprintf(stderr, "devsim: %s\n", qPrintable(error));
            return 2;
        }
    }
    for (const QString &k : cli.values(knob)) {
        for (std::size_t i = 0; i < network.size(); ++i)
            if (!network.device(i).knobs.set(k.section(QLatin1Char('='), 0, 0), k.section(QLatin1Char('='), 1))) {
                std::fprintf(stderr, "devsim: bad knob %s\n", qPrintable(k));
                return 2;
            }
    }
    QString error;
    if (!network.start(&error)) {
        std::fprintf(stderr, "devsim: %s\n", qPrintable(error));
        return 1;
    }
    DebugStream debugOutput(network);
    ControlServer server(network);
    if (cli.isSet(control) && !server.listen(cli.value(control), &error)) {
        std::fprintf(stderr, "devsim: control socket: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("devsim ready: %zu devices\n", network.size());
    std::fflush(stdout);
    return app.exec();
}
