// Control channel of the simulator.
#include "devsim/core/control.h"

#include "common/ipv4.h"

#include <QFile>

namespace devsim {

ControlServer::ControlServer(SimNetwork &network, QObject *parent) : QObject(parent), m_network(network), m_server(this)
{
    connect(&m_server, &QLocalServer::newConnection, this, &ControlServer::onConnection);
}

bool ControlServer::listen(const QString &path, QString *error)
{
    QLocalServer::removeServer(path);
    if (m_server.listen(path)) return true;
    if (error) *error = m_server.errorString();
    return false;
}

void ControlServer::onConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString line = QString::fromUtf8(socket->readLine()).trimmed();
                for (const QString &answer : execute(line)) socket->write(answer.toUtf8() + '\n');
            }
        });
    }
}

QStringList ControlServer::execute(const QString &line)
{
    const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (w.isEmpty()) return {QStringLiteral("err empty")};
    const auto device = [&](const QString &macText) -> SimDevice * {
        const auto mac = parseMac(macText);
        return mac ? m_network.findByMac(*mac) : nullptr;
    };
    const QString &verb = w[0];
    if (verb == QLatin1String("list")) {
        QStringList out;
        for (std::size_t i = 0; i < m_network.size(); ++i) {
            SimDevice &d = m_network.device(i);
            out << QStringLiteral("%1 %2 %3").arg(d.kind(), QString::fromStdString(kyvo::ipv4Text(d.address())), macText(d.mac()));
        }
        out << QStringLiteral("ok");
        return out;
    }
    if (verb == QLatin1String("stats"))
        return {QStringLiteral("datagrams %1 bytes %2").arg(m_network.datagramsSent()).arg(m_network.bytesSent()),
                QStringLiteral("ok")};
    if (verb == QLatin1String("get") && w.size() == 3) {
        SimDevice *d = device(w[1]);
        if (!d) return {QStringLiteral("err no such device")};
        const auto value = d->query(w[2]);
        if (!value) return {QStringLiteral("err no such value")};
        return {QString::fromLatin1(value->toHex()), QStringLiteral("ok")};
    }
    if (verb == QLatin1String("set") && (w.size() == 4 || w.size() == 3)) {
        SimDevice *d = device(w[1]);
        if (!d) return {QStringLiteral("err no such device")};
        const QByteArray value = w.size() == 4 ? QByteArray::fromHex(w[3].toLatin1()) : QByteArray();
        return {d->assign(w[2], value) ? QStringLiteral("ok") : QStringLiteral("err no such value")};
    }
    if (verb == QLatin1String("knob") && w.size() == 4) {
        std::vector<SimDevice *> targets;
        if (w[1] == QLatin1String("*"))
            for (std::size_t i = 0; i < m_network.size(); ++i) targets.push_back(&m_network.device(i));
        else if (SimDevice *d = device(w[1]))
            targets.push_back(d);
        if (targets.empty()) return {QStringLiteral("err no such device")};
        for (SimDevice *d : targets)
            if (!d->knobs.set(w[2], w[3])) return {QStringLiteral("err bad knob value")};
        return {QStringLiteral("ok")};
    }
    if (verb == QLatin1String("counter") && w.size() == 3) {
        SimDevice *d = device(w[1]);
        if (!d) return {QStringLiteral("err no such device")};
        const auto it = d->counters.find(w[2]);
        return {QString::number(it == d->counters.end() ? 0 : it->second), QStringLiteral("ok")};
    }
    return {QStringLiteral("err unknown command")};
}

bool ControlClient::connectTo(const QString &path, int timeoutMs)
{
    m_socket.connectToServer(path);
    return m_socket.waitForConnected(timeoutMs);
}

std::optional<QStringList> ControlClient::command(const QString &line, int timeoutMs)
{
    m_socket.write(line.toUtf8() + '\n');
    m_socket.flush();
    QStringList lines;
    while (true) {
        while (!m_socket.canReadLine())
            if (!m_socket.waitForReadyRead(timeoutMs)) return std::nullopt;
        const QString answer = QString::fromUtf8(m_socket.readLine()).trimmed();
        if (answer == QLatin1String("ok")) return lines;
        if (answer.startsWith(QLatin1String("err"))) return std::nullopt;
        lines << answer;
    }
}

} // namespace devsim
