// Parameter image socket and backup file.
#include "vorlet/maintenance/image_receiver.h"

#include "common/whole_file.h"

#include <QNetworkDatagram>

namespace vorlet {

ImageReceiver::ImageReceiver(const kyvo::Clock &clock, QObject *parent)
    : QObject(parent), m_clock(clock), m_socket(this)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &ImageReceiver::read);
}

bool ImageReceiver::open(quint16 port, const QHostAddress &bindAddress, const QHostAddress &device)
{
    close();
    m_device = device;
    const QHostAddress at = bindAddress.isNull() ? QHostAddress(QHostAddress::AnyIPv4) : bindAddress;
    return m_socket.bind(at, port, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
}

void ImageReceiver::close()
{
    m_fetch.stop();
    m_socket.close();
}

void ImageReceiver::start()
{
    m_fetch.start(m_clock.now());
}

bool ImageReceiver::run()
{
    read(); // what is queued belongs to the transfer before its time runs out
    if (!m_fetch.run(m_clock.now())) return false;
    m_socket.close();
    return true;
}

void ImageReceiver::read()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket.receiveDatagram(ImageCollector::kDatagramSize + 1);
        if (!m_fetch.running() || !d.isValid() ||
            d.senderAddress().toIPv4Address() != m_device.toIPv4Address())
            continue;
        const QByteArray data = d.data();
        m_fetch.datagram(
            ByteView(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size())),
            m_clock.now());
        Q_EMIT datagramTaken();
    }
}

BackupWrite writeBackup(const QString &path, const ImageCollector &image)
{
    if (image.blocksKept() == 0) return BackupWrite::NothingReceived;
    const Bytes bytes = image.image();
    return kyvo::writeWholeFile(path, QByteArrayView(bytes.data(), qsizetype(bytes.size())))
               ? BackupWrite::Written
               : BackupWrite::CannotWrite;
}

} // namespace vorlet
