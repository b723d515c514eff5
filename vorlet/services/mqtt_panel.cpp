// The MQTT panel.
#include "vorlet/services/mqtt_panel.h"
#include "common/widgets/long_texts.h"

#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/record_texts.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <memory>

namespace vorlet {

using namespace mqttcontrol;

namespace {
constexpr std::size_t kHostLimit = 127; // host, user, password, client id
constexpr std::size_t kTopicLimit = 64; // each topic
} // namespace

QString cloudHelpText(const Language &language, const QString &brokerAddress)
{
    const QString text =
        language.isEnglish()
            ? QStringLiteral("1.EnableMQTT\n2.Server:%1\n3.Port\uFF1A1883\n4.UserName\uFF1ADEVSN\n"
                             "5.PWD\uFF1ACommunication password\n6.KEEPALIVE:120")
                  .arg(brokerAddress)
            : zh("1.启用MQTT\n2.服务器:%1\n3.端口：1883\n4.用户名：设备SN\n5.密码：通讯密码\n6.KEEPALIVE:120")
                  .arg(brokerAddress);
    return language.translate(kMqttDialog, text);
}

MqttPanel::MqttPanel(int channel, const PanelEnvironment &env, std::shared_ptr<ServiceContext> context,
                     QWidget *parent)
    : ServicePanel(kMqttDialog, channel, env, std::move(context), parent)
{
    build();
    retranslate(language());
    m_registrationHex->setChecked(flags().registrationHex());
    applyEnabling();
    QObject::connect(&flags(), &PacketHexFlags::changed, this,
                     [this] { m_registrationHex->setChecked(flags().registrationHex()); });
}

void MqttPanel::build()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto label = [this](int id, const char *caption) { return numbered(new QLabel(zh(caption), this), id); };
    auto edit = [this](int id) { return numbered(new QLineEdit(this), id); };

    m_broker = edit(kBroker);
    m_port = edit(kPort);
    m_user = edit(kUser);
    m_password = edit(kPassword);
    m_clientId = edit(kClientId);
    m_keepAlive = edit(kKeepAlive);
    m_subscribe = edit(kSubscribe);
    m_publish = edit(kPublish);
    m_registrationEdit = edit(kRegistration);
    m_registration = PacketEdit(m_registrationEdit);
    for (QLineEdit *text : {m_broker, m_user, m_clientId})
        text->setMinimumWidth(110);
    m_qos = numbered(new QComboBox(this), kQos);
    m_tls = numbered(new QCheckBox(QStringLiteral("SSL"), this), kTls);
    m_will = numbered(new QCheckBox(zh("遗嘱"), this), kWill);
    m_willSet = linkLabel(this, kWillSet, zh("设置"));
    m_cloud = numbered(new QComboBox(this), kCloud);
    m_cloudSet = linkLabel(this, kCloudSet, zh("设置"));
    m_registrationMode = numbered(new QComboBox(this), kRegistrationMode);
    m_registrationMode->view()->setMinimumWidth(260);
    m_registrationHex = numbered(new QCheckBox(QStringLiteral("hex"), this), kRegistrationHex);

    grid->addWidget(label(kBrokerLabel, "服务器"), 0, 0);
    grid->addWidget(m_broker, 0, 1);
    grid->addWidget(label(kPortLabel, "端口"), 0, 2);
    grid->addWidget(m_port, 0, 3);
    grid->addWidget(label(kUserLabel, "用户名"), 1, 0);
    grid->addWidget(m_user, 1, 1);
    grid->addWidget(label(kPasswordLabel, "密码"), 1, 2);
    grid->addWidget(m_password, 1, 3);
    grid->addWidget(label(kClientIdLabel, "设备ID"), 2, 0);
    grid->addWidget(m_clientId, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("KeepAlive"), this), 2, 2);
    grid->addWidget(m_keepAlive, 2, 3);
    auto *options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("QOS"), this));
    options->addWidget(m_qos);
    options->addWidget(m_tls);
    options->addWidget(m_will);
    options->addWidget(m_willSet);
    options->addStretch();
    options->addWidget(m_cloud);
    options->addWidget(m_cloudSet);
    grid->addLayout(options, 3, 0, 1, 4);
    grid->addWidget(label(kSubscribeLabel, "订阅Topic"), 4, 0);
    grid->addWidget(m_subscribe, 4, 1, 1, 3);
    grid->addWidget(label(kPublishLabel, "发布Topic"), 5, 0);
    grid->addWidget(m_publish, 5, 1, 1, 3);
    auto *registration = new QHBoxLayout;
    registration->addWidget(m_registrationMode);
    registration->addWidget(m_registrationEdit, 1);
    registration->addWidget(m_registrationHex);
    grid->addLayout(registration, 6, 0, 1, 4);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(7, 1); // rows stay together in a tall place

    QObject::connect(m_registrationHex, &QCheckBox::clicked, this,
                     [this](bool on) { flags().storeRegistrationHex(on); });
    QObject::connect(m_will, &QCheckBox::clicked, this, [this] { applyEnabling(); });
    QObject::connect(m_cloud, &QComboBox::currentIndexChanged, this, [this] { applyEnabling(); });
    QObject::connect(m_willSet, &QLabel::linkActivated, this, [this] { openWill(); });
    QObject::connect(m_cloudSet, &QLabel::linkActivated, this, [this] { openCloud(); });
}

