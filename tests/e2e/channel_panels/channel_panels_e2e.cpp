// The channel panels in the main window inside the lab: channel 0 set to
// MQTT with a broker, topics and a will, channel 1 to TCP client with a hex
// heartbeat and registration packet, saved, and the gateway holds every value.
#include "vorlet/services/mqtt_panel.h"
#include "vorlet/services/service_wiring.h"
#include "vorlet/services/tcp_panel.h"

#include "tests/support/lab.h"
#include "tests/vorlet/services/panel_bench.h"
#include "tests/vorlet/services/panel_window.h"
#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace vorlet;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

using servicetest::control;

void type(QWidget *panel, int id, const char *text)
{
    control<QLineEdit>(panel, id)->setText(QString::fromUtf8(text));
}

class LabWindow
{
public:
    LabWindow()
    {
        window = std::make_unique<CvorletDlg>(servicetest::panelWindowOptions(dir, messages, script));
        window->show();
    }

    void chooseMode(int channel, int mode)
    {
        QComboBox *list = window->controls().channels[std::size_t(channel)].workMode;
        list->setCurrentIndex(mode);
        Q_EMIT list->activated(mode);
    }

    QTemporaryDir dir;
    std::unique_ptr<CvorletDlg> window;
    QStringList messages;
    std::function<void(QDialog &)> script;
};

QString macOf(const ParameterRecord &r)
{
    return devsim::macText(devsim::Mac{r.mac[0], r.mac[1], r.mac[2], r.mac[3], r.mac[4], r.mac[5]});
}

QByteArray be16(int v)
{
    const char bytes[] = {char(v >> 8), char(v & 0xFF)};
    return QByteArray(bytes, 2);
}
QByteArray oneByte(int v)
{
    return QByteArray(1, char(v));
}

} // namespace

TEST(ChannelPanels, MqttAndTcpClientSettingsReachTheGateway)
{
    LAB_ONLY();
    LabWindow t;
    t.window->onSearch();
    ASSERT_TRUE(
        waitFor([&] { return t.window->core().devices().count() >= 2 && t.window->selectedRecord(); }));
    ASSERT_TRUE(waitFor([&] { return t.window->placedPanel(0) != nullptr; }));
    ParameterRecord *record = t.window->selectedRecord();
    const QString mac = macOf(*record);

    // TCP-B: a TCP client with its heartbeat and registration packet in hex.
    t.chooseMode(1, 2);
    auto *socket = dynamic_cast<TcpPanel *>(t.window->placedPanel(1));
    ASSERT_NE(socket, nullptr);
    control<QCheckBox>(socket, tcpcontrol::kHeartbeatHex)->click();
    control<QCheckBox>(socket, tcpcontrol::kRegistrationHex)->click();
    ASSERT_EQ(t.window->settings().hbHex, 1);
    ASSERT_EQ(t.window->settings().regHex, 1);
    type(socket, tcpcontrol::kTargetAddress, "10.77.0.1");
    type(socket, tcpcontrol::kTargetPort, "9100");
    type(socket, tcpcontrol::kLocalPort, "4001");
    type(socket, tcpcontrol::kHeartbeat, "aa 55 01 02 FE");
    type(socket, tcpcontrol::kInterval, "30");
    control<QComboBox>(socket, tcpcontrol::kRegistrationMode)->setCurrentIndex(3);
    type(socket, tcpcontrol::kRegistration, "47 57 2d 30 31 7");

    // TCP-A: MQTT with a broker, topics and a will.
    t.chooseMode(0, 6);
    auto *mqtt = dynamic_cast<MqttPanel *>(t.window->placedPanel(0));
    ASSERT_NE(mqtt, nullptr);
    type(mqtt, mqttcontrol::kBroker, "mq.plant.local");
    type(mqtt, mqttcontrol::kPort, "8883");
    type(mqtt, mqttcontrol::kUser, "line-3");
    type(mqtt, mqttcontrol::kPassword, "s3cret");
    type(mqtt, mqttcontrol::kClientId, "gw-line-3");
    type(mqtt, mqttcontrol::kKeepAlive, "90");
    type(mqtt, mqttcontrol::kSubscribe, "plant/line3/down");
    type(mqtt, mqttcontrol::kPublish, "plant/line3/up");
    control<QComboBox>(mqtt, mqttcontrol::kQos)->setCurrentIndex(2);
    control<QCheckBox>(mqtt, mqttcontrol::kWill)->setChecked(false);
    control<QCheckBox>(mqtt, mqttcontrol::kWill)->click();
    t.script = [](QDialog &d) {
        control<QLineEdit>(&d, kFirstFieldEdit)->setText(QStringLiteral("plant/line3/state"));
        control<QLineEdit>(&d, kFirstFieldEdit + 1)->setText(QStringLiteral("offline"));
        control<QPushButton>(&d, kDialogOk)->click();
    };
    Q_EMIT control<QLabel>(mqtt, mqttcontrol::kWillSet)->linkActivated(QStringLiteral("#"));

    Q_EMIT t.window->controls().save->clicked();
    const QString saved = QString::fromUtf8("保存成功,重启后生效！！！");
    ASSERT_TRUE(waitFor([&] { return t.window->statusText() == saved; }, 20000))
        << t.window->statusText().toStdString();
    EXPECT_TRUE(t.messages.isEmpty()) << t.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(testsupport::labCounter(mac, QStringLiteral("saves")), 1);

    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.02")), oneByte(6));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.31")), QByteArray("mq.plant.local"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.32")), be16(8883));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.33")), QByteArray("line-3"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.34")), QByteArray("s3cret"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.35")), QByteArray("gw-line-3"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.36")), be16(90));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.37")), oneByte(2));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.3D")), QByteArray("plant/line3/down"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.41")), QByteArray("plant/line3/up"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.45")), oneByte(1));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.46")), QByteArray("plant/line3/state"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.0.47")), QByteArray("offline"));

    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.02")), oneByte(2));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.01")), be16(4001));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.03")), QByteArray("10.77.0.1"));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.04")), be16(9100));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.05")), QByteArray("\xAA\x55\x01\x02\xFE", 5));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.06")), be16(30));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.07")), oneByte(3));
    EXPECT_EQ(labGet(mac, QStringLiteral("41.1.08")), QByteArray("GW-01\x07", 6));
}
