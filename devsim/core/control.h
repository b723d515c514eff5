// The simulator's control channel: a local socket (a path in the file
// system, reachable from any network namespace) that tests and the demo use
// to inspect devices and set their knobs.
//
// One command per line; every answer ends with a line "ok" or "err <why>":
//   list                            kind, address and MAC of every device
//   get <mac> <path>                a device value as hex (gateways: item "1A",
//                                   serial "40.01", channel "41.0.31"; serial
//                                   servers: "ip", "mask", "user", "apssid", ...
//                                   or "port<N>.<name>" such as "port2.host",
//                                   numbers big-endian; "reply-length";
//                                   names in devsim/serial/server_layouts.cpp)
//   set <mac> <path> <hex>          replaces a device value
//   knob <mac|*> <name> <value>     silent, delay, jitter, gap, drop, drop-every,
//                                   duplicate, corrupt, broadcast, refuse, or a
//                                   family knob
//   counter <mac> <name>            searches, writes, saves, restarts, resets, ...
//                                   (serial servers also reads, record-writes,
//                                   commits, upgrades, refused, bad-frames)
//   stats                           datagrams and bytes sent
#pragma once

#include "devsim/core/sim_network.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace devsim {

class ControlServer : public QObject
{
    Q_OBJECT
public:
    ControlServer(SimNetwork &network, QObject *parent = nullptr);
    bool listen(const QString &path, QString *error = nullptr);
    // One command line in, the answer lines out (for the server and for tests).
    QStringList execute(const QString &line);

private:
    void onConnection();
    SimNetwork &m_network;
    QLocalServer m_server;
};

// A blocking client for tests and scripts.
class ControlClient
{
public:
    bool connectTo(const QString &path, int timeoutMs = 5000);
    // The answer lines without the final "ok"; nothing on "err" or time-out.
    std::optional<QStringList> command(const QString &line, int timeoutMs = 5000);

private:
    QLocalSocket m_socket;
};

} // namespace devsim
