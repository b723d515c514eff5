// What the lab benchmarks share: the number of runs from "--runs N", the
// refusal to run outside the lab, and the first simulated device.
#pragma once

#include "common/netns.h"
#include "devsim/core/control.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace bench {

struct LabBench
{
    int runs = 3;
    QString address, mac; // of the simulator's first device
};

// Nothing when the benchmark cannot run: outside a private namespace (a
// message names the script to use) or without the simulator.
inline std::optional<LabBench> openLabBench(const char *name, const char *script,
                                            devsim::ControlClient &control)
{
    LabBench b;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2)
        if (args[i] == QLatin1String("--runs")) b.runs = args[i + 1].toInt();
    if (!kyvo::inPrivateNetworkNamespace()) {
        std::fprintf(stderr, "%s runs inside tools/lab (%s)\n", name, script);
        return std::nullopt;
    }
    if (!control.connectTo(qEnvironmentVariable("LAB_DEVSIM_CONTROL"))) return std::nullopt;
    const auto list = control.command(QStringLiteral("list"));
    if (!list || list->isEmpty()) return std::nullopt;
    const QStringList device = list->first().split(QLatin1Char(' '));
    b.address = device.value(1);
    b.mac = device.value(2);
    return b;
}

} // namespace bench
