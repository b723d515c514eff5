// The parameter image's own socket: bound to the PC's image port (6111), it
// takes datagrams only from the device's address into the transfer, and the
// backup file is written whole from what arrived.
#pragma once

#include "vorlet/maintenance/maintenance_timers.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>

namespace vorlet {

inline constexpr quint16 kImagePort = 6111;
inline constexpr char kBackupFileName[] = "hx-bk-cfg.bin";

class ImageReceiver : public QObject
{
    Q_OBJECT
public:
    ImageReceiver(const kyvo::Clock &clock, QObject *parent = nullptr);

    // Binds the port (address reuse) on bindAddress, any address when null;
    // false when it cannot be bound. Datagrams from other senders than
    // `device` are ignored.
    bool open(quint16 port, const QHostAddress &bindAddress, const QHostAddress &device);
    // Ends a transfer without a result.
    void close();
    // Starts the transfer's quiet time; call after open and before the request leaves.
    void start();
    bool running() const { return m_fetch.running(); }
    // True when the transfer ended at this run (the socket is closed then).
    bool run();
    std::optional<kyvo::Millis> nextDeadline() const { return m_fetch.nextDeadline(); }
    const ImageCollector &collected() const { return m_fetch.collected(); }

Q_SIGNALS:
    void datagramTaken();

private:
    void read();

    const kyvo::Clock &m_clock;
    QUdpSocket m_socket;
    QHostAddress m_device;
    ImageFetch m_fetch;
};

enum class BackupWrite { Written, NothingReceived, CannotWrite };
// Replaces the file whole with the image, and only when a block arrived.
BackupWrite writeBackup(const QString &path, const ImageCollector &image);

} // namespace vorlet
