// Command-line device specs.
#include "devsim/core/device_specs.h"

#include "common/gbk_text.h"
#include "devsim/gateway/gateway_sim.h"

namespace devsim {

Mac simulatedMac(std::uint8_t family, std::uint32_t address)
{
    return Mac{0x00, 0x4B, family, std::uint8_t(address >> 16), std::uint8_t(address >> 8), std::uint8_t(address)};
}

bool addGateways(SimNetwork &network, const QString &spec, std::uint32_t &next, QString *error)
{
    bool plainCount = false;
    const int plain = spec.toInt(&plainCount);
    GatewayProfile base;
    int count = 1;
    bool mixed = plainCount;
    if (plainCount) {
        count = plain;
    } else {
        for (const QString &part : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString key = part.section(QLatin1Char('='), 0, 0);
            const QString value = part.section(QLatin1Char('='), 1);
            bool ok = true;
            if (key == QLatin1String("count")) count = value.toInt(&ok);
            else if (key == QLatin1String("serial")) base.canPort = false;
            else if (key == QLatin1String("can")) base.canPort = true;
            else if (key == QLatin1String("wifi")) base.wifi = true;
            else if (key == QLatin1String("io")) base.ioModule = true;
            else if (key == QLatin1String("norc")) base.realTimeClock = false;
            else if (key == QLatin1String("poll")) base.pollEntries = value.toInt(&ok);
            else if (key == QLatin1String("name")) base.name = kyvo::toGbk(value);
            else if (key == QLatin1String("fragment")) base.fragmentSize = value.toUInt(&ok);
            else if (key == QLatin1String("version")) base.versionText = value.toLatin1();
            else if (key == QLatin1String("mix")) mixed = true;
            else ok = false;
            if (!ok) {
                if (error) *error = QStringLiteral("bad gateway option: %1").arg(part);
                return false;
            }
        }
    }
    if (count < 0 || count > 4096) {
        if (error) *error = QStringLiteral("bad gateway count");
        return false;
    }
    for (int i = 0; i < count; ++i) {
        GatewayProfile p = base;
        p.address = next++;
        p.mac = simulatedMac(0x59, p.address);
        if (mixed) {
            // A realistic mix: mostly serial gateways, some with WiFi or an
            // I/O module, every fifth a CAN gateway.
            p.canPort = i % 5 == 2;
            p.wifi = i % 3 == 1;
            p.ioModule = i % 4 == 3;
            p.pollEntries = 2 + i % 12;
        }
        if (p.name.isEmpty())
            p.name = kyvo::toGbk(QStringLiteral("网关-%1").arg(p.address & 0xFF, 3, 10, QLatin1Char('0')));
        network.add(std::make_unique<GatewaySim>(p));
    }
    return true;
}

} // namespace devsim
