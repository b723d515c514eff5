// The Modbus polling dialog.
#include "vorlet/io/poll/mbpoll.h"

#include "common/decimal.h"
#include "common/fixed_field.h"
#include "vorlet/io/poll/poll_texts.h"
#include "vorlet/io/poll/polledit.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/services/panel_support.h"
#include "vorlet/ui/record_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vorlet {

using namespace mbpollcontrol;
using namespace poll;

namespace {

constexpr std::size_t kPrefixBytes = 127; // the 128-byte field keeps its NUL
constexpr int kWriteReplyListWidth = 900; // the drop-down is wider than its box
constexpr int kNumberEditWidth = 70;

QLineEdit *numberEdit(QWidget *parent, int control)
{
    auto *edit = numbered(new QLineEdit(parent), control);
    edit->setFixedWidth(kNumberEditWidth);
    return edit;
}

} // namespace

mbpoll::mbpoll(ParameterRecord &record, PollEnvironment environment, QWidget *parent)
    : QDialog(parent), m_record(record), m_env(std::move(environment))
{
    if (!m_env.clock) m_ownClock = std::make_unique<kyvo::SteadyClock>();
    m_clock = m_env.clock ? m_env.clock : m_ownClock.get();
    repairOnOpen(m_record.poll);
    m_model = new PollTableModel(
        m_record.poll, languageOr(m_env.language), [this] { return encoding(); }, this);
    m_model->setTableAvailable(!hasCanPort(m_record));
    build();
    fillSettings();
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &mbpoll::runDue);
}

mbpoll::~mbpoll() = default;

NameEncoding mbpoll::encoding() const
{
    return m_env.utf8 && *m_env.utf8 ? NameEncoding::Utf8 : NameEncoding::Gbk;
}

