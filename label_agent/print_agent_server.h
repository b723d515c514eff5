// The label print agent: answers the tool's "test" probe on a loopback UDP
// port and passes every other datagram, unchanged, to the printer.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>

class QProcess;
class QUdpSocket;

namespace labelagent {

// Where the datagrams go.
struct Sink
{
    enum class Kind { Device, Queue, File };
    Kind kind = Kind::File;
    QString target; // device path, queue name or file path
};

struct AgentOptions
{
    QHostAddress listen{QHostAddress::LocalHost};
    quint16 port = 12345;
    Sink sink;
};

// Parses the command line (without the program name); the reason when it is refused.
std::optional<AgentOptions> parseArguments(const QStringList &args, QString *error);

class PrintAgentServer : public QObject
{
    Q_OBJECT
public:
    // Print jobs waiting for lp; a datagram beyond them is dropped and reported.
    static constexpr std::size_t kMaxWaitingJobs = 256;

    explicit PrintAgentServer(AgentOptions options, QObject *parent = nullptr);
    ~PrintAgentServer() override;

    // Refuses any address but loopback.
    bool start(QString *error);
    quint16 port() const;

Q_SIGNALS:
    void passed(qint64 bytes);
    void sinkFailed(const QString &reason);

private:
    void readDatagrams();
    void pass(const QByteArray &datagram);
    void appendTo(const QString &path, const QByteArray &datagram, bool existingOnly);
    void startNextJob();

    AgentOptions m_options;
    QUdpSocket *m_socket;
    // Print-queue jobs run one after another, so the printer gets them in order.
    std::deque<QByteArray> m_jobs;
    QProcess *m_job = nullptr;
};

} // namespace labelagent
