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
#include "vorlet/link/search_request.h"
#include "vorlet/record/device_list.h"
#include "vorlet/services/http_panel.h"
#include "vorlet/services/mqtt_panel.h"
#include "vorlet/services/tcp_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>

using namespace vorlet;
using namespace servicetest;
using testsupport::loopback;
using testsupport::waitFor;

namespace {

devsim::GatewayProfile gatewayAt(int last)
{
    devsim::GatewayProfile g;
    g.address = loopback(last);
    g.mac = devsim::Mac{0x00, 0x4B, 0x59, 0x7F, 0x00, std::uint8_t(last)};
    g.name = "gw";
    return g;
}

class WindowWithPanels
{
public:
    // Gateway 127.0.0.9, and more at 127.0.0.<n> for each n.
    explicit WindowWithPanels(std::vector<int> more = {})
    {
        devsim::SimNetwork::Options sim;
        sim.hubAddress = QHostAddress(loopback(1));
        sim.portMap[1111] = port;
        sim.rateBitsPerSecond = 0;
        host = std::make_unique<devsim::SimHost>(sim);
        host->add(std::make_unique<devsim::GatewaySim>(gatewayAt(9)));
        for (int last : more)
            host->add(std::make_unique<devsim::GatewaySim>(gatewayAt(last)));
        QString error;
        EXPECT_TRUE(host->start(&error)) << error.toStdString();

        CvorletDlg::Options w = panelWindowOptions(dir, messages, script, &whileShown);
        w.core.broadcastAddress = loopback(1);
        w.core.devicePort = port;
        w.core.searchDelayMs = 20;
        window = std::make_unique<CvorletDlg>(std::move(w));
        window->show();
    }

    bool search(std::size_t devices = 1)
    {
        window->onSearch();
        return waitFor(
            [&] { return window->core().devices().count() == devices && window->selectedRecord(); });
    }
    int rowOf(int last)
    {
        for (std::size_t i = 0; i < window->core().devices().count(); ++i)
            if (seenAddress(window->core().devices().at(i)) == loopback(last)) return int(i);
        return -1;
    }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (QMessageBox *b : window->findChildren<QMessageBox *>())
            if (b->isVisible()) texts << b->text();
        return texts;
    }
    ParameterRecord &record() { return window->core().devices().at(0); }
    void chooseMode(int channel, int mode)
    {
        QComboBox *list = window->controls().channels[std::size_t(channel)].workMode;
        list->setCurrentIndex(mode);
        Q_EMIT list->activated(mode);
    }
    QByteArray item(const char *path, int device = 0)
    {
        return host->get<QByteArray>([&](devsim::SimNetwork &n) {
            return n.device(std::size_t(device)).query(QString::fromLatin1(path)).value_or(QByteArray());
        });
    }
    void assign(int device, const char *path, const QByteArray &value)
    {
        host->call([&](devsim::SimNetwork &n) {
            n.device(std::size_t(device)).assign(QString::fromLatin1(path), value);
        });
    }
    void knob(int device, const char *name, const char *value)
    {
        host->call([&](devsim::SimNetwork &n) {
            n.device(std::size_t(device)).knobs.set(QString::fromLatin1(name), QString::fromLatin1(value));
        });
    }
    long long saves(int device = 0)
    {
        return host->get<long long>([device](devsim::SimNetwork &n) {
            const auto &c = n.device(std::size_t(device)).counters;
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
    std::function<void()> whileShown;
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

TEST(WindowPanels, NoBoxRunsWhileASaveCollectsTheRecordAndBadHexGivesOneMessage)
{
    // Three gateways with TCP-B on MQTT, whose client IDs differ; the third
    // stays silent until a search answer of its own arrives mid-save.
    WindowWithPanels t({10, 11});
    for (int d = 0; d < 3; ++d)
        t.assign(d, "41.1.02", QByteArray("\x06", 1));
    t.knob(2, "silent", "1");
    ASSERT_TRUE(t.search(2));
    const int row = t.rowOf(9);
    t.window->controls().deviceList->selectRow(row);
    ASSERT_EQ(t.window->shownRecord(), &t.window->core().devices().at(std::size_t(row)));
    auto *socket = dynamic_cast<TcpPanel *>(t.window->placedPanel(0));
    ASSERT_NE(socket, nullptr);
    ASSERT_NE(dynamic_cast<MqttPanel *>(t.window->placedPanel(1)), nullptr);
    control<QCheckBox>(socket, tcpcontrol::kHeartbeatHex)->click();
    control<QCheckBox>(socket, tcpcontrol::kRegistrationHex)->click();
    control<QLineEdit>(socket, tcpcontrol::kHeartbeat)->setText(QStringLiteral("zz"));
    control<QLineEdit>(socket, tcpcontrol::kRegistration)->setText(QStringLiteral("yy"));

    bool arrived = false;
    auto answerOfTheThird = [&] {
        if (arrived) return;
        arrived = true;
        t.knob(2, "silent", "0");
        t.window->core().endpoint().send(buildSearchRequest(0), {loopback(1), t.port});
        EXPECT_TRUE(waitFor([&] {
            return t.window->shownRecord() && t.rowOf(11) >= 0 &&
                   t.window->shownRecord() == &t.window->core().devices().at(std::size_t(t.rowOf(11)));
        }));
    };
    t.whileShown = answerOfTheThird;
    t.window->saveParameters();
    // The message is up once the save has left; the third gateway's answer
    // arrives while it is pending.
    EXPECT_EQ(t.boxTexts(), QStringList{QStringLiteral("Please type hex number")});
    answerOfTheThird();
    ASSERT_TRUE(waitFor([&] { return t.saves(0) == 1; }));
    EXPECT_EQ(t.item("41.1.35", 0), QByteArray("gw-9")); // its own TCP-B settings
    EXPECT_EQ(t.item("41.0.05", 0), QByteArray("hb"));   // the bad hex kept the old data
    EXPECT_TRUE(t.messages.isEmpty());
    EXPECT_EQ(t.boxTexts(), QStringList{QStringLiteral("Please type hex number")});
}
