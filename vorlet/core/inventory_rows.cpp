// Gateway inventory rows.
#include "vorlet/core/inventory_rows.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "common/ipv4.h"
#include "vorlet/core/gateway_core.h"

#include <cstdio>

namespace vorlet {

namespace {

template <std::size_t N> std::string utf8(const std::uint8_t (&field)[N])
{
    return kyvo::fromGbk(QByteArrayView(field, qsizetype(kyvo::fieldTextLength(field)))).toStdString();
}

std::string macText(const std::uint8_t *m)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
    return text;
}

} // namespace

std::vector<kyvo::InventoryRow> inventoryRows(const DeviceList &list, std::uint32_t adapter)
{
    std::vector<kyvo::InventoryRow> rows;
    rows.reserve(list.count());
    const std::string local = kyvo::ipv4Text(adapter);
    for (std::size_t i = 0; i < list.count(); ++i) {
        const ParameterRecord &r = list.at(i);
        rows.push_back({kyvo::ipv4Text(seenAddress(r)), macText(r.mac), utf8(r.model), utf8(r.versionText),
                        utf8(r.deviceName), local});
    }
    return rows;
}

std::vector<kyvo::InventoryRow> inventoryRows(GatewayCore &core)
{
    auto rows = inventoryRows(core.devices(), core.endpoint().localAddress());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].adapter = kyvo::ipv4Text(core.adapterOf(core.devices().at(i)));
    return rows;
}

} // namespace vorlet
