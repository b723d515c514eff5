// A cloud enrolment server on loopback for the tests: it keeps each request
// and answers "ok", "ko", garbage, or nothing at all.
#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace testsupport {

class FakeEnrolmentServer : public QObject
{
public:
    enum class Answer { Ok, Ko, Garbage, Nothing };

    explicit FakeEnrolmentServer(Answer answer) : m_answer(answer)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    requests += s->readAll();
                    if (requests.size() < 13 || m_answer == Answer::Nothing) return;
                    s->write(m_answer == Answer::Ok ? "ok" : m_answer == Answer::Ko ? "ko" : "\x01?!");
                    s->flush();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }

    QByteArray requests; // every byte received, in order

private:
    Answer m_answer;
    QTcpServer m_server;
};

} // namespace testsupport
