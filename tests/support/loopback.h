// Loopback helpers for integration tests outside the lab: free ports and
// simulated devices on 127.0.0.x.
#pragma once

#include <QHostAddress>
#include <QUdpSocket>

namespace testsupport {

// A UDP port that is free on 127.0.0.1 at the moment of asking.
inline quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.localPort();
}

inline std::uint32_t loopback(int last) { return 0x7F000000u | std::uint32_t(last); }

} // namespace testsupport
