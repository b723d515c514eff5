// The gateway debug monitor window.
#include "vorlet/io/monitor/dbg_window.h"

#include "common/gbk_text.h"
#include "common/hex_text.h"
#include "common/ipv4.h"
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace vorlet {

namespace {

constexpr int kStatusClicksForIo = 10;
constexpr int kColumnWidths[] = {50, 200, 100, 50, 100, 400, 400};
constexpr const char *kColumnTitles[] = {"序号", "时间", "设备", "长度", "前缀", "ASCII", "HEX"};

std::size_t rowBytes(const MonitorRow &row)
{
    return std::size_t(row.datagram.size()) + sizeof(MonitorRow) + 32;
}

kyvo::ByteView bytesOf(const QByteArray &data)
{
    return {reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size())};
}

QByteArray bytesOf(kyvo::ByteView view)
{
    return QByteArray(reinterpret_cast<const char *>(view.data()), qsizetype(view.size()));
}

} // namespace

// The gateway list is rebuilt each time it drops down, so it names every
// sender heard so far.
class GatewayFilterBox : public QComboBox
{
public:
    GatewayFilterBox(std::function<void()> rebuild, QWidget *parent)
        : QComboBox(parent), m_rebuild(std::move(rebuild))
    {}
    void showPopup() override
    {
        m_rebuild();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_rebuild;
};

class dbg::Model : public kyvo::RingTableModel<MonitorRow>
{
public:
    Model(std::size_t maxRows, std::size_t maxBytes, QObject *parent)
        : RingTableModel(maxRows, maxBytes, &rowBytes, parent)
    {}

    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 7; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        return text(index.row(), index.column());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 7)
            return {};
        return titles[std::size_t(section)];
    }

    QString text(int rowIndex, int column) const
    {
        const MonitorRow &r = row(rowIndex);
        const DebugRowText t = debugRowText(bytesOf(r.datagram), r.prefixLength);
        switch (column) {
        case 0:
            return QString::number(r.number);
        case 1:
            return QString::fromStdString(m_times.text(r.arrivalMs));
        case 2:
            return QString::fromStdString(kyvo::ipv4Text(r.sender));
        case 3:
            return QString::number(t.length);
        case 4:
            return QString::fromLatin1(bytesOf(t.prefix));
        case 5:
            return kyvo::fromGbk(bytesOf(t.ascii));
        case 6:
            return QString::fromStdString(kyvo::hexTextSpaced(t.data));
        default:
            return {};
        }
    }

    std::array<QString, 7> titles;

private:
    mutable LocalTimeCache m_times;
};

dbg::dbg(const Language &language, Options options, QWidget *parent)
    : QWidget(parent, Qt::Window), m_options(std::move(options)), m_language(language),
      m_receiver(kyvo::DebugReceiver::Options{.port = m_options.port, .wallClock = m_options.wallClock}, this)
{
    if (!m_options.chooseFolder)
        m_options.chooseFolder = [](QWidget *parent, const QString &title) {
            return QFileDialog::getExistingDirectory(parent, title);
        };
    m_model = new Model(m_options.maxRows, m_options.maxRowBytes, this);
    m_model->setGatherInterval(m_options.showIntervalMs);
    buildControls();
    buildLayout();
    connectControls();
    applyLanguage(language);
    connect(&m_receiver, &kyvo::DebugReceiver::datagramsArrived, this, &dbg::appendDatagrams);
    connect(&m_receiver, &kyvo::DebugReceiver::listening, this, &dbg::listening);
    connect(&m_receiver, &kyvo::DebugReceiver::bindFailed, this, [this] {
        m_portTaken = true;
        updateNotice();
    });
    m_receiver.start();
}

dbg::~dbg() = default;

