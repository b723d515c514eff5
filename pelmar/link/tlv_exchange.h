// The sub-dialogs' exchange of one TlvFrame: their own socket on local port
// 8888, one request to the broadcast address, and up to 3 s for one reply,
// without blocking the thread that asks.
#pragma once

#include "common/bytes.h"

#include <array>
#include <functional>

#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

namespace pelmar {

class TlvExchange : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString destination = QStringLiteral("255.255.255.255");
        quint16 destinationPort = 1111;
        quint16 localPort = 8888; // 0: any free port (tests)
        int timeoutMs = 3000;
    };

    // Binds to the adapter address chosen in the main window, or to all
    // addresses when it is empty.
    explicit TlvExchange(const QString &bindAddress, QObject *parent = nullptr)
        : TlvExchange(bindAddress, Options{}, parent)
    {}
    TlvExchange(const QString &bindAddress, Options options, QObject *parent = nullptr);

    bool isBound() const { return m_socket.state() == QAbstractSocket::BoundState; }
    quint16 localPort() const { return m_socket.localPort(); }
    bool busy() const { return m_timer.isActive(); }

    // Sends the frame; finished() follows once, with the first datagram that
    // arrives (at most maxBytes of it), or empty when nothing came within the
    // time-out. False, and nothing sent, while an exchange is under way.
    // timeoutMs: this exchange's wait; the options' when negative.
    bool exchangeTlv(const kyvo::Bytes &frame, int maxBytes, int timeoutMs = -1);

    // Datagrams the filter refuses (another device's, for example) are
    // dropped and the exchange keeps waiting. Every datagram counts when unset.
    using Filter = std::function<bool(const QHostAddress &from, const QByteArray &data)>;
    void setFilter(Filter filter) { m_filter = std::move(filter); }
    // The filter of one device: replies from its address (any when null)
    // that carry its MAC (replyIsFrom).
    void acceptOnlyFrom(const QHostAddress &device, const std::array<std::uint8_t, 6> &mac);

Q_SIGNALS:
    void finished(const QByteArray &reply);

private:
    void onReadyRead();
    void finish(const QByteArray &reply);

    Options m_options;
    QUdpSocket m_socket;
    QTimer m_timer;
    int m_maxBytes = 0;
    Filter m_filter;
};

} // namespace pelmar
