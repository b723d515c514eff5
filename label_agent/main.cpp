// label-agent: label print agent on 127.0.0.1 for the gateway tool.
#include "label_agent/print_agent_server.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream err(stderr);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        QTextStream(stdout) << "usage: label-agent (--device PATH | --queue NAME | --file PATH) [--port N] "
                               "[--listen 127.0.0.1]\n";
        return 0;
    }
    QString error;
    const auto options = labelagent::parseArguments(args, &error);
    if (!options) {
        err << "label-agent: " << error << "\n";
        return 2;
    }
    labelagent::PrintAgentServer server(*options);
    if (!server.start(&error)) {
        err << "label-agent: " << error << "\n";
        return 1;
    }
    QObject::connect(&server, &labelagent::PrintAgentServer::sinkFailed, [&err](const QString &reason) {
        err << "label-agent: " << reason << "\n";
        err.flush();
    });
    std::printf("label-agent ready on %s:%u\n", qPrintable(options->listen.toString()),
                unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
