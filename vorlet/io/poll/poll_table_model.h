// The polling table as the list of mbpoll shows it: a model over the
// record's entries, so a committed cell is in the record at once and the
// address columns follow it.
#pragma once

#include "vorlet/io/poll/poll_table.h"
#include "vorlet/lang/language.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>

#include <functional>

namespace vorlet::poll {

class PollTableModel : public QAbstractTableModel
{
public:
    PollTableModel(PollBlock &block, const Language &language, std::function<NameEncoding()> encoding,
                   QObject *parent = nullptr);

    // A CAN gateway keeps other settings where the entries would be: it
    // shows no rows and takes no edits.
    void setTableAvailable(bool available);
    bool tableAvailable() const { return m_available; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Stores the one cell into its entry; the other entries keep their bytes.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // The whole table again from the record (after the text editor, or a
    // change of the name encoding); the current values are cleared.
    void reload();
    // The table edits; false when refused (a full table, no such row).
    bool append();
    bool insertAbove(int row);
    bool remove(int row);

    // The device's current values, the n-th into row n.
    void showValues(const std::vector<std::string> &pieces);
    void retranslate();

private:
    QString cell(int row, int column) const;
    bool edited(bool done);

    PollBlock &m_block;
    const Language &m_language;
    std::function<NameEncoding()> m_encoding;
    std::vector<CacheAddress> m_addresses;
    QStringList m_values;
    bool m_available = true;
};

// The in-place editors: the drop list of the data types for the type
// column, an edit box for the others.
class PollCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};

} // namespace vorlet::poll
