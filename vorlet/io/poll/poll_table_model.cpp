// The polling table's model and cell editors.
#include "vorlet/io/poll/poll_table_model.h"

#include "vorlet/io/poll/poll_text_form.h"
#include "vorlet/io/poll/poll_texts.h"
#include "vorlet/ui/record_texts.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace vorlet::poll {

namespace {

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

QString addressText(long address)
{
    return address < 0 ? QStringLiteral("--") : QString::number(address);
}

constexpr int kTypeListWidth = 300; // the drop list is wider than its column

} // namespace

PollTableModel::PollTableModel(PollBlock &block, const Language &language,
                               std::function<NameEncoding()> encoding, QObject *parent)
    : QAbstractTableModel(parent), m_block(block), m_language(language), m_encoding(std::move(encoding))
{
    m_addresses = cacheAddresses(m_block);
}

void PollTableModel::setTableAvailable(bool available)
{
    beginResetModel();
    m_available = available;
    m_values.clear();
    m_addresses = cacheAddresses(m_block);
    endResetModel();
}

int PollTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_available ? 0 : int(entriesInUse(m_block));
}

int PollTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QString PollTableModel::cell(int row, int column) const
{
    const PollEntry &e = m_block.entries[row];
    switch (column) {
    case kSerialColumn:
        return QString::number(row + 1);
    case kNameColumn:
        return nameText(e, m_encoding());
    case kCacheColumn:
        return QString::number(m_addresses[std::size_t(row)].byteAddress);
    case kCache02Column:
        return addressText(m_addresses[std::size_t(row)].discrete02);
    case kCache01Column:
        return addressText(m_addresses[std::size_t(row)].coil01);
    case kValueColumn:
        return row < m_values.size() ? m_values[row] : QString();
    default:
        return text(cellText(e, column));
    }
}

QVariant PollTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return cell(index.row(), index.column());
}

QVariant PollTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return pollText(m_language, kColumnTitles[section]);
}

Qt::ItemFlags PollTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && columnEditable(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool PollTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount() ||
        !columnEditable(index.column()))
        return false;
    PollEntry &e = m_block.entries[index.row()];
    const QString typed = value.toString();
    // An editor left as it was changes nothing: a k or b beyond what the
    // single-precision text shows, or a name the code page cannot show,
    // keeps its bytes.
    if (typed == cell(index.row(), index.column())) return true;
    if (index.column() == kNameColumn) {
        if (m_encoding() == NameEncoding::Utf8)
            setUtf8Field(e.jsonName, sizeof e.jsonName, typed, kNameBytes);
        else
            setGbkField(e.jsonName, typed, kNameBytes);
    } else {
        setCell(e, index.column(), typed.toStdString());
    }
    // The address columns of every later row may move.
    m_addresses = cacheAddresses(m_block);
    Q_EMIT dataChanged(this->index(0, 0), this->index(rowCount() - 1, kColumnCount - 1));
    return true;
}

void PollTableModel::reload()
{
    beginResetModel();
    m_values.clear();
    m_addresses = cacheAddresses(m_block);
    endResetModel();
}

bool PollTableModel::edited(bool done)
{
    if (done) reload();
    return done;
}

bool PollTableModel::append()
{
    return m_available && edited(appendEntry(m_block));
}

bool PollTableModel::insertAbove(int row)
{
    return m_available && row >= 0 && edited(poll::insertAbove(m_block, std::size_t(row)));
}

bool PollTableModel::remove(int row)
{
    return m_available && row >= 0 && edited(removeEntry(m_block, std::size_t(row)));
}

void PollTableModel::showValues(const std::vector<std::string> &pieces)
{
    const int rows = rowCount();
    while (m_values.size() < rows)
        m_values << QString();
    for (int r = 0; r < rows && std::size_t(r) < pieces.size(); ++r)
        m_values[r] = QString::fromLatin1(pieces[std::size_t(r)].c_str());
    if (rows > 0) Q_EMIT dataChanged(index(0, kValueColumn), index(rows - 1, kValueColumn));
}

void PollTableModel::retranslate()
{
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

QWidget *PollCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    if (index.column() != kTypeColumn) return QStyledItemDelegate::createEditor(parent, option, index);
    auto *list = new QComboBox(parent);
    for (const char *name : kDataTypeNames)
        list->addItem(QString::fromLatin1(name));
    list->view()->setMinimumWidth(kTypeListWidth);
    return list;
}

void PollCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *list = qobject_cast<QComboBox *>(editor)) {
        list->setCurrentIndex(std::max(0, list->findText(index.data(Qt::EditRole).toString())));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void PollCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    if (auto *list = qobject_cast<QComboBox *>(editor)) {
        model->setData(index, list->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace vorlet::poll
