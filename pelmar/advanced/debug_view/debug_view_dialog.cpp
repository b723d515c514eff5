// The serial servers' debug view.
#include "pelmar/advanced/debug_view/debug_view_dialog.h"

#include "pelmar/lang/language_table.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace pelmar {

namespace {

std::size_t rowBytes(const DebugViewDialog::Row &row)
{
    return std::size_t(row.bytes.size()) + 64;
}

} // namespace

class DebugViewDialog::Model : public kyvo::RingTableModel<Row>
{
public:
    Model(std::size_t maxRows, QObject *parent) : RingTableModel(maxRows, std::size_t(-1), &rowBytes, parent)
    {}

    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 1; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        const Row &r = row(index.row());
        return DebugViewDialog::rowText(r.arrivalMs, r.bytes);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
            return QStringLiteral(" ");
        return {};
    }
};

DebugViewDialog::DebugViewDialog(const LanguageTable &language, Options options, QWidget *parent)
    : QDialog(parent), m_options(std::move(options)), m_english(language.language() == Language::English),
      m_receiver(kyvo::DebugReceiver::Options{.port = m_options.port,
                                              .maxDatagram = kMaxDatagram,
                                              .wallClock = m_options.wallClock},
                 this)
{
    buildLayout(m_english);
    connect(&m_receiver, &kyvo::DebugReceiver::datagramsArrived, this, &DebugViewDialog::appendDatagrams);
    connect(&m_receiver, &kyvo::DebugReceiver::listening, this, &DebugViewDialog::listening);
    connect(&m_receiver, &kyvo::DebugReceiver::bindFailed, this, &DebugViewDialog::showPortTaken);
    m_receiver.start();
}

DebugViewDialog::~DebugViewDialog() = default;

void DebugViewDialog::buildLayout(bool english)
{
    setWindowTitle(QStringLiteral("MQTT DEBUG"));
    m_stop = new QCheckBox(english ? QStringLiteral("Stop") : QStringLiteral("停止"), this);
    m_autoScroll = new QCheckBox(english ? QStringLiteral("Auto scroll") : QStringLiteral("自动滚动"), this);
    m_autoScroll->setChecked(true);
    m_model = new Model(m_options.maxRows, this);
    m_model->setGatherInterval(m_options.showIntervalMs);
    m_list = new QTableView(this);
    m_list->setModel(m_model);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 500);
    m_status = new QLabel(this);
    m_status->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
    m_status->hide();

    auto *top = new QHBoxLayout;
    top->addWidget(m_stop);
    top->addWidget(m_autoScroll);
    top->addStretch();
    auto *v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(m_list, 1);
    v->addWidget(m_status);
    resize(560, 420);

    connect(m_stop, &QCheckBox::toggled, this, [this](bool stopped) { m_receiver.setHeld(stopped); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_autoScroll->isChecked()) m_list->scrollToBottom();
    });
}

QString DebugViewDialog::rowText(qint64 arrivalMs, const QByteArray &data)
{
    return debugViewRowText(arrivalMs, data);
}

int DebugViewDialog::rowCount() const
{
    return m_model->rowCount();
}

QString DebugViewDialog::rowText(int row) const
{
    const Row &r = m_model->row(row);
    return rowText(r.arrivalMs, r.bytes);
}

QString DebugViewDialog::statusText() const
{
    return m_status->isHidden() ? QString() : m_status->text();
}

void DebugViewDialog::appendDatagrams(const QList<kyvo::DebugDatagram> &batch)
{
    std::vector<Row> rows;
    rows.reserve(std::size_t(batch.size()));
    for (const kyvo::DebugDatagram &d : batch) {
        const qsizetype zero = d.data.indexOf('\0');
        rows.push_back({d.arrivalMs, zero < 0 ? d.data : d.data.first(zero)});
    }
    m_model->appendSoon(std::move(rows));
}

void DebugViewDialog::showPortTaken()
{
    m_portTaken = true;
    m_status->setText(kyvo::portTakenText(m_options.port, m_english));
    m_status->show();
}

} // namespace pelmar
