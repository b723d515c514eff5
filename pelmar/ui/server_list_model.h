// The device list as a table model over the core's device table: row
// number = device index, rows appended as servers register; columns "设备IP",
// "MAC地址", "固件版本", "硬件版本".
#pragma once

#include "pelmar/model/device_table.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace pelmar {

class ServerListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Address, MacAddress, Firmware, Hardware, ColumnCount };
    static constexpr int kColumnWidths[ColumnCount] = {150, 170, 100, 100};

    explicit ServerListModel(const DeviceTable &devices, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const QStringList &titles);
    void listCleared();
    void rowAppended(int row);
    void rowChanged(int row);

private:
    const DeviceTable &m_devices;
    int m_rows = 0;
    QStringList m_headers;
};

} // namespace pelmar
