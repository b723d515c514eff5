// Device list model.
#include "vorlet/ui/device_list_model.h"

#include "vorlet/ui/record_texts.h"

namespace vorlet {

DeviceListModel::DeviceListModel(const DeviceList &devices, QObject *parent)
    : QAbstractTableModel(parent), m_devices(devices)
{}

int DeviceListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DeviceListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DeviceListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows ||
        std::size_t(index.row()) >= m_devices.count())
        return {};
    const ParameterRecord &r = m_devices.at(std::size_t(index.row()));
    switch (index.column()) {
    case Sn:
        return QString::number(index.row() + 1);
    case Address:
        return addressText(r.seenAddress);
    case MacAddress:
        return macText(r.mac);
    case Version:
        return gbkFieldText(r.versionText);
    case Model:
        return gbkFieldText(r.model);
    case Name:
        return gbkFieldText(r.deviceName);
    default:
        return {};
    }
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section < m_headers.size() ? QVariant(m_headers[section]) : QVariant();
}

void DeviceListModel::setHeaders(const QStringList &titles)
{
    m_headers = titles;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void DeviceListModel::listCleared()
{
    beginResetModel();
    m_rows = 0;
    endResetModel();
}

void DeviceListModel::deviceAdded(int row)
{
    if (row < 0 || row > m_rows) return;
    beginInsertRows({}, row, row);
    ++m_rows;
    endInsertRows();
    // The rows behind the new one count on by one.
    if (row + 1 < m_rows) Q_EMIT dataChanged(index(row + 1, Sn), index(m_rows - 1, Sn), {Qt::DisplayRole});
}

void DeviceListModel::deviceUpdated(int row)
{
    if (row < 0 || row >= m_rows) return;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole});
}

} // namespace vorlet
