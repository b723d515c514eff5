// The socket panel.
#include "vorlet/services/tcp_panel.h"
#include "common/widgets/long_texts.h"

#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/record_texts.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace vorlet {

using namespace tcpcontrol;

TcpPanel::TcpPanel(int channel, const PanelEnvironment &env, std::shared_ptr<ServiceContext> context,
                   QWidget *parent)
    : ServicePanel(kTcpDialog, channel, env, std::move(context), parent)
{
    build();
    retranslate(language());
    showFlags();
    applyModeEnabling(0);
    QObject::connect(&flags(), &PacketHexFlags::changed, this, [this] { showFlags(); });
}

void TcpPanel::build()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto label = [this](int id, const char *caption) { return numbered(new QLabel(zh(caption), this), id); };
    auto edit = [this](int id) { return numbered(new QLineEdit(this), id); };
    auto hexBox = [this](int id) { return numbered(new QCheckBox(QStringLiteral("hex"), this), id); };

    m_targetAddress = edit(kTargetAddress);
    m_targetPort = edit(kTargetPort);
    m_localPort = edit(kLocalPort);
    m_multicast = numbered(new QCheckBox(zh("组播"), this), kMulticast);
    m_heartbeatEdit = edit(kHeartbeat);
    m_heartbeatHex = hexBox(kHeartbeatHex);
    m_interval = edit(kInterval);
    m_registrationMode = numbered(new QComboBox(this), kRegistrationMode);
    kyvo::fitLongItems(m_registrationMode);
    m_registrationMode->view()->setMinimumWidth(300);
    m_registrationEdit = edit(kRegistration);
    m_registrationHex = hexBox(kRegistrationHex);
    m_targetAddress->setMinimumWidth(130);
    for (QLineEdit *number : {m_targetPort, m_localPort, m_interval})
        number->setMinimumWidth(60);
    m_heartbeat = PacketEdit(m_heartbeatEdit);
    m_registration = PacketEdit(m_registrationEdit);

    grid->addWidget(label(kTargetAddressLabel, "目标IP"), 0, 0);
    grid->addWidget(m_targetAddress, 0, 1);
    grid->addWidget(label(kTargetPortLabel, "目标端口"), 0, 2);
    grid->addWidget(m_targetPort, 0, 3);
    grid->addWidget(label(kLocalPortLabel, "本地端口"), 1, 0);
    grid->addWidget(m_localPort, 1, 1);
    grid->addWidget(m_multicast, 1, 3);
    grid->addWidget(label(kHeartbeatLabel, "心跳包数据"), 2, 0);
    grid->addWidget(m_heartbeatEdit, 2, 1, 1, 3);
    grid->addWidget(m_heartbeatHex, 2, 4);
    grid->addWidget(label(kIntervalLabel, "心跳包时间"), 3, 0);
    grid->addWidget(m_interval, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("s"), this), 3, 2);
    grid->addWidget(label(kRegistrationModeLabel, "注册包模式"), 4, 0);
    grid->addWidget(m_registrationMode, 4, 1, 1, 3);
    grid->addWidget(label(kRegistrationLabel, "注册包数据"), 5, 0);
    grid->addWidget(m_registrationEdit, 5, 1, 1, 3);
    grid->addWidget(m_registrationHex, 5, 4);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1); // rows stay together in a tall place

    // A click on either box stores both flags at once.
    auto storeFlags = [this] { flags().store(m_registrationHex->isChecked(), m_heartbeatHex->isChecked()); };
    QObject::connect(m_heartbeatHex, &QCheckBox::clicked, this, storeFlags);
    QObject::connect(m_registrationHex, &QCheckBox::clicked, this, storeFlags);
}

void TcpPanel::retranslate(const Language &language)
{
    setTranslatedItems(m_registrationMode, language, kTcpDialog, kTcpRegistrationModes);
    applyDialogTable(this, kTcpDialog, language);
}

void TcpPanel::showFlags()
{
    m_heartbeatHex->setChecked(flags().heartbeatHex());
    m_registrationHex->setChecked(flags().registrationHex());
}

void TcpPanel::applyModeEnabling(int mode)
{
    const QList<QWidget *> client = {m_targetAddress, m_targetPort,       m_localPort,       m_heartbeatEdit,
                                     m_interval,      m_registrationMode, m_registrationEdit};
    for (QWidget *w : client)
        w->setEnabled(false);
    m_multicast->setEnabled(false);
    switch (mode) {
    case 1: // TCP server
    case 3: // UDP server
    case 7: // WebSocket server
        m_localPort->setEnabled(true);
        break;
    case 4: // UDP client
        m_multicast->setEnabled(true);
        [[fallthrough]];
    case 2: // TCP client
        for (QWidget *w : client)
            w->setEnabled(true);
        break;
    default: // the modes that show another panel or none
        break;
    }
}

void TcpPanel::load(const ChannelBlock &block)
{
    m_targetAddress->setText(gbkFieldText(block.targetAddress));
    m_targetPort->setText(QString::number(block.targetPort.get()));
    m_localPort->setText(QString::number(block.localPort.get()));
    m_interval->setText(QString::number(block.heartbeatIntervalS.get()));
    selectStoredIndex(m_registrationMode, block.registrationMode);
    m_multicast->setChecked(block.multicast != 0);
    showFlags();
    m_heartbeat.load(block.heartbeatData, block.heartbeatLength, flags().heartbeatHex());
    m_registration.load(block.registrationData, block.registrationLength, flags().registrationHex());
    applyModeEnabling(block.workMode);
    kyvo::showTextStarts(this);
}

void TcpPanel::store(ChannelBlock &block) const
{
    setGbkField(block.targetAddress, m_targetAddress->text(), sizeof block.targetAddress - 1);
    block.targetPort = u16Value(m_targetPort->text());
    block.localPort = u16Value(m_localPort->text());
    block.heartbeatIntervalS = u16Value(m_interval->text());
    m_heartbeat.store(block.heartbeatData, block.heartbeatLength, flags().heartbeatHex());
    block.registrationMode = selectedIndex(m_registrationMode);
    m_registration.store(block.registrationData, block.registrationLength, flags().registrationHex());
    block.multicast = m_multicast->isChecked() ? 1 : 0;
}

QStringList TcpPanel::problems() const
{
    if (m_heartbeat.parses(flags().heartbeatHex()) && m_registration.parses(flags().registrationHex()))
        return {};
    return {hexErrorText()};
}

} // namespace vorlet
