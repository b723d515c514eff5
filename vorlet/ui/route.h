// The range editor of the cross-router search (dialog 139): a list of
// address ranges and two address fields; edits the main window's ranges.
#pragma once

#include "vorlet/link/search_ranges.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vorlet {

class AddressEdit;
class Language;

class route : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDialog = 139;
    route(SearchRanges &ranges, const Language &language, QWidget *parent = nullptr);

    AddressEdit *startEdit() const { return m_start; }
    AddressEdit *endEdit() const { return m_end; }
    QTreeWidget *list() const { return m_list; }
    QLabel *countLabel() const { return m_count; }

    // "添加", "修改", "删除选中".
    void add();
    void modify();
    void removeSelected();

private:
    void fillList();
    void appendRow(const SearchRange &range);
    void updateCount();
    void updateAddButton();

    SearchRanges &m_ranges;
    const Language &m_language;
    AddressEdit *m_start;
    AddressEdit *m_end;
    QLabel *m_count;
    QTreeWidget *m_list;
    QPushButton *m_add;
};

} // namespace vorlet
