// The MQTT dialog: its controls, the read when it opens, the checks and the save.
#include "pelmar/advanced/tlv_dialogs/mqtt_dialog.h"

#include "common/decimal.h"
#include "common/gbk_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pelmar {

namespace {

constexpr std::uint8_t kServer = 0x0A, kUser = 0x0C, kPassword = 0x0D, kClientId = 0x0E, kWillTopic = 0x12,
                       kWillMessage = 0x1C, kSubscribe = 0x13, kPublish = 0x14, kProductKey = 0x16,
                       kDeviceName = 0x17, kDeviceSecret = 0x18;

constexpr char kAlibabaHelp[] = "必须设置的参数1.启用 MQTT 2.服务器 3. 端口 4.keepalive 60 5.订阅TOPIC "
                                "6.发布TOPIC\r\n阿里云topic规则:/product "
                                "key/device name/user/topic ,请按照此方式填写 订阅topic 和 发布topic";
constexpr char kAlibabaHelpEnglish[] = "Settings needed: 1. Enable MQTT 2. Server 3. Port 4. KEEPALIVE 60 5. "
                                       "Subscribe TOPIC 6. Publish TOPIC\r\n"
                                       "Alibaba Cloud topics: /product key/device name/user/topic; fill in "
                                       "the subscribe and publish TOPIC this way.";

QString number(unsigned v)
{
    return QString::number(v);
}

unsigned decimal(const QLineEdit *e)
{
    return unsigned(kyvo::parseDecimal32(e->text().toStdString()));
}

} // namespace

MqttDialog::MqttDialog(const SubDialogTarget &target, const LanguageTable &language, SubDialogOptions options,
                       QWidget *parent)
    : SubDialog(target, language, std::move(options), parent)
{
    build();
    setWindowTitle(QStringLiteral("PORT%1 MQTT").arg(this->target().port + 1));
    read();
}

void MqttDialog::build()
{
    auto *grid = new QGridLayout(this);
    const auto label = [&](const char *text, int row, int column) {
        grid->addWidget(new QLabel(t(text), this), row, column);
    };
    const auto textEdit = [&](std::uint8_t type, const char *caption, int row, int column, int span = 1) {
        auto *e = new QLineEdit(this);
        m_texts[type] = e;
        label(caption, row, column);
        grid->addWidget(e, row, column + 1, 1, span);
        return e;
    };
    textEdit(kServer, "服务器", 0, 0, 3);
    label("端口", 1, 0);
    m_port = new QLineEdit(this);
    grid->addWidget(m_port, 1, 1);
    label("KEEPALIVE", 1, 2);
    m_keepAlive = new QLineEdit(this);
    grid->addWidget(m_keepAlive, 1, 3);
    textEdit(kUser, "用户名", 2, 0);
    textEdit(kPassword, "密码", 2, 2);
    textEdit(kClientId, "设备ID", 3, 0);
    label("QOS", 3, 2);
    m_qos = new QComboBox(this);
    m_qos->addItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
    grid->addWidget(m_qos, 3, 3);
    m_will = new QCheckBox(t("遗嘱"), this);
    grid->addWidget(m_will, 4, 0);
    textEdit(kWillTopic, "TOPIC", 4, 1);
    textEdit(kWillMessage, "MSG", 5, 1);
    textEdit(kSubscribe, "订阅TOPIC", 6, 0, 3);
    textEdit(kPublish, "发布TOPIC", 7, 0, 3);
    m_retain = new QCheckBox(QStringLiteral("Retain"), this);
    m_enable = new QCheckBox(t("启用MQTT"), this);
    m_tls = new QCheckBox(t("SSL (不支持认证)"), this);
    grid->addWidget(m_retain, 8, 0);
    grid->addWidget(m_enable, 8, 1);
    grid->addWidget(m_tls, 8, 2);
    m_version = new QComboBox(this);
    for (const char *v : {"AUTO", "TLSv1", "TLSv1.1", "TLSv1.2", "SSLv2.3"})
        m_version->addItem(QString::fromLatin1(v));
    auto *version = new QHBoxLayout;
    version->addWidget(new QLabel(t("版本"), this));
    version->addWidget(m_version);
    grid->addLayout(version, 8, 3);

    auto *alibaba = new QGroupBox(t("阿里云（不用请忽略）"), this);
    auto *a = new QGridLayout(alibaba);
    m_alibaba = new QCheckBox(t("启用"), alibaba);
    m_alibabaHelp = new QPushButton(QStringLiteral("?"), alibaba);
    a->addWidget(m_alibaba, 0, 0);
    a->addWidget(m_alibabaHelp, 0, 2);
    int row = 1;
    for (auto [type, caption] : {std::pair{kProductKey, "Product Key"}, std::pair{kDeviceName, "Device Name"},
                                 std::pair{kDeviceSecret, "Device Secret"}}) {
        auto *e = new QLineEdit(alibaba);
        m_texts[type] = e;
        a->addWidget(new QLabel(QString::fromLatin1(caption), alibaba), row, 0);
        a->addWidget(e, row++, 1, 1, 2);
    }
    grid->addWidget(alibaba, 9, 0, 1, 4);

    auto *maker = new QGroupBox(t("凯沃云（透传）（不用请忽略）"), this);
    auto *m = new QHBoxLayout(maker);
    m_maker = new QCheckBox(t("启用"), maker);
    m_makerHelp = new QPushButton(QStringLiteral("?"), maker);
    m->addWidget(m_maker);
    m->addStretch(1);
    m->addWidget(m_makerHelp);
    grid->addWidget(maker, 10, 0, 1, 4);

    for (QPushButton *help : {m_alibabaHelp, m_makerHelp})
        help->setFixedWidth(help->fontMetrics().horizontalAdvance(QStringLiteral("??")) + 16);
    m_save = new QPushButton(t("保存"), this);
    m_debug = new QPushButton(t("调试运行程序"), this);
    grid->addWidget(statusLabel(), 11, 0, 1, 2);
    grid->addWidget(m_debug, 11, 2);
    grid->addWidget(m_save, 11, 3);

    // The two clouds exclude each other.
    connect(m_alibaba, &QCheckBox::clicked, this, [this](bool on) {
        if (on) m_maker->setChecked(false);
    });
    connect(m_maker, &QCheckBox::clicked, this, [this](bool on) {
        if (on) m_alibaba->setChecked(false);
    });
    connect(m_alibabaHelp, &QPushButton::clicked, this,
            [this] { showMessageText(alibabaHelpText(language())); });
    connect(m_makerHelp, &QPushButton::clicked, this, [this] { showMessageText(makerHelpText(language())); });
    connect(m_save, &QPushButton::clicked, this, &MqttDialog::save);
    connect(m_debug, &QPushButton::clicked, this,
            [this] { debugRun(m_debug, [this] { return checked(); }); });
}