void mbpoll::build()
{
    const Language &language = languageOr(m_env.language);
    setWindowTitle(language.translate(kMainWindowDialog, "Modbus主动轮询"));
    auto *layout = new QVBoxLayout(this);

    auto *buttons = new QHBoxLayout;
    m_append = numbered(new QPushButton(zh("在末尾添加一个"), this), kAppend);
    m_insert = numbered(new QPushButton(zh("在选中上面添加一个"), this), kInsert);
    m_delete = numbered(new QPushButton(zh("删除选中"), this), kDelete);
    m_refreshButton = numbered(new QPushButton(zh("刷新当前值"), this), kRefresh);
    m_textEdit = numbered(new QPushButton(zh("文本编辑更方便，点击编辑"), this), kTextEdit);
    m_utf8 = numbered(new QCheckBox(zh("json名 中文 UTF8 不勾GB12312"), this), kUtf8);
    for (QWidget *w : {static_cast<QWidget *>(m_append), static_cast<QWidget *>(m_insert),
                       static_cast<QWidget *>(m_delete), static_cast<QWidget *>(m_refreshButton),
                       static_cast<QWidget *>(m_textEdit), static_cast<QWidget *>(m_utf8)})
        buttons->addWidget(w);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_table = numbered(new QTableView(this), kTable);
    m_table->setModel(m_model);
    m_table->setItemDelegate(new PollCellDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked);
    m_table->setShowGrid(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(22);
    for (int c = 0; c < kColumnCount; ++c)
        m_table->setColumnWidth(c, kColumnWidths[c]);
    layout->addWidget(m_table, 1);
    layout->addWidget(buildSettings());

    const bool table = m_model->tableAvailable();
    for (QPushButton *b : {m_append, m_insert, m_delete, m_textEdit})
        b->setEnabled(table);
    m_refreshButton->setEnabled(table && bool(m_env.requestValues));
    m_utf8->setChecked(encoding() == NameEncoding::Utf8);

    connect(m_append, &QPushButton::clicked, this, &mbpoll::onAppend);
    connect(m_insert, &QPushButton::clicked, this, &mbpoll::onInsert);
    connect(m_delete, &QPushButton::clicked, this, &mbpoll::onDelete);
    connect(m_refreshButton, &QPushButton::clicked, this, &mbpoll::onRefresh);
    connect(m_textEdit, &QPushButton::clicked, this, &mbpoll::onTextEdit);
    connect(m_utf8, &QCheckBox::toggled, this, &mbpoll::onUtf8);
    applyDialogTable(this, kPollDialog, language);
    resize(1320, 620);
}

QWidget *mbpoll::buildSettings()
{
    const Language &language = languageOr(m_env.language);
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto label = [&](int control, const char *chinese) {
        return numbered(new QLabel(zh(chinese), box), control);
    };
    const auto ms = [&] { return new QLabel(QStringLiteral("ms"), box); };
    m_interval = numberEdit(box, kInterval);
    m_timeout = numberEdit(box, kTimeout);
    m_delay = numberEdit(box, kDelay);
    m_mapping = numberEdit(box, kMapping);
    m_timedUpload = numberEdit(box, kTimedUpload);
    const std::tuple<int, const char *, QLineEdit *, bool> numbers[] = {
        {1255, "轮询间隔", m_interval, true},
        {1256, "超时", m_timeout, true},
        {1257, "指令延时", m_delay, true},
        {1258, "映射地址", m_mapping, false},
        {1259, "定时上传", m_timedUpload, true}};
    int column = 0;
    for (const auto &[control, chinese, edit, unit] : numbers) {
        grid->addWidget(label(control, chinese), 0, column++);
        auto *cell = new QHBoxLayout;
        cell->addWidget(edit);
        if (unit) cell->addWidget(ms());
        cell->addStretch();
        grid->addLayout(cell, 0, column++);
    }

    const auto list = [&](int control, std::span<const char *const> items) {
        auto *combo = numbered(new QComboBox(box), control);
        setTranslatedItems(combo, language, kPollDialog, items);
        return combo;
    };
    m_changeUpload = list(kChangeUpload, kChangeUploads);
    m_timeoutHandling = list(kTimeoutHandling, kTimeoutHandlings);
    m_uploadFormat = list(kUploadFormat, kUploadFormats);
    m_uploadChannel = list(kUploadChannel, kUploadChannels);
    m_writeReply = list(kWriteReply, kWriteReplies);
    m_writeReply->view()->setMinimumWidth(kWriteReplyListWidth);
    m_writeReply->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_writeReply->setMinimumContentsLength(20);
    m_asArray = numbered(new QCheckBox(zh("统一为数组"), box), kAsArray);
    const std::tuple<int, const char *, QComboBox *> lists[] = {{1260, "变化上传", m_changeUpload},
                                                                {1261, "超时处理", m_timeoutHandling},
                                                                {1262, "上传格式", m_uploadFormat}};
    column = 0;
    for (const auto &[control, chinese, combo] : lists) {
        grid->addWidget(label(control, chinese), 1, column++);
        grid->addWidget(combo, 1, column++);
    }
    grid->addWidget(m_asArray, 1, column);

    m_prefix = numbered(new QLineEdit(box), kPrefix);
    auto *help = linkLabel(box, kHelp, zh("点我(必看)?"));
    connect(help, &QLabel::linkActivated, this,
            [this] { showMessage(prefixHelpText(languageOr(m_env.language))); });
    grid->addWidget(label(1263, "前缀"), 2, 0);
    auto *prefixRow = new QHBoxLayout;
    prefixRow->addWidget(m_prefix, 1);
    prefixRow->addWidget(help);
    grid->addLayout(prefixRow, 2, 1, 1, 3);
    grid->addWidget(label(3348, "上传通道"), 2, 4);
    grid->addWidget(m_uploadChannel, 2, 5);
    grid->addWidget(label(3346, "下发Modbus Tcp 写指令,超时"), 2, 6, 1, 2);
    grid->addWidget(m_writeReply, 2, 8, 1, 2);

    auto *ok = numbered(new QPushButton(zh("确定"), box), kOk);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &mbpoll::accept);
    grid->addWidget(ok, 3, 9);
    grid->setColumnStretch(10, 1);
    return box;
}

