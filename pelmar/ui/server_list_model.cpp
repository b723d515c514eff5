// Device list model.
#include "pelmar/ui/server_list_model.h"

#include "common/gbk_text.h"
#include "pelmar/model/conversions.h"

namespace pelmar {

ServerListModel::ServerListModel(const DeviceTable &devices, QObject *parent)
    : QAbstractTableModel(parent), m_devices(devices)
{}

int ServerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ServerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ServerListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows) return {};
    const DeviceEntry &e = m_devices.at(std::size_t(index.row()));
    switch (index.column()) {
    case Address:
        return QString::fromStdString(e.addressText);
    case MacAddress:
        return QString::fromStdString(macText(e));
    case Firmware:
        return kyvo::fromGbk(QByteArray::fromStdString(e.firmwareVersion.text()));
    case Hardware:
        return kyvo::fromGbk(QByteArray::fromStdString(e.hardwareVersion.text()));
    default:
        return {};
    }
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headers.size())
        return {};
    return m_headers[section];
}

void ServerListModel::setHeaders(const QStringList &titles)
{
    m_headers = titles;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void ServerListModel::listCleared()
{
    beginResetModel();
    m_rows = 0;
    endResetModel();
}

void ServerListModel::rowAppended(int row)
{
    // Rows are only ever appended, so the row number is the device index.
    if (row < m_rows) return;
    beginInsertRows({}, m_rows, row);
    m_rows = row + 1;
    endInsertRows();
}

void ServerListModel::rowChanged(int row)
{
    if (row >= 0 && row < m_rows) Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

} // namespace pelmar
