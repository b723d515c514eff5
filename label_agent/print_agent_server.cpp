// The agent's socket and its three ways to the printer.
#include "label_agent/print_agent_server.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QUdpSocket>

namespace labelagent {

namespace {
const QByteArray kProbe = "test";
const QByteArray kProbeAnswer = "ok";
} // namespace

std::optional<AgentOptions> parseArguments(const QStringList &args, QString *error)
{
    AgentOptions o;
    int sinks = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(a);
            return std::nullopt;
        }
        const QString value = args[++i];
        if (a == QLatin1String("--device") || a == QLatin1String("--queue") || a == QLatin1String("--file")) {
            o.sink.kind = a == QLatin1String("--device")  ? Sink::Kind::Device
                          : a == QLatin1String("--queue") ? Sink::Kind::Queue
                                                          : Sink::Kind::File;
            o.sink.target = value;
            ++sinks;
        } else if (a == QLatin1String("--port")) {
            bool ok = false;
            const uint port = value.toUInt(&ok);
            if (!ok || port == 0 || port > 65535) {
                *error = QStringLiteral("bad port: %1").arg(value);
                return std::nullopt;
            }
            o.port = quint16(port);
        } else if (a == QLatin1String("--listen")) {
            o.listen = QHostAddress(value);
            if (o.listen.isNull()) {
                *error = QStringLiteral("bad address: %1").arg(value);
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("unknown option: %1").arg(a);
            return std::nullopt;
        }
    }
    if (sinks != 1 || o.sink.target.isEmpty()) {
        *error = QStringLiteral("give exactly one of --device PATH, --queue NAME, --file PATH");
        return std::nullopt;
    }
    return o;
}

PrintAgentServer::PrintAgentServer(AgentOptions options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &PrintAgentServer::readDatagrams);
}

PrintAgentServer::~PrintAgentServer()
{
    if (m_job) m_job->waitForFinished(3000);
}

bool PrintAgentServer::start(QString *error)
{
    if (!m_options.listen.isLoopback()) {
        *error = QStringLiteral("refusing to listen on %1: only loopback addresses are allowed")
                     .arg(m_options.listen.toString());
        return false;
    }
    if (!m_socket->bind(m_options.listen, m_options.port)) {
        *error = m_socket->errorString();
        return false;
    }
    return true;
}

quint16 PrintAgentServer::port() const
{
    return m_socket->localPort();
}

void PrintAgentServer::readDatagrams()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket->receiveDatagram();
        if (!d.isValid()) continue;
        // Only programs on this PC talk to the agent.
        if (!d.senderAddress().isLoopback()) continue;
        if (d.data() == kProbe) {
            m_socket->writeDatagram(kProbeAnswer, d.senderAddress(), quint16(d.senderPort()));
            continue;
        }
        pass(d.data());
    }
}

void PrintAgentServer::pass(const QByteArray &datagram)
{
    switch (m_options.sink.kind) {
    case Sink::Kind::File:
        appendTo(m_options.sink.target, datagram, false);
        break;
    case Sink::Kind::Device:
        appendTo(m_options.sink.target, datagram, true);
        break;
    case Sink::Kind::Queue:
        if (m_jobs.size() >= kMaxWaitingJobs) {
            Q_EMIT sinkFailed(QStringLiteral("lp: %1 jobs waiting, datagram dropped").arg(m_jobs.size()));
            break;
        }
        m_jobs.push_back(datagram);
        if (!m_job) startNextJob();
        break;
    }
}

void PrintAgentServer::appendTo(const QString &path, const QByteArray &datagram, bool existingOnly)
{
    QFile f(path);
    // A missing printer device is an error, never a new plain file.
    auto mode = QIODevice::WriteOnly | QIODevice::Unbuffered | QIODevice::Append;
    if (existingOnly) mode |= QIODevice::ExistingOnly;
    if (!f.open(mode) || f.write(datagram) != datagram.size()) {
        Q_EMIT sinkFailed(QStringLiteral("%1: %2").arg(path, f.errorString()));
        return;
    }
    Q_EMIT passed(datagram.size());
}

void PrintAgentServer::startNextJob()
{
    if (m_jobs.empty()) return;
    const QByteArray data = m_jobs.front();
    m_jobs.pop_front();
    m_job = new QProcess(this);
    connect(m_job, &QProcess::finished, this,
            [this, size = data.size()](int code, QProcess::ExitStatus status) {
                if (status == QProcess::NormalExit && code == 0)
                    Q_EMIT passed(size);
                else
                    Q_EMIT sinkFailed(
                        QStringLiteral("lp: %1").arg(QString::fromLocal8Bit(m_job->readAllStandardError())));
                m_job->deleteLater();
                m_job = nullptr;
                startNextJob();
            });
    connect(m_job, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        Q_EMIT sinkFailed(QStringLiteral("lp: %1").arg(m_job->errorString()));
        m_job->deleteLater();
        m_job = nullptr;
        startNextJob();
    });
    m_job->start(QStringLiteral("lp"),
                 {QStringLiteral("-d"), m_options.sink.target, QStringLiteral("-o"), QStringLiteral("raw")});
    m_job->write(data);
    m_job->closeWriteChannel();
}

} // namespace labelagent
