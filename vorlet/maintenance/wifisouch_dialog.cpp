// WiFi scan.
#include "vorlet/maintenance/wifisouch_dialog.h"

#include "common/fixed_field.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/record/parameter_record.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <cstring>

namespace vorlet {

namespace {

template <typename W> W *numbered(W *widget, int control)
{
    setControlId(widget, control);
    return widget;
}

} // namespace

wifisouch::wifisouch(ParameterRecord &record, DeviceDialogEnvironment environment, QWidget *parent)
    : DeviceDialog(kDialog, record, std::move(environment), parent)
{
    setWindowTitle(QStringLiteral("wifisouch"));
    auto *grid = new QGridLayout(this);
    m_list = numbered(new QTableWidget(0, 5, this), 1057);
    m_list->setHorizontalHeaderLabels({QStringLiteral("SN"), tableText("名称"), QStringLiteral("MAC"),
                                       tableText("信号"), tableText("加密")});
    const int widths[] = {30, 130, 150, 80, 200};
    for (int c = 0; c < 5; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setMinimumSize(600, 260);
    m_scan = numbered(new QPushButton(QString::fromUtf8("搜索附近的热点"), this), 1079);
    auto *ok = numbered(new QPushButton(QString::fromUtf8("确定"), this), 1004);
    grid->addWidget(m_list, 0, 0, 1, 3);
    grid->addWidget(m_scan, 1, 0);
    grid->addWidget(ok, 1, 2);
    grid->setColumnStretch(1, 1);
    connect(m_scan, &QPushButton::clicked, this, &wifisouch::scan);
    connect(ok, &QPushButton::clicked, this, &wifisouch::choose);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &wifisouch::choose);
    applyLanguage();
}

void wifisouch::scan()
{
    if (scanning()) return; // one scan at a time
    std::memset(m_record.pollValues, 0, sizeof m_record.pollValues);
    send(itemQueryMessage(scope(), mac(), item::kScanResult));
    std::memset(m_record.wifiExtension, 0, sizeof m_record.wifiExtension);
    m_scanEnd = now() + kScanLimit;
    m_check.start(now(), kScanCheckPeriod);
    m_list->setRowCount(0);
    m_scan->setEnabled(false);
    arm();
}

void wifisouch::stopScan()
{
    m_check.stop();
    m_scanEnd.reset();
    m_scan->setEnabled(true);
}

void wifisouch::runDue(kyvo::Millis t)
{
    if (m_check.take(t) && kyvo::fieldTextLength(m_record.wifiExtension) != 0) {
        stopScan();
        fillList();
        return;
    }
    if (m_scanEnd && t >= *m_scanEnd) stopScan(); // no answer: the list stays empty
}

std::optional<kyvo::Millis> wifisouch::nextDeadline() const
{
    const auto a = m_check.next();
    if (a && m_scanEnd) return std::min(*a, *m_scanEnd);
    return a ? a : m_scanEnd;
}

void wifisouch::fillList()
{
    const std::vector<ScanRow> rows = parseScanResult(kyvo::fieldText(m_record.wifiExtension));
    m_list->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const ScanRow &row = rows[std::size_t(r)];
        const QString cells[] = {QString::number(r + 1), QString::fromUtf8(row.ssid),
                                 QString::fromUtf8(row.mac) + QLatin1Char(' '),
                                 QString::fromUtf8(row.signal) + QLatin1Char(' '),
                                 QString::fromStdString(row.authentication)};
        for (int c = 0; c < 5; ++c)
            m_list->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}

void wifisouch::choose()
{
    const int row = m_list->currentRow();
    if (row >= 0 && m_list->item(row, 1) && m_list->item(row, 2)) {
        m_ssid = m_list->item(row, 1)->text();
        m_mac = m_list->item(row, 2)->text();
    }
    accept();
}

void wifisouch::done(int result)
{
    // The scan's wait ends with the dialog.
    m_check.stop();
    m_scanEnd.reset();
    arm();
    DeviceDialog::done(result);
}

} // namespace vorlet
