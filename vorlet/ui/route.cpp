// Range editor.
#include "vorlet/ui/route.h"

#include "common/ipv4.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/ui/address_edit.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace vorlet {

namespace {
QString u(const char *text)
{
    return QString::fromUtf8(text);
}

QPushButton *numberedButton(int control, const char *text, QWidget *parent)
{
    auto *b = new QPushButton(u(text), parent);
    setControlId(b, control);
    b->setAutoDefault(false);
    return b;
}
} // namespace

route::route(SearchRanges &ranges, const Language &language, QWidget *parent)
    : QDialog(parent), m_ranges(ranges), m_language(language)
{
    setWindowTitle(QStringLiteral("route"));
    auto *g = new QGridLayout(this);
    auto *startCaption = new QLabel(u("开始IP"), this);
    auto *endCaption = new QLabel(u("结束IP"), this);
    auto *countCaption = new QLabel(u("IP数量"), this);
    setControlId(startCaption, 1268);
    setControlId(endCaption, 1269);
    setControlId(countCaption, 1270);
    m_start = new AddressEdit(this);
    m_end = new AddressEdit(this);
    m_count = new QLabel(QStringLiteral("0"), this);
    m_count->setObjectName(QStringLiteral("rangeSize"));
    g->addWidget(startCaption, 0, 0);
    g->addWidget(m_start, 0, 1);
    g->addWidget(endCaption, 0, 2);
    g->addWidget(m_end, 0, 3);
    g->addWidget(countCaption, 0, 4);
    g->addWidget(m_count, 0, 5);

    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setColumnCount(3);
    // The column titles come from the table's message rows.
    m_list->setHeaderLabels({m_language.translate(kDialog, "开始IP"), m_language.translate(kDialog, "结束IP"),
                             m_language.translate(kDialog, "IP数量")});
    m_list->header()->resizeSection(0, 150);
    m_list->header()->resizeSection(1, 150);
    m_list->header()->resizeSection(2, 80);
    g->addWidget(m_list, 1, 0, 1, 6);

    m_add = numberedButton(1086, "添加", this);
    auto *modifyButton = numberedButton(1004, "修改", this);
    auto *removeButton = numberedButton(1005, "删除选中", this);
    auto *exitButton = numberedButton(1007, "退出", this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_add, modifyButton, removeButton, exitButton})
        buttons->addWidget(b);
    g->addLayout(buttons, 2, 0, 1, 6);

    connect(m_start, &QLineEdit::textChanged, this, &route::updateCount);
    connect(m_end, &QLineEdit::textChanged, this, &route::updateCount);
    connect(m_add, &QPushButton::clicked, this, &route::add);
    connect(modifyButton, &QPushButton::clicked, this, &route::modify);
    connect(removeButton, &QPushButton::clicked, this, &route::removeSelected);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);

    if (m_ranges.count() > SearchRanges::kCapacity) m_ranges.clear();
    fillList();
    updateCount();
    applyDialogTable(this, kDialog, m_language);
    resize(560, 360);
}

void route::fillList()
{
    m_list->clear();
    for (const SearchRange &r : m_ranges.ranges())
        appendRow(r);
    updateAddButton();
}

void route::appendRow(const SearchRange &r)
{
    auto *item = new QTreeWidgetItem({QString::fromStdString(kyvo::ipv4Text(r.start)),
                                      QString::fromStdString(kyvo::ipv4Text(r.end)),
                                      QString::number(rangeSize(r.start, r.end))});
    m_list->addTopLevelItem(item);
}

void route::updateCount()
{
    m_count->setText(QString::number(rangeSize(m_start->value(), m_end->value())));
}

// A full array takes no further range.
void route::updateAddButton()
{
    m_add->setEnabled(m_ranges.count() < SearchRanges::kCapacity);
}

void route::add()
{
    const std::uint32_t start = m_start->value(), end = m_end->value();
    switch (m_ranges.add(start, end)) {
    case SearchRanges::AddResult::Added:
        appendRow(m_ranges.ranges().back());
        break;
    case SearchRanges::AddResult::Overlaps: {
        auto *box =
            new QMessageBox(QMessageBox::NoIcon, QString(),
                            m_language.translate(kDialog, "IP 已经存在！！！"), QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        break;
    }
    case SearchRanges::AddResult::ZeroAddress:
    case SearchRanges::AddResult::Full:
        break;
    }
    updateAddButton();
}

void route::modify()
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty()) return;
    // The first selected row in list order.
    int first = m_list->topLevelItemCount();
    for (QTreeWidgetItem *item : selected)
        first = std::min(first, m_list->indexOfTopLevelItem(item));
    if (!m_ranges.modify(std::size_t(first), m_start->value(), m_end->value())) return;
    const SearchRange &r = m_ranges.ranges()[std::size_t(first)];
    QTreeWidgetItem *item = m_list->topLevelItem(first);
    item->setText(0, QString::fromStdString(kyvo::ipv4Text(r.start)));
    item->setText(1, QString::fromStdString(kyvo::ipv4Text(r.end)));
    item->setText(2, QString::number(rangeSize(r.start, r.end)));
}

void route::removeSelected()
{
    std::vector<std::size_t> rows;
    for (QTreeWidgetItem *item : m_list->selectedItems())
        rows.push_back(std::size_t(m_list->indexOfTopLevelItem(item)));
    m_ranges.remove(rows);
    fillList();
}

} // namespace vorlet