void dbg::buildControls()
{
    const auto check = [this](int control, const char *text) {
        auto *box = new QCheckBox(QString::fromUtf8(text), this);
        if (control) setControlId(box, control);
        return box;
    };
    m_ui.clear = new QPushButton(QStringLiteral("清除"), this);
    setControlId(m_ui.clear, 1080);
    m_ui.stop = check(1033, "停止显示");
    m_ui.autoScroll = check(1034, "自动滚动");
    m_ui.log = check(1035, "日志");
    m_ui.logFile = new QPushButton(QStringLiteral("日志文件"), this);
    setControlId(m_ui.logFile, 1003);
    const char *channelTexts[] = {"uart", "tcpA", "tcpB", "modbus cache", "modbus poll", "io", "其他"};
    for (std::size_t i = 0; i < kDebugChannelCount; ++i) {
        m_ui.channels[i] = check(0, channelTexts[i]);
        m_ui.channels[i]->setChecked(m_monitor.filter.channels[i]);
    }
    setControlId(m_ui.channels[std::size_t(DebugChannel::Other)], 1010);
    m_ui.channels[std::size_t(DebugChannel::Io)]->hide();
    m_ui.gateway = new GatewayFilterBox([this] { rebuildGatewayFilter(); }, this);
    m_ui.gateway->setMinimumContentsLength(15);
    m_ui.logMode = new QComboBox(this);
    m_ui.statusArea = new QLabel(this);
    m_ui.statusArea->setMinimumSize(120, 20);
    m_ui.statusArea->installEventFilter(this);
    m_folder = new QLabel(this);
    m_folder->setMinimumWidth(200);
    m_notice = new QLabel(this);
    m_notice->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
    m_notice->hide();

    m_list = new QTableView(this);
    m_list->setModel(m_model);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    for (int c = 0; c < 7; ++c)
        m_list->setColumnWidth(c, kColumnWidths[c]);
    m_list->viewport()->installEventFilter(this);
    m_detailBox = new QPlainTextEdit(this);
    m_detailBox->setReadOnly(true);
    m_detailBox->setMaximumHeight(110);
}

void dbg::buildLayout()
{
    setProperty(kDialogIdProperty, kDialog);
    setWindowTitle(QStringLiteral("dbg"));
    auto *top = new QHBoxLayout;
    top->addWidget(m_ui.clear);
    top->addWidget(m_ui.stop);
    top->addWidget(m_ui.autoScroll);
    top->addSpacing(16);
    top->addWidget(m_ui.log);
    top->addWidget(m_ui.logMode);
    top->addWidget(m_ui.logFile);
    top->addWidget(m_folder, 1);
    top->addWidget(m_ui.statusArea);
    auto *filters = new QHBoxLayout;
    auto *devices = new QLabel(QStringLiteral("设备"), this);
    setControlId(devices, 1248);
    filters->addWidget(devices);
    filters->addWidget(m_ui.gateway);
    filters->addSpacing(16);
    const DebugChannel order[] = {DebugChannel::Uart, DebugChannel::ModbusCache, DebugChannel::ModbusPoll,
                                  DebugChannel::TcpA, DebugChannel::TcpB,        DebugChannel::Other,
                                  DebugChannel::Io};
    for (DebugChannel c : order)
        filters->addWidget(m_ui.channels[std::size_t(c)]);
    filters->addStretch();
    auto *v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addLayout(filters);
    v->addWidget(m_list, 1);
    v->addWidget(m_detailBox);
    v->addWidget(m_notice);
    resize(1200, 660);
}

void dbg::connectControls()
{
    connect(m_ui.clear, &QPushButton::clicked, this, [this] {
        m_model->clear();
        m_monitor.clearRows();
        m_detail.clear();
        m_detailBox->clear();
    });
    connect(m_ui.stop, &QCheckBox::toggled, this, [this](bool on) { m_monitor.filter.stopped = on; });
    for (std::size_t i = 0; i < kDebugChannelCount; ++i)
        connect(m_ui.channels[i], &QCheckBox::toggled, this,
                [this, i](bool on) { m_monitor.filter.channels[i] = on; });
    connect(m_ui.gateway, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_monitor.filter.gateway = std::max(0, index); });
    connect(m_ui.log, &QCheckBox::toggled, this, &dbg::updateLogSettings);
    connect(m_ui.logMode, &QComboBox::currentIndexChanged, this, &dbg::updateLogSettings);
    connect(m_ui.logFile, &QPushButton::clicked, this, &dbg::chooseFolder);
    connect(m_list, &QTableView::clicked, this,
            [this](const QModelIndex &index) { showDetail(index.row()); });
    // Rows arrive in groups; the last of each group is scrolled into view.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_ui.autoScroll->isChecked()) m_list->scrollToBottom();
    });
}

