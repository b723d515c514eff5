// For tests that run inside the lab: the guard that keeps them off the
// machine's own network, and the simulator's control channel.
#pragma once

#include "common/netns.h"
#include "devsim/core/control.h"

#include <gtest/gtest.h>

namespace testsupport {

// Skips the test unless it runs in a private network namespace made by the lab.
#define LAB_ONLY()                                                                                            \
    do {                                                                                                      \
        if (!kyvo::inPrivateNetworkNamespace() || qEnvironmentVariableIsEmpty("LAB_NETNS"))                   \
            GTEST_SKIP() << "runs only inside tools/lab (a private network namespace)";                       \
    } while (0)

inline devsim::ControlClient &labDevsim()
{
    static devsim::ControlClient client;
    static bool connected = client.connectTo(qEnvironmentVariable("LAB_DEVSIM_CONTROL"));
    EXPECT_TRUE(connected) << "no devsim control channel";
    return client;
}

// "get <mac> <path>" as raw bytes.
inline QByteArray labGet(const QString &mac, const QString &path)
{
    const auto lines = labDevsim().command(QStringLiteral("get %1 %2").arg(mac, path));
    return lines && !lines->isEmpty() ? QByteArray::fromHex(lines->first().toLatin1()) : QByteArray();
}

inline long long labCounter(const QString &mac, const QString &name)
{
    const auto lines = labDevsim().command(QStringLiteral("counter %1 %2").arg(mac, name));
    return lines && !lines->isEmpty() ? lines->first().toLongLong() : -1;
}

} // namespace testsupport
