// One request, one reply, on the sub-dialog socket.
#include "pelmar/link/tlv_exchange.h"

#include "pelmar/link/tlv_frame.h"

#include <QHostAddress>
#include <QNetworkDatagram>

namespace pelmar {

TlvExchange::TlvExchange(const QString &bindAddress, Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_socket(this), m_timer(this)
{
    const QHostAddress address =
        bindAddress.isEmpty() ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(bindAddress);
    m_socket.bind(address, m_options.localPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { finish({}); });
    connect(&m_socket, &QUdpSocket::readyRead, this, &TlvExchange::onReadyRead);
}

bool TlvExchange::exchangeTlv(const kyvo::Bytes &frame, int maxBytes, int timeoutMs)
{
    if (busy()) return false;
    // A late reply of an earlier exchange is not this one's answer.
    while (m_socket.hasPendingDatagrams())
        m_socket.receiveDatagram(0);
    m_maxBytes = std::max(0, maxBytes);
    m_timer.start(timeoutMs >= 0 ? timeoutMs : m_options.timeoutMs);
    m_socket.writeDatagram(reinterpret_cast<const char *>(frame.data()), qint64(frame.size()),
                           QHostAddress(m_options.destination), m_options.destinationPort);
    return true;
}

void TlvExchange::acceptOnlyFrom(const QHostAddress &device, const std::array<std::uint8_t, 6> &mac)
{
    setFilter([device, mac](const QHostAddress &from, const QByteArray &data) {
        if (!device.isNull() && !from.isEqual(device, QHostAddress::TolerantConversion)) return false;
        return replyIsFrom(ByteView(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size())),
                           mac);
    });
}

void TlvExchange::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket.receiveDatagram();
        if (!busy()) continue;
        if (d.data().isEmpty()) continue;
        if (m_filter && !m_filter(d.senderAddress(), d.data())) continue;
        finish(d.data().left(m_maxBytes));
    }
}

void TlvExchange::finish(const QByteArray &reply)
{
    m_timer.stop();
    Q_EMIT finished(reply);
}

} // namespace pelmar