void dbg::applyLanguage(const Language &language)
{
    m_language = language;
    applyDialogTable(this, kDialog, m_language);
    for (std::size_t c = 0; c < 7; ++c)
        m_model->titles[c] = tr138(kColumnTitles[c]);
    Q_EMIT m_model->headerDataChanged(Qt::Horizontal, 0, 6);
    const int mode = m_ui.logMode->count() ? m_ui.logMode->currentIndex() : int(LogMode::Daily);
    {
        const QSignalBlocker block(m_ui.logMode);
        m_ui.logMode->clear();
        for (const char *text :
             {"写入一个文件", "按小时写入，每小时创建一个文件", "按天写入，每天创建一个文件"})
            m_ui.logMode->addItem(tr138(text));
        m_ui.logMode->setCurrentIndex(mode);
    }
    rebuildGatewayFilter();
    updateNotice();
}

void dbg::rebuildGatewayFilter()
{
    const QSignalBlocker block(m_ui.gateway);
    const int current = std::max(0, m_ui.gateway->currentIndex());
    m_ui.gateway->clear();
    m_ui.gateway->addItem(tr138("全部"));
    const GatewaySlots &slots = m_monitor.gateways();
    for (std::size_t i = 0; i < slots.count(); ++i)
        m_ui.gateway->addItem(QString::fromStdString(kyvo::ipv4Text(slots.address(i))));
    m_ui.gateway->setCurrentIndex(std::min(current, m_ui.gateway->count() - 1));
}

void dbg::chooseFolder()
{
    const QString title =
        m_language.isEnglish() ? QStringLiteral("Please choose a folder") : QStringLiteral("请选择文件夹");
    const QString folder = m_options.chooseFolder(this, title);
    if (folder.isEmpty()) return;
    m_folderPath = folder;
    m_folder->setText(folder);
    updateLogSettings();
}

QString dbg::folderText() const
{
    return m_folder->text();
}

void dbg::updateLogSettings()
{
    DebugLog::Settings s;
    s.enabled = m_ui.log->isChecked();
    s.folder = m_folderPath;
    s.mode = LogMode(std::clamp(m_ui.logMode->currentIndex(), 0, 2));
    m_monitor.log().setSettings(s);
    updateNotice();
}

void dbg::appendDatagrams(const QList<kyvo::DebugDatagram> &batch)
{
    const QString failedBefore = m_monitor.log().failedPath();
    std::vector<MonitorRow> rows = m_monitor.accept(batch);
    if (!rows.empty()) m_model->appendSoon(std::move(rows));
    if (m_monitor.log().failedPath() != failedBefore) updateNotice();
}

void dbg::updateNotice()
{
    QStringList lines;
    if (m_portTaken) lines << kyvo::portTakenText(m_options.port, m_language.isEnglish());
    const QString failed = m_monitor.log().failedPath();
    if (!failed.isEmpty()) lines << tr138("文件打不开") + QLatin1Char(' ') + failed;
    m_notice->setText(lines.join(QLatin1Char('\n')));
    m_notice->setVisible(!lines.isEmpty());
}

QString dbg::noticeText() const
{
    return m_notice->isHidden() ? QString() : m_notice->text();
}

int dbg::rowCount() const
{
    return m_model->rowCount();
}

QString dbg::cellText(int row, int column) const
{
    return m_model->text(row, column);
}

void dbg::showDetail(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_detail.clear();
    } else {
        m_detail = QStringLiteral("ASCII : ") + cellText(row, 5) + QStringLiteral("\r\n\r\n\r\nHEX : ") +
                   cellText(row, 6);
    }
    QString shown = m_detail;
    m_detailBox->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

bool dbg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui.statusArea && event->type() == QEvent::MouseButtonPress) {
        if (++m_statusClicks >= kStatusClicksForIo) m_ui.channels[std::size_t(DebugChannel::Io)]->show();
    } else if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_list->indexAt(mouse->position().toPoint()).isValid()) {
            m_list->clearSelection();
            showDetail(-1);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vorlet
