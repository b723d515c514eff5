// Serial-server inventory rows.
#include "pelmar/core/server_inventory.h"

#include "common/gbk_text.h"
#include "pelmar/core/server_core.h"
#include "pelmar/model/conversions.h"

namespace pelmar {

namespace {

std::string utf8(const std::string &gbk)
{
    return kyvo::fromGbk(QByteArray::fromStdString(gbk)).toStdString();
}

} // namespace

std::vector<kyvo::InventoryRow> inventoryRows(const DeviceTable &table, std::size_t rows,
                                              const QString &adapter)
{
    std::vector<kyvo::InventoryRow> out;
    rows = std::min(rows, DeviceTable::kSlots);
    out.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const DeviceEntry &e = table.at(i);
        out.push_back({e.addressText,
                       macText(e),
                       utf8(e.hardwareVersion.text()),
                       utf8(e.firmwareVersion.text()),
                       {},
                       adapter.toStdString()});
    }
    return out;
}

std::vector<kyvo::InventoryRow> inventoryRows(const ServerCore &core, const QString &boundAddress)
{
    QString adapter = core.chosenAdapterAddress();
    if (adapter.isEmpty()) adapter = boundAddress.isEmpty() ? QStringLiteral("0.0.0.0") : boundAddress;
    auto rows = inventoryRows(core.devices(), std::size_t(core.rowCount()), adapter);
    if (core.chosenAdapter() != ServerCore::kAllAdapters) return rows;
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].adapter = core.adapterAddressOf(core.devices().at(i)).toStdString();
    return rows;
}

} // namespace pelmar