QString MqttDialog::alibabaHelpText(Language language)
{
    return QString::fromUtf8(language == Language::English ? kAlibabaHelpEnglish : kAlibabaHelp);
}

QString MqttDialog::makerHelpText(Language language)
{
    if (language == Language::English)
        return QStringLiteral("Settings needed \r\n1. Enable MQTT \r\n2. Server: %1 \r\n3. Port: 1883 \r\n"
                              "4. User name: the device's SN \r\n5. Password: the communication password \r\n"
                              "6. KEEPALIVE: 120")
            .arg(QString::fromLatin1(kMakerCloudServer));
    return QStringLiteral(
               "必须设置的参数 \r\n1.启用MQTT \r\n2.服务器:%1 \r\n3.端口:1883 \r\n4.用户名:设备SN \r\n"
               "5.密码:通讯密码 \r\n6.KEEPALIVE:120")
        .arg(QString::fromLatin1(kMakerCloudServer));
}

QLineEdit *MqttDialog::edit(std::uint8_t type) const
{
    const auto it = m_texts.find(type);
    return it == m_texts.end() ? nullptr : it->second;
}

MqttSettings MqttDialog::collect() const
{
    MqttSettings s;
    for (const MqttTextField &f : mqttTextFields()) {
        const QByteArray gbk = kyvo::toGbk(edit(f.type)->text());
        s.*(f.member) = Bytes(gbk.begin(), gbk.end());
    }
    s.port = std::uint16_t(decimal(m_port));
    s.keepAlive = std::uint16_t(decimal(m_keepAlive));
    s.qos = std::uint8_t(std::max(0, m_qos->currentIndex()));
    s.tlsVersion = std::uint8_t(std::max(0, m_version->currentIndex()));
    s.will = m_will->isChecked();
    s.retain = m_retain->isChecked();
    s.enabled = m_enable->isChecked();
    s.tls = m_tls->isChecked();
    s.cloud = m_alibaba->isChecked() ? kMqttCloudAlibaba : m_maker->isChecked() ? kMqttCloudMaker : 0;
    return s;
}

void MqttDialog::showSettings(const MqttSettings &s)
{
    for (const MqttTextField &f : mqttTextFields()) {
        const Bytes &v = s.*(f.member);
        edit(f.type)->setText(kyvo::fromGbk(QByteArrayView(v.data(), qsizetype(v.size()))));
    }
    m_port->setText(number(s.port));
    m_keepAlive->setText(number(s.keepAlive));
    // A value outside a list leaves its selection as it is.
    if (s.qos < m_qos->count()) m_qos->setCurrentIndex(s.qos);
    if (s.tlsVersion < m_version->count()) m_version->setCurrentIndex(s.tlsVersion);
    m_will->setChecked(s.will != 0);
    m_retain->setChecked(s.retain != 0);
    m_enable->setChecked(s.enabled != 0);
    m_tls->setChecked(s.tls != 0);
    m_alibaba->setChecked(s.cloud == kMqttCloudAlibaba);
    m_maker->setChecked(s.cloud == kMqttCloudMaker);
}

void MqttDialog::read()
{
    setStatus("正在读取...");
    const int port = target().port;
    exchange(mqttReadRequest(std::uint8_t(port), target().mac), defaultTimeoutMs(), {m_save, m_debug},
             [this, port](const QByteArray &reply) {
                 if (reply.isEmpty()) return setStatus("读取参数失败！");
                 statusLabel()->clear();
                 if (!replyPasses(reply)) return;
                 showSettings(
                     mqttFromReply(ByteView(reinterpret_cast<const std::uint8_t *>(reply.constData()),
                                            std::size_t(reply.size())),
                                   port));
             });
}

bool MqttDialog::checked()
{
    const std::string_view failure = mqttCheck(collect());
    if (failure.empty()) return true;
    showMessage(std::string(failure).c_str());
    return false;
}

void MqttDialog::save()
{
    if (waiting() || !checked()) return;
    setStatus("正在保存...");
    exchange(mqttSaveRequest(std::uint8_t(target().port), collect(), target().mac),
             options().saveSettleMs + defaultTimeoutMs(), {m_save, m_debug}, [this](const QByteArray &reply) {
                 if (reply.isEmpty()) return setStatus("保存失败！");
                 if (!replyPasses(reply)) return setStatus("保存失败！");
                 setStatus("保存成功");
             });
}

} // namespace pelmar