void mbpoll::fillSettings()
{
    const PollBlock &p = m_record.poll;
    m_interval->setText(QString::number(p.pollIntervalMs.get()));
    m_timeout->setText(QString::number(p.responseTimeoutMs.get()));
    m_delay->setText(QString::number(p.commandDelayMs.get()));
    m_mapping->setText(QString::number(p.mappingAddress.get()));
    m_timedUpload->setText(QString::number(std::int32_t(p.timedUploadMs.get())));
    selectStoredIndex(m_changeUpload, p.changeUpload);
    selectStoredIndex(m_timeoutHandling, p.timeoutHandling);
    selectStoredIndex(m_uploadFormat, p.uploadFormat);
    selectStoredIndex(m_uploadChannel, p.uploadChannel);
    selectStoredIndex(m_writeReply, p.writeReply);
    m_asArray->setChecked(p.asArray != 0);
    m_prefix->setText(encoding() == NameEncoding::Utf8 ? utf8FieldText(p.prefix, sizeof p.prefix)
                                                       : gbkFieldText(p.prefix));
}

void mbpoll::storeSettings()
{
    PollBlock &p = m_record.poll;
    p.pollIntervalMs = u16Value(m_interval->text());
    p.responseTimeoutMs = u16Value(m_timeout->text());
    p.commandDelayMs = u16Value(m_delay->text());
    p.mappingAddress = u16Value(m_mapping->text());
    p.timedUploadMs = std::uint32_t(decimalValue(m_timedUpload->text()));
    p.changeUpload = selectedIndex(m_changeUpload);
    p.timeoutHandling = selectedIndex(m_timeoutHandling);
    p.uploadFormat = selectedIndex(m_uploadFormat);
    p.uploadChannel = selectedIndex(m_uploadChannel);
    p.writeReply = selectedIndex(m_writeReply);
    p.asArray = m_asArray->isChecked() ? 1 : 0;
    if (encoding() == NameEncoding::Utf8)
        setUtf8Field(p.prefix, sizeof p.prefix, m_prefix->text(), kPrefixBytes);
    else
        setGbkField(p.prefix, m_prefix->text(), kPrefixBytes);
}

void mbpoll::accept()
{
    storeSettings();
    QDialog::accept();
}

int mbpoll::selectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void mbpoll::onAppend()
{
    if (!m_model->append()) {
        showMessage(pollText(languageOr(m_env.language), kTableFullText));
        return;
    }
    m_table->scrollTo(m_model->index(m_model->rowCount() - 1, 0));
}

void mbpoll::onInsert()
{
    const int row = selectedRow();
    if (row < 0) return;
    if (tableFull(m_record.poll)) {
        showMessage(pollText(languageOr(m_env.language), kTableFullText));
        return;
    }
    m_model->insertAbove(row);
}

void mbpoll::onDelete()
{
    const int row = selectedRow();
    if (row < 0 || !m_model->remove(row)) return;
    if (row < m_model->rowCount()) m_table->selectRow(row);
}

void mbpoll::onRefresh()
{
    std::fill(std::begin(m_record.pollValues), std::end(m_record.pollValues), std::uint8_t(0));
    m_env.requestValues();
    m_refresh.start(m_clock->now());
    armRefresh();
}

void mbpoll::runDue()
{
    if (const auto pieces = m_refresh.run(m_clock->now(), m_record.pollValues)) m_model->showValues(*pieces);
    armRefresh();
}

void mbpoll::armRefresh()
{
    const auto next = m_refresh.nextDeadline();
    if (!next) {
        m_refreshTimer.stop();
        return;
    }
    m_refreshTimer.start(int(std::max<std::int64_t>(0, (*next - m_clock->now()).count())));
}

void mbpoll::onTextEdit()
{
    auto *editor = new polledit(m_record.poll, encoding(), languageOr(m_env.language), this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &QDialog::finished, this, [this] { m_model->reload(); });
    editor->open();
}

void mbpoll::onUtf8(bool on)
{
    if (m_env.utf8) *m_env.utf8 = on ? 1 : 0;
    m_model->reload();
}

void mbpoll::showMessage(const QString &text)
{
    showMessageOnce(this, m_box, text);
}

} // namespace vorlet
