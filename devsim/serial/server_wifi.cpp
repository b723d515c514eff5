// Simulated WiFi surroundings and the old firmware's repair.
#include "devsim/serial/server_wifi.h"

#include "common/gbk_text.h"

#include <QStringList>

namespace devsim {

bool isWifiServer(ServerFamily family)
{
    return family == ServerFamily::Wifi362 || family == ServerFamily::Wifi292;
}

Bytes scannedNetworks(std::uint32_t address)
{
    // The plant's own network first, as the strongest, then the neighbours.
    QStringList names{
        QStringLiteral("plant-floor-wifi"), QStringLiteral("Workshop-2.4G"),
        QString::fromUtf8("仓库无线"),      QStringLiteral("kyvo-ap-%1").arg((address + 1) & 0xFF),
        QStringLiteral("Office Guest"),     QStringLiteral("HMI_Panel_07")};
    if (address & 1) names.removeAt(4);
    Bytes text;
    for (const QString &name : names) {
        const QByteArray gbk = kyvo::toGbk(name);
        text.insert(text.end(), gbk.begin(), gbk.end());
        text.push_back('&');
    }
    return text;
}

bool firmwareNeedsRepair(ByteView f)
{
    return f.size() >= 4 && f[0] == 'L' && (f[2] < '5' || f[3] < '4');
}

} // namespace devsim
