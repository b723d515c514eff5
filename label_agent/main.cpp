// label-agent: label print agent on 127.0.0.1 for the gateway tool.
#include "kyvo_version.h"
#include "label_agent/print_agent_server.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    if (kyvo::answerVersion(argc, argv, "label-agent")) return 0;
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream err(stderr);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        QTextStream(stdout)
            << "usage: label-agent (--device PATH | --queue NAME | --file PATH) [--port N] [--listen 127.0.0.1]\n"
               "Answers the gateway tool's probe on UDP 127.0.0.1:12345 (or --port N) and passes every\n"
               "other datagram unchanged to a printer device file (--device), to a raw print queue\n"
               "through lp -o raw (--queue), or appends it to a file (--file). Listens on loopback only.\n"
               "  --help, --version  this help; the program's version\n";
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
