// The device list as a table model over the core's device list: one row per
// record in the list's address order, rows inserted as devices are found.
#pragma once

#include "vorlet/record/device_list.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace vorlet {

class DeviceListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Sn, Address, MacAddress, Version, Model, Name, ColumnCount };

    explicit DeviceListModel(const DeviceList &devices, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaders(const QStringList &titles);

    // The device list changed: it was emptied, a record was inserted at
    // this row, or the record of this row was refilled.
    void listCleared();
    void deviceAdded(int row);
    void deviceUpdated(int row);

private:
    const DeviceList &m_devices;
    int m_rows = 0; // the rows the view knows, so every change is announced once
    QStringList m_headers;
};

} // namespace vorlet
