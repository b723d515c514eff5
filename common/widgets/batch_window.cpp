// The batch window: a table that follows the runner row by row.
#include "common/widgets/batch_window.h"

#include "common/inventory.h"
#include "common/whole_file.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kyvo {

namespace {

constexpr int kPercentRole = Qt::UserRole;

// The progress column draws the row's percent as the platform's progress bar.
class ProgressDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionProgressBar bar;
        bar.rect = option.rect.adjusted(2, 3, -2, -3);
        bar.state = option.state | QStyle::State_Horizontal;
        bar.minimum = 0;
        bar.maximum = 100;
        bar.progress = index.data(kPercentRole).toInt();
        bar.text = index.data(Qt::DisplayRole).toString();
        bar.textVisible = true;
        bar.palette = option.palette;
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
    }
};

QString percentText(int percent)
{
    return QString::number(percent) + QLatin1Char('%');
}

} // namespace

BatchWindow::BatchWindow(BatchRunner &runner, const QString &operation, QList<BatchRowLabels> rows,
                         bool english, QWidget *parent)
    : QDialog(parent), m_runner(runner), m_operation(operation), m_rows(std::move(rows)), m_english(english),
      m_saveFileName([](QWidget *p, const QString &name, const QString &filter) {
          return QFileDialog::getSaveFileName(p, QString(), name, filter);
      })
{
    setWindowTitle(tr2("批量操作 - ", "Batch operation - ") + operation);
    buildTable();
    m_summary = new QLabel;
    m_copy = new QPushButton(tr2("复制结果", "Copy results"));
    m_save = new QPushButton(tr2("保存为CSV", "Save as CSV"));
    m_cancel = new QPushButton;
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    connect(m_copy, &QPushButton::clicked, this, &BatchWindow::copyResults);
    connect(m_save, &QPushButton::clicked, this, &BatchWindow::saveResults);
    connect(m_cancel, &QPushButton::clicked, this, &BatchWindow::onCancelOrClose);
    for (int row = 0; row < m_table->rowCount(); ++row)
        fillRow(row);
    updateSummary();
    resize(880, 460); // well inside a 1366x768 screen, with room for the frame and a taskbar
}

QString BatchWindow::tr2(const char *chinese, const char *english) const
{
    return m_english ? QString::fromUtf8(english) : QString::fromUtf8(chinese);
}

void BatchWindow::buildTable()
{
    m_table = new QTableWidget(int(m_rows.size()), 6, this);
    m_table->setHorizontalHeaderLabels({tr2("IP地址", "IP address"), tr2("MAC地址", "MAC address"),
                                        tr2("型号", "Model"), tr2("操作", "Operation"),
                                        tr2("进度", "Progress"), tr2("结果", "Outcome")});
    m_table->setAccessibleName(tr2("设备", "Devices"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->setItemDelegateForColumn(ProgressColumn, new ProgressDelegate(m_table));
    const int widths[] = {115, 135, 120, 90, 130};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_table->setColumnWidth(column, widths[column]);
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const BatchRowLabels &labels = m_rows[row];
        const QString fixed[] = {labels.address, labels.mac, labels.model, m_operation, QString(), QString()};
        for (int column = 0; column < 6; ++column)
            m_table->setItem(row, column, new QTableWidgetItem(fixed[column]));
    }
}

QString BatchWindow::stateText(BatchRunner::State state) const
{
    switch (state) {
    case BatchRunner::State::Waiting:
        return tr2("等待", "Waiting");
    case BatchRunner::State::Running:
        return tr2("进行中", "Running");
    case BatchRunner::State::Done:
        return tr2("完成", "Done");
    case BatchRunner::State::Failed:
        return tr2("失败", "Failed");
    case BatchRunner::State::Cancelled:
        return tr2("已取消", "Cancelled");
    }
    return {};
}

void BatchWindow::fillRow(int row)
{
    const BatchRunner::Row &r = m_runner.row(std::size_t(row));
    QTableWidgetItem *progress = m_table->item(row, ProgressColumn);
    progress->setData(kPercentRole, r.percent);
    progress->setText(percentText(r.percent));
    QString outcome = stateText(r.state);
    if (!r.text.empty()) outcome += tr2("：", ": ") + QString::fromStdString(r.text);
    m_table->item(row, OutcomeColumn)->setText(outcome);
}

void BatchWindow::rowChanged(int row)
{
    if (row < 0 || row >= m_table->rowCount()) return;
    fillRow(row);
    updateSummary();
}

void BatchWindow::updateSummary()
{
    const BatchRunner::Summary s = m_runner.summary();
    m_summary->setText(tr2("共 %1 台：完成 %2，失败 %3，进行中 %4，等待 %5，已取消 %6",
                           "%1 devices: %2 done, %3 failed, %4 running, %5 waiting, %6 cancelled")
                           .arg(m_runner.size())
                           .arg(s.done)
                           .arg(s.failed)
                           .arg(s.running)
                           .arg(s.waiting)
                           .arg(s.cancelled));
    // Once cancelled, what still runs ends on its own: nothing is left to cancel.
    const bool finished = m_runner.finished();
    m_cancel->setText(finished ? tr2("关闭", "Close") : tr2("取消", "Cancel"));
    m_cancel->setEnabled(finished || !m_cancelRequested);
}

void BatchWindow::onCancelOrClose()
{
    if (m_runner.finished()) {
        accept();
        return;
    }
    m_cancelRequested = true;
    m_runner.cancel();
    Q_EMIT cancelRequested();
    for (int row = 0; row < m_table->rowCount(); ++row)
        fillRow(row);
    updateSummary();
}

// Escape and the window's close button cancel while the batch runs: the
// window stays until the running operations have ended, so no outcome is lost.
void BatchWindow::reject()
{
    if (m_runner.finished())
        QDialog::reject();
    else if (m_cancel->isEnabled())
        onCancelOrClose();
}

QList<QStringList> BatchWindow::resultLines() const
{
    QList<QStringList> lines;
    QStringList header;
    for (int column = 0; column < m_table->columnCount(); ++column)
        header << m_table->horizontalHeaderItem(column)->text();
    lines << header;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QStringList line;
        for (int column = 0; column < m_table->columnCount(); ++column)
            line << m_table->item(row, column)->text();
        lines << line;
    }
    return lines;
}

QString BatchWindow::resultsText() const
{
    QString text;
    for (const QStringList &line : resultLines())
        text += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QByteArray BatchWindow::resultsCsv() const
{
    std::string csv;
    for (const QStringList &line : resultLines()) {
        for (qsizetype i = 0; i < line.size(); ++i)
            csv += (i ? "," : "") + csvField(line[i].toStdString());
        csv += "\r\n";
    }
    return QByteArray::fromStdString(csv);
}

bool BatchWindow::saveCsv(const QString &path) const
{
    return writeWholeFile(path, resultsCsv());
}

void BatchWindow::copyResults()
{
    if (QClipboard *clipboard = QApplication::clipboard()) clipboard->setText(resultsText());
}

void BatchWindow::saveResults()
{
    const QString path =
        m_saveFileName(this, QStringLiteral("batch.csv"), tr2("CSV 文件 (*.csv)", "CSV files (*.csv)"));
    if (path.isEmpty() || saveCsv(path)) return;
    // Not modal: the batch goes on being shown while the message is open.
    auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                tr2("无法写入 %1", "Cannot write %1").arg(path), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace kyvo
