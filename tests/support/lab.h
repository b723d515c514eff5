// For tests that run inside the lab: the guard that keeps them off the
// machine's own network, and the simulator's control channel.
#pragma once

#include "common/netns.h"
#include "devsim/core/control.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace testsupport {

// Skips the test unless it runs in a private network namespace made by the lab.
#define LAB_ONLY()                                                                                           \
    do {                                                                                                     \
        if (!kyvo::inPrivateNetworkNamespace() || qEnvironmentVariableIsEmpty("LAB_NETNS"))                  \
            GTEST_SKIP() << "runs only inside tools/lab (a private network namespace)";                      \
    } while (0)

// For test programs that broadcast outside any test: exits with 77 (skipped)
// unless the program runs in a namespace of the lab. Use it to initialise a
// global, so it runs before main.
inline bool exitUnlessInLab(const char *program)
{
    if (kyvo::inPrivateNetworkNamespace() && !qEnvironmentVariableIsEmpty("LAB_NETNS")) return true;
    std::fprintf(stderr, "%s: runs only inside tools/lab (a private network namespace)\n", program);
    std::_Exit(77);
}

inline devsim::ControlClient &labDevsim()
{
    static devsim::ControlClient client;
    static bool connected = client.connectTo(qEnvironmentVariable("LAB_DEVSIM_CONTROL"));
    EXPECT_TRUE(connected) << "no devsim control channel";
    return client;
}

// The devsim of the lab's second subnet (tools/lab run --second).
inline devsim::ControlClient &labDevsim2()
{
    static devsim::ControlClient client;
    static bool connected = client.connectTo(qEnvironmentVariable("LAB_DEVSIM2_CONTROL"));
    EXPECT_TRUE(connected) << "no control channel of a second devsim";
    return client;
}

// "get <mac> <path>" as raw bytes.
inline QByteArray labGet(const QString &mac, const QString &path)
{
    const auto lines = labDevsim().command(QStringLiteral("get %1 %2").arg(mac, path));
    return lines && !lines->isEmpty() ? QByteArray::fromHex(lines->first().toLatin1()) : QByteArray();
}

inline long long labCounter(const QString &mac, const QString &name, devsim::ControlClient &sim = labDevsim())
{
    const auto lines = sim.command(QStringLiteral("counter %1 %2").arg(mac, name));
    return lines && !lines->isEmpty() ? lines->first().toLongLong() : -1;
}

// The simulator's devices as "list" gives them ("gateway-1 10.77.1.1
// 00-4B-59-4D-01-01"), in its order; with a prefix only the kinds that begin with it.
struct LabDevice
{
    QString kind, address, mac;
};
inline std::vector<LabDevice> labDevices(const QString &kindPrefix = {},
                                         devsim::ControlClient &sim = labDevsim())
{
    std::vector<LabDevice> out;
    const auto lines = sim.command(QStringLiteral("list"));
    if (!lines) return out;
    for (const QString &l : *lines) {
        const QStringList w = l.split(QLatin1Char(' '));
        if (w.size() == 3 && w[0].startsWith(kindPrefix)) out.push_back({w[0], w[1], w[2]});
    }
    return out;
}

} // namespace testsupport
