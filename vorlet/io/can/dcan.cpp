// The CAN panel.
#include "vorlet/io/can/dcan.h"

#include "vorlet/io/can/can_timing.h"
#include "vorlet/io/can/canbitrate.h"
#include "vorlet/io/can/canhf.h"
#include "vorlet/io/can/caninfo.h"
#include "vorlet/io/can/cansend.h"
#include "vorlet/io/can/cansf.h"
#include "vorlet/services/panel_support.h"
#include "vorlet/ui/record_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace vorlet::can {

using namespace dcancontrol;

dcan::dcan(const PanelEnvironment &env, QWidget *parent) : FieldPortPanel(parent), m_env(env)
{
    setProperty(kDialogIdProperty, kPanelDialog);
    build();
    retranslate(language());
}

const Language &dcan::language() const
{
    return languageOr(m_env.language);
}

QString dcan::tr(const char *chinese) const
{
    return language().translate(kPanelDialog, chinese);
}

void dcan::build()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto label = [this](int id, const char *caption) { return numbered(new QLabel(zh(caption), this), id); };
    auto link = [this](int id, const char *caption) { return linkLabel(this, id, zh(caption)); };

    m_bitRate = numbered(new QComboBox(this), kBitRate);
    m_customRate = numbered(new QLabel(this), kCustomRate);
    m_customSet = link(kBitRateSet, "设置");
    m_format = numbered(new QComboBox(this), kFormat);
    m_hardware = numbered(new QCheckBox(zh("硬件ID过滤器"), this), kHardwareFilter);
    m_smartFilter = numbered(new QCheckBox(zh("智能报文过滤器"), this), kSmartFilter);
    m_senders = numbered(new QCheckBox(zh("智能报文发送器"), this), kSenders);
    m_status = numbered(new QLabel(this), kStatus);
    m_status->setStyleSheet(QStringLiteral("color: rgb(0,128,0)"));
    QLabel *formatHelp = link(kFormatHelp, "查看详细格式");
    QLabel *hardwareSet = link(kHardwareSet, "设置");
    QLabel *smartFilterSet = link(kSmartFilterSet, "设置");
    QLabel *sendersSet = link(kSendersSet, "设置");

    grid->addWidget(label(kBitRateLabel, "波特率"), 0, 0);
    grid->addWidget(m_bitRate, 0, 1);
    grid->addWidget(m_customRate, 0, 2);
    grid->addWidget(m_customSet, 0, 3);
    grid->addWidget(label(kFormatLabel, "包格式"), 1, 0);
    grid->addWidget(m_format, 1, 1, 1, 2);
    grid->addWidget(formatHelp, 1, 3);
    const std::pair<QCheckBox *, QLabel *> rows[] = {
        {m_hardware, hardwareSet}, {m_smartFilter, smartFilterSet}, {m_senders, sendersSet}};
    int row = 2;
    for (const auto &[box, set] : rows) {
        grid->addWidget(box, row, 0, 1, 2);
        grid->addWidget(set, row++, 2);
    }
    grid->addWidget(m_status, row++, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(row, 1);

    connect(m_bitRate, &QComboBox::currentIndexChanged, this, [this] { showCustomRate(); });
    connect(m_customSet, &QLabel::linkActivated, this, [this] { openBitRate(); });
    connect(formatHelp, &QLabel::linkActivated, this, [this] { openFormatHelp(); });
    connect(hardwareSet, &QLabel::linkActivated, this, [this] { openHardwareFilter(); });
    connect(smartFilterSet, &QLabel::linkActivated, this, [this] { openSmartFilters(); });
    connect(sendersSet, &QLabel::linkActivated, this, [this] { openSenders(); });
}

void dcan::retranslate(const Language &l)
{
    {
        const QSignalBlocker quiet(m_bitRate);
        const int selected = m_bitRate->currentIndex();
        m_bitRate->clear();
        for (std::size_t i = 0; i + 1 < std::size(kBitRateItems); ++i)
            m_bitRate->addItem(QString::fromUtf8(kBitRateItems[i]));
        m_bitRate->addItem(ownText(l, kCustomItem));
        m_bitRate->setCurrentIndex(std::max(0, selected));
    }
    setTranslatedItems(m_format, l, kPanelDialog, kPacketFormats);
    applyDialogTable(this, kPanelDialog, l);
    showCustomRate();
    showCounters();
}

void dcan::load(const ParameterRecord &record)
{
    // A dialog opened on the device shown before never reaches this one.
    closeDialog();
    m_block = record.poll.can;
    m_counters = {record.canReceived.get(), record.canSent.get(), record.canFiltered.get(),
                  record.canBusState};
    if (m_block.bitRateIndex > kCustomBitRate) m_block.bitRateIndex = 0;
    {
        const QSignalBlocker quiet(m_bitRate);
        m_bitRate->setCurrentIndex(m_block.bitRateIndex);
    }
    selectStoredIndex(m_format, m_block.packetFormat);
    m_hardware->setChecked(m_block.hardwareFilter != 0);
    m_smartFilter->setChecked(m_block.smartFilter != 0);
    m_senders->setChecked(m_block.smartSender != 0);
    showCustomRate();
    showCounters();
}

void dcan::store(ParameterRecord &record) const
{
    CanBlock block = m_block;
    block.bitRateIndex = selectedIndex(m_bitRate);
    block.packetFormat = selectedIndex(m_format);
    block.hardwareFilter = m_hardware->isChecked() ? 1 : 0;
    block.smartFilter = m_smartFilter->isChecked() ? 1 : 0;
    block.smartSender = m_senders->isChecked() ? 1 : 0;
    record.poll.can = block;
}

void dcan::showCustomRate()
{
    const bool custom = m_bitRate->currentIndex() == kCustomBitRate;
    m_customRate->setVisible(custom);
    m_customSet->setVisible(custom);
    if (!custom) return;
    const Timing t = timingWithDefaults(storedTiming(m_block));
    m_block.brp = std::uint16_t(t.brp);
    m_block.tseg1 = std::uint8_t(t.tseg1);
    m_block.tseg2 = std::uint8_t(t.tseg2);
    m_customRate->setText(QString::asprintf("%0.3f k", actualRate(t) / 1000.0));
}

void dcan::showCounters()
{
    const QString bus = tr(m_counters.busState == 1 ? "错误" : "正常");
    m_status->setText(formatText(tr("接收:%d  发送:%d  过滤掉: %d   总线状态:%s"), int(m_counters.received),
                                 int(m_counters.sent), int(m_counters.filtered), bus.toUtf8().constData()));
}

void dcan::closeDialog()
{
    if (m_dialog) m_dialog->reject();
    m_dialog = nullptr;
}

void dcan::openCanDialog(CanDialog *dialog)
{
    closeDialog();
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    connect(dialog, &QDialog::accepted, this, [this, dialog] { dialog->apply(m_block); });
    connect(dialog, &QDialog::finished, this, [this] { showCustomRate(); });
    dialog->open();
}

void dcan::openBitRate()
{
    openCanDialog(new canbitrate(m_block, language(), this));
}

void dcan::openHardwareFilter()
{
    openCanDialog(new canhf(m_block, language(), this));
}

void dcan::openSmartFilters()
{
    openCanDialog(new cansf(m_block, language(), this));
}

void dcan::openSenders()
{
    openCanDialog(new cansend(m_block, language(), this));
}

void dcan::openFormatHelp()
{
    closeDialog();
    auto *help = new caninfo(language(), this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = help;
    help->open();
}

} // namespace vorlet::can
