// Adapter query through QNetworkInterface.
#include "common/adapters.h"

#include "common/ipv4.h"
#include "common/netns.h"

#include <QNetworkInterface>

namespace kyvo {

namespace {

QList<AdapterAddress> adapters(bool loopback, int limit)
{
    QList<AdapterAddress> result;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        if (iface.flags().testFlag(QNetworkInterface::IsLoopBack) != loopback) continue;
        if (!iface.flags().testFlag(QNetworkInterface::IsUp)) continue;
        const QString description = iface.humanReadableName();
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
            if (result.size() >= limit) return result;
            result.append({entry.ip().toString(), description, entry.prefixLength()});
        }
    }
    return result;
}

bool labLoopback()
{
    return qEnvironmentVariable("LAB_MODE") == QLatin1String("loopback") && inPrivateNetworkNamespace();
}

} // namespace

QList<AdapterAddress> queryAdapters()
{
    return adapters(false, 256);
}

QList<AdapterAddress> allSearchAdapters()
{
    return adapters(labLoopback(), kMaxAllAdapters);
}

std::vector<int> adaptersHolding(const QList<AdapterAddress> &adapters, std::uint32_t address)
{
    std::vector<int> holding, all;
    for (int i = 0; i < adapters.size(); ++i) {
        all.push_back(i);
        const int bits = adapters[i].prefixLength;
        const auto local = parseIpv4(adapters[i].address.toStdString());
        if (!local || bits < 0 || bits > 32) continue;
        const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t(0) << (32 - bits);
        if ((*local & mask) == (address & mask)) holding.push_back(i);
    }
    return holding.empty() ? all : holding;
}

} // namespace kyvo
