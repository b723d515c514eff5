// The WiFi scan list.
#include "pelmar/advanced/scan_list_dialog.h"

#include "common/gbk_text.h"
#include "pelmar/lang/english_supplement.h"
#include "pelmar/lang/language_table.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pelmar {

namespace {

constexpr int kSearchingSlot = 348, kTimedOutSlot = 352, kDoubleClickSlot = 356;
constexpr int kColumnWidth = 175;
constexpr int kPollMs = 100;
constexpr int kMaxRows = 512; // a datagram of 5120 bytes holds fewer names

} // namespace

ScanListDialog::ScanListDialog(const LanguageTable &language, const kyvo::Clock *clock, QWidget *parent)
    : QDialog(parent), m_language(language), m_clock(clock)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    setWindowTitle(inLanguage(m_language.language(), "SCAN   双击选择"));
    m_list = new QTableWidget(0, 1, this);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->resizeSection(0, kColumnWidth);
    m_list->horizontalHeader()->setStretchLastSection(true);
    auto *v = new QVBoxLayout(this);
    v->addWidget(m_list);
    resize(kColumnWidth + 60, 300);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { choose(row); });
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &ScanListDialog::poll);
    connect(this, &QDialog::finished, this, [this] { m_timer.stop(); });
}

ScanListDialog::~ScanListDialog() = default;

void ScanListDialog::startScan(const MacTail &tail)
{
    m_tail = tail;
    m_choseThisTime = false;
    m_list->setRowCount(0);
    m_countdown.start(m_clock->now());
    showHeader();
    m_timer.start();
    setWindowModality(Qt::WindowModal);
    open();
}

void ScanListDialog::poll()
{
    if (m_countdown.poll(m_clock->now())) showHeader();
    if (m_countdown.state() != ScanCountdown::State::Searching) m_timer.stop();
}

void ScanListDialog::takeReply(const QByteArray &datagram)
{
    const kyvo::ByteView bytes(reinterpret_cast<const std::uint8_t *>(datagram.constData()),
                               std::size_t(datagram.size()));
    if (!isVisible() || frameMacTail(bytes) != m_tail) return;
    m_timer.stop();
    m_countdown.answer();
    showHeader();
    const std::vector<std::string> names = scanReplyNetworks(bytes);
    m_list->setRowCount(0);
    for (const std::string &name : names) {
        if (m_list->rowCount() >= kMaxRows) break;
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        m_list->setItem(row, 0, new QTableWidgetItem(kyvo::fromGbk(QByteArray::fromStdString(name))));
    }
}

QString ScanListDialog::header() const
{
    const QTableWidgetItem *item = m_list->horizontalHeaderItem(0);
    return item ? item->text() : QString();
}

void ScanListDialog::showHeader()
{
    QString text;
    switch (m_countdown.state()) {
    case ScanCountdown::State::Searching:
        text = QStringLiteral("%1  %2").arg(m_language.text(kSearchingSlot)).arg(m_countdown.remaining());
        break;
    case ScanCountdown::State::TimedOut:
        text = m_language.text(kTimedOutSlot);
        break;
    case ScanCountdown::State::Answered:
        text = m_language.text(kDoubleClickSlot);
        break;
    case ScanCountdown::State::Idle:
        break;
    }
    m_list->setHorizontalHeaderItem(0, new QTableWidgetItem(text));
}

void ScanListDialog::choose(int row)
{
    const QTableWidgetItem *item = m_list->item(row, 0);
    if (!item) return;
    m_chosen = item->text();
    m_choseThisTime = true;
    accept();
}

} // namespace pelmar
