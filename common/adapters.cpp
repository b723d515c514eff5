// Adapter query through QNetworkInterface.
#include "common/adapters.h"

#include <QNetworkInterface>

namespace kyvo {

QList<AdapterAddress> queryAdapters()
{
    QList<AdapterAddress> result;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        if (iface.flags().testFlag(QNetworkInterface::IsLoopBack)) continue;
        if (!iface.flags().testFlag(QNetworkInterface::IsUp)) continue;
        const QString description = iface.humanReadableName();
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
            if (result.size() >= 256) return result;
            result.append({entry.ip().toString(), description});
        }
    }
    return result;
}

} // namespace kyvo
