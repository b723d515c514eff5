// The service panels in the main window: placed by work mode, collected by
// the save, sharing the window's hex flags; the NTP link opens its dialog.
// A simulated gateway answers on loopback.
#include "vorlet/services/service_wiring.h"

#include "devsim/core/sim_host.h"
#include "devsim/gateway/gateway_sim.h"
#include "panel_bench.h"
#include "panel_window.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"
#include "vorlet/services/http_panel.h"
#include "vorlet/services/mqtt_panel.h"
#include "vorlet/services/tcp_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>

using namespace vorlet;
using namespace servicetest;
using testsupport::loopback;
using testsupport::waitFor;

namespace {

class WindowWithPanels
{
public:
    WindowWithPanels()
    {
        devsim::SimNetwork::Options sim;
        sim.hubAddress = QHostAddress(loopback(1));
        sim.portMap[1111] = port;
        sim.rateBitsPerSecond = 0;
        host = std::make_unique<devsim::SimHost>(sim);
        devsim::GatewayProfile g;
        g.address = loopback(9);
        g.mac = devsim::Mac{0x00, 0x4B, 0x59, 0x7F, 0x00, 0x09};
        g.name = "gw";
        host->add(std::make_unique<devsim::GatewaySim>(g));
        QString error;
        EXPECT_TRUE(host->start(&error)) << error.toStdString();

        CvorletDlg::Options w = panelWindowOptions(dir, messages, script);
        w.core.broadcastAddress = loopback(1);
        w.core.devicePort = port;
        w.core.searchDelayMs = 20;
        window = std::make_unique<CvorletDlg>(std::move(w));
        window->show();
    }

    bool search()
    {
        window->onSearch();
        return waitFor([&] { return window->core().devices().count() == 1 && window->selectedRecord(); });
    }
    ParameterRecord &record() { return window->core().devices().at(0); }
    void chooseMode(int channel, int mode)
    {
        QComboBox *list = window->controls().channels[std::size_t(channel)].workMode;
        list->setCurrentIndex(mode);
        Q_EMIT list->activated(mode);
    }
    QByteArray item(const char *path)
    {
        return host->get<QByteArray>([&](devsim::SimNetwork &n) {
            return n.device(0).query(QString::fromLatin1(path)).value_or(QByteArray());
        });
    }
    long long saves()
    {
        return host->get<long long>([](devsim::SimNetwork &n) {
            const auto &c = n.device(0).counters;
            const auto it = c.find(QStringLiteral("saves"));
            return it == c.end() ? 0LL : it->second;
        });
    }

    QTemporaryDir dir;
    quint16 port = testsupport::freeUdpPort();
    std::unique_ptr<devsim::SimHost> host;
    std::unique_ptr<CvorletDlg> window;
    QStringList messages;
    std::function<void(QDialog &)> script;
};

} // namespace

TEST(WindowPanels, EachModeShowsItsPanelAndTheSaveCollectsTheShownOne)
{
    WindowWithPanels t;
    ASSERT_TRUE(t.search());
    // The simulated gateway: channel 0 TCP client, channel 1 TCP server (no panel on TCP-B).
    auto *socket = dynamic_cast<TcpPanel *>(t.window->placedPanel(0));
    ASSERT_NE(socket, nullptr);
    EXPECT_EQ(control<QLineEdit>(socket, tcpcontrol::kTargetAddress)->text(),
              QStringLiteral("192.168.1.100"));
    EXPECT_TRUE(control<QLineEdit>(socket, tcpcontrol::kTargetAddress)->isEnabled());
    EXPECT_EQ(t.window->placedPanel(1), nullptr);

    // Typed into the socket panel, then the channel becomes MQTT: what was typed stays,
    // a heartbeat that no longer parses under a hex flag keeps its old bytes without a message.
    control<QLineEdit>(socket, tcpcontrol::kTargetAddress)->setText(QStringLiteral("10.0.0.1"));
    const QByteArray heartbeat = t.item("41.0.05");
    control<QCheckBox>(socket, tcpcontrol::kHeartbeatHex)->click();
    ASSERT_EQ(t.window->settings().hbHex, 1);
    control<QLineEdit>(socket, tcpcontrol::kHeartbeat)->setText(QStringLiteral("zz"));
    t.chooseMode(0, 6);
    auto *mqtt = dynamic_cast<MqttPanel *>(t.window->placedPanel(0));
    ASSERT_NE(mqtt, nullptr);
    EXPECT_TRUE(mqtt->isVisible());
    EXPECT_FALSE(socket->isVisible());
    EXPECT_EQ(control<QLineEdit>(mqtt, mqttcontrol::kBroker)->text(), QStringLiteral("broker.example.net"));
    control<QLineEdit>(mqtt, mqttcontrol::kBroker)->setText(QStringLiteral("mq.plant.local"));
    t.chooseMode(1, 8);
    auto *http = dynamic_cast<HttpPanel *>(t.window->placedPanel(1));
    ASSERT_NE(http, nullptr);
    control<QLineEdit>(http, httpcontrol::kPort)->setText(QStringLiteral("443"));

    t.window->saveParameters();
    ASSERT_TRUE(waitFor([&] { return t.saves() == 1; }));
    EXPECT_EQ(t.item("41.0.02"), QByteArray("\x06", 1));
    EXPECT_EQ(t.item("41.0.31"), QByteArray("mq.plant.local"));
    EXPECT_EQ(t.item("41.0.03"), QByteArray("10.0.0.1"));
    EXPECT_EQ(t.item("41.0.05"), heartbeat);
    EXPECT_EQ(t.item("41.1.02"), QByteArray("\x08", 1));
    EXPECT_EQ(t.item("41.1.52"), QByteArray("\x01\xbb", 2));
    EXPECT_TRUE(t.messages.isEmpty());
}

TEST(WindowPanels, TheNtpLinkOpensTheDialogOnTheSelectedRecord)
{
    WindowWithPanels t;
    QLabel *link = t.window->controls().ntpSet;
    EXPECT_TRUE(link->isEnabled());
    ASSERT_TRUE(t.search());
    EXPECT_EQ(fieldBytes(t.record().ntpServer), QByteArray("ntp.example.net"));
    t.script = [](QDialog &d) {
        control<QLineEdit>(&d, kFirstFieldEdit)->setText(QStringLiteral("time.plant.local"));
        control<QPushButton>(&d, kDialogOk)->click();
    };
    Q_EMIT link->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(fieldBytes(t.record().ntpServer), QByteArray("time.plant.local"));
}

TEST(WindowPanels, TheLanguageSwitchReachesThePanels)
{
    WindowWithPanels t;
    ASSERT_TRUE(t.search());
    t.window->toggleLanguage();
    ASSERT_TRUE(t.window->language().isEnglish());
    EXPECT_EQ(control<QLabel>(t.window->placedPanel(0), tcpcontrol::kTargetAddressLabel)->text(),
              QStringLiteral("TargetIp"));
    t.chooseMode(0, 6);
    EXPECT_EQ(control<QComboBox>(t.window->placedPanel(0), mqttcontrol::kCloud)->itemText(1),
              QStringLiteral("Aliyun"));
}