void MqttPanel::retranslate(const Language &language)
{
    setTranslatedItems(m_qos, language, kMqttDialog, kQosLevels);
    setTranslatedItems(m_cloud, language, kMqttDialog, kCloudPlatforms);
    setTranslatedItems(m_registrationMode, language, kMqttDialog, kMqttRegistrationModes);
    applyDialogTable(this, kMqttDialog, language);
}

void MqttPanel::applyEnabling()
{
    m_cloudSet->setEnabled(m_cloud->currentIndex() > 0);
    m_willSet->setEnabled(m_will->isChecked());
}

void MqttPanel::openWill()
{
    if (!m_willSet->isEnabled()) return;
    std::unique_ptr<TextFieldsDialog> dialog(newWillDialog(m_willFields, language(), window()));
    runServiceDialog(options(), *dialog);
}

void MqttPanel::openCloud()
{
    if (!m_cloudSet->isEnabled()) return;
    if (m_cloud->currentIndex() != kCloudWithTriple) {
        showMessage(cloudHelpText(language(), options().cloudBrokerAddress));
        return;
    }
    std::unique_ptr<TextFieldsDialog> dialog(newCloudDialog(m_cloudFields, language(), window()));
    runServiceDialog(options(), *dialog);
}

void MqttPanel::load(const ChannelBlock &block)
{
    m_broker->setText(gbkFieldText(block.brokerHost));
    m_port->setText(QString::number(block.brokerPort.get()));
    m_user->setText(gbkFieldText(block.mqttUser));
    m_password->setText(gbkFieldText(block.mqttPassword));
    m_clientId->setText(gbkFieldText(block.mqttClientId));
    m_keepAlive->setText(QString::number(block.keepAlive.get()));
    selectStoredIndex(m_qos, block.qos);
    m_will->setChecked(block.willEnabled != 0);
    m_subscribe->setText(gbkFieldText(block.subscribeTopics[0]));
    m_publish->setText(gbkFieldText(block.publishTopics[0]));
    m_tls->setChecked(block.mqttTls != 0);
    selectStoredIndex(m_cloud, block.cloudPlatform);
    kyvo::setFieldFull(m_willFields.topic, block.willTopic);
    kyvo::setFieldFull(m_willFields.message, block.willMessage);
    kyvo::setFieldFull(m_cloudFields.productKey, block.productKey);
    kyvo::setFieldFull(m_cloudFields.deviceName, block.cloudDeviceName);
    kyvo::setFieldFull(m_cloudFields.deviceSecret, block.deviceSecret);
    selectStoredIndex(m_registrationMode, block.registrationMode);
    m_registrationHex->setChecked(flags().registrationHex());
    m_registration.load(block.registrationData, block.registrationLength, flags().registrationHex());
    applyEnabling();
    kyvo::showTextStarts(this);
}

void MqttPanel::store(ChannelBlock &block) const
{
    setGbkField(block.brokerHost, m_broker->text(), kHostLimit);
    block.brokerPort = u16Value(m_port->text());
    setGbkField(block.mqttUser, m_user->text(), kHostLimit);
    setGbkField(block.mqttPassword, m_password->text(), kHostLimit);
    setGbkField(block.mqttClientId, m_clientId->text(), kHostLimit);
    block.keepAlive = u16Value(m_keepAlive->text());
    block.qos = selectedIndex(m_qos);
    block.willEnabled = m_will->isChecked() ? 1 : 0;
    setGbkField(block.subscribeTopics[0], m_subscribe->text(), kTopicLimit);
    setGbkField(block.publishTopics[0], m_publish->text(), kTopicLimit);
    block.mqttTls = m_tls->isChecked() ? 1 : 0;
    block.cloudPlatform = selectedIndex(m_cloud);
    kyvo::setFieldFull(block.willTopic, m_willFields.topic);
    kyvo::setFieldFull(block.willMessage, m_willFields.message);
    kyvo::setFieldFull(block.productKey, m_cloudFields.productKey);
    kyvo::setFieldFull(block.cloudDeviceName, m_cloudFields.deviceName);
    kyvo::setFieldFull(block.deviceSecret, m_cloudFields.deviceSecret);
    block.registrationMode = selectedIndex(m_registrationMode);
    m_registration.store(block.registrationData, block.registrationLength, flags().registrationHex());
}

QStringList MqttPanel::problems() const
{
    if (m_registration.parses(flags().registrationHex())) return {};
    return {hexErrorText()};
}

} // namespace vorlet
