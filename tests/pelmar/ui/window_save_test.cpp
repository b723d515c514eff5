// Saves and device commands from the window against servers on loopback:
// the edited values reach each family's server, the status texts and the
// save buttons on the saves' manual clock, refusals, silence, restart,
// factory reset and entering the upgrade.
#include "tests/pelmar/ui/window_fixture.h"

#include <QAction>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

struct Sent
{
    QByteArray datagram;
    QString destination;
    quint16 port;
};

struct SaveBench : WindowBench
{
    explicit SaveBench(BenchOptions o) : WindowBench(std::move(o)) {}
    std::vector<Sent> sent;
    bool ready()
    {
        if (!search()) return false;
        QObject::connect(&window->commands(), &ServerCommands::datagramSent,
                         [this](const QByteArray &d, const QString &to, quint16 p) {
                             sent.push_back({d, to, p});
                         });
        return true;
    }
    bool paneBecomes(int i, const char *text)
    {
        return waitFor([&] { return pane(i) == u(text); });
    }
    bool buttonEnabled(int id) { return control<QPushButton>(id)->isEnabled(); }
    void setIp(const char *text) { control<QLineEdit>(control::kIp)->setText(QString::fromLatin1(text)); }
};

const char *const kSending = "正在发送配置请求...";
const char *const kSaved = "配置成功";
const char *const kRefused = "配置失败。请重新搜索设备，再试。";

} // namespace

TEST(WindowSave, AShortFrameServerIsWrittenItemByItemAndKeepsTheNewValues)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 4, false, 0)};
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    b.select(0);
    const ServerWindowControls &ui = b.window->controls();
    choose(ui.baud, 4);     // 9600
    choose(ui.workMode, 3); // UDP_CLIENT
    b.type(control::kTargetHost, QStringLiteral("10.77.9.9"));
    b.choosePort(2);
    b.type(control::kLocalPort, QStringLiteral("4300"));
    b.leave();

    b.click(control::kSavePorts);
    EXPECT_EQ(b.pane(2), u(kSending));
    EXPECT_FALSE(b.buttonEnabled(control::kSavePorts));
    EXPECT_TRUE(b.buttonEnabled(control::kSaveDevice));
    b.advance(490);
    EXPECT_TRUE(b.sent.empty());
    b.advance(500);
    ASSERT_EQ(b.sent.size(), 18u); // port 3's host of 26 characters takes both halves
    for (const Sent &s : b.sent) {
        EXPECT_EQ(s.destination, QStringLiteral("127.0.0.1")); // the broadcast address: "广播搜索" is ticked
        EXPECT_EQ(s.port, b.port);                             // the port the server answered from
    }
    ASSERT_TRUE(b.paneBecomes(2, kSaved));
    EXPECT_TRUE(b.buttonEnabled(control::kSavePorts)); // before its timer: the write was accepted
    EXPECT_EQ(b.portValue(0, 1, "baud"), QByteArray(1, 5));
    EXPECT_EQ(b.portValue(0, 1, "workmode"), QByteArray(1, 4));
    EXPECT_EQ(b.portValue(0, 1, "host").left(10), QByteArray("10.77.9.9\0", 10));
    EXPECT_EQ(b.portValue(0, 3, "localport"), be16(4300));
    EXPECT_EQ(b.counter(0, "commits"), 1);

    b.setIp("10.77.5.5");
    b.click(control::kSaveDevice);
    EXPECT_FALSE(b.buttonEnabled(control::kSaveDevice));
    b.advance(600);
    ASSERT_EQ(b.sent.size(), 18u + 4u);
    EXPECT_TRUE(
        waitFor([&] { return b.value(0, QStringLiteral("ip")) == QByteArray("\x0a\x4d\x05\x05", 4); }));
    EXPECT_TRUE(waitFor([&] { return b.counter(0, "commits") == 2; }));
}

TEST(WindowSave, RecordFamiliesAreWrittenWholeAndTheServersHoldTheNewValues)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Wifi362, 2, true), server(ServerFamily::Multi2326, 24, true),
                 server(ServerFamily::Native, 2, true), server(ServerFamily::Native, 4, true),
                 server(ServerFamily::Multi1284, 16)};
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    const ServerWindowControls &ui = b.window->controls();
    const std::size_t lengths[][2] = {{372, 0}, {1399, 937}, {310, 0}, {510, 0}, {1294, 0}};
    for (std::size_t i = 0; i < o.servers.size(); ++i) {
        SCOPED_TRACE(b.entry(i).hardwareVersion.text());
        b.select(i);
        b.sent.clear();
        choose(ui.baud, 6); // 19200
        choose(ui.workMode, 1);
        b.type(control::kTargetHost, QStringLiteral("plant-%1.example.net").arg(i));
        b.setIp(QByteArray("10.77.6." + QByteArray::number(int(i) + 1)).constData());
        b.click(control::kSaveDevice);
        b.advance(500);
        ASSERT_EQ(b.sent.size(), lengths[i][1] ? 2u : 1u);
        EXPECT_EQ(std::size_t(b.sent[0].datagram.size()), lengths[i][0]);
        if (lengths[i][1]) {
            EXPECT_EQ(b.sent[0].datagram[0], 'y');
            EXPECT_EQ(std::size_t(b.sent[1].datagram.size()), lengths[i][1]);
        }
        ASSERT_TRUE(b.paneBecomes(2, kSaved));
        EXPECT_EQ(b.value(i, QStringLiteral("ip")), QByteArray("\x0a\x4d\x06", 3) + char(i + 1));
        EXPECT_EQ(b.portValue(i, 1, "baud"), QByteArray(1, 7));
        EXPECT_EQ(b.portValue(i, 1, "workmode"), QByteArray(1, 2));
        EXPECT_TRUE(
            b.portValue(i, 1, "host").startsWith(QStringLiteral("plant-%1.example.net").arg(i).toLatin1()));
        b.window->core().setLanguage(Language::Chinese); // empties pane 2 for the next one
    }
    // The port save of a record server writes the same whole record, holding both buttons.
    b.select(3);
    b.sent.clear();
    b.advance(3000);
    b.click(control::kSavePorts);
    EXPECT_FALSE(b.buttonEnabled(control::kSaveDevice));
    EXPECT_FALSE(b.buttonEnabled(control::kSavePorts));
    b.advance(500);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(b.sent[0].datagram.size(), 510);
    EXPECT_EQ(b.sent[0].datagram[3], 'D');
    ASSERT_TRUE(b.paneBecomes(2, kSaved));
    EXPECT_TRUE(b.buttonEnabled(control::kSaveDevice));
    EXPECT_TRUE(b.buttonEnabled(control::kSavePorts));
}

TEST(WindowSave, WifiSettingsComeFromTheirControlsAndOnlyWhereTheRecordHasThem)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Wifi362, 2, true), server(ServerFamily::Wifi292, 1)};
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    const ServerWindowControls &ui = b.window->controls();
    b.select(0);
    ui.staSsid->setText(QStringLiteral("line-7"));
    choose(ui.security, 1);
    ui.dhcpServer->click(); // ticked by the server's 2: now off
    b.click(control::kSaveDevice);
    b.advance(500);
    ASSERT_TRUE(b.paneBecomes(2, kSaved));
    EXPECT_EQ(b.value(0, QStringLiteral("stassid")).left(7), QByteArray("line-7\0", 7));
    EXPECT_EQ(b.value(0, QStringLiteral("security")), QByteArray(1, 1));
    EXPECT_EQ(b.value(0, QStringLiteral("dhcpserver")), QByteArray(1, 1));

    // The 292-byte server's lists stay as shown for the other one; its own security is kept.
    b.select(1);
    EXPECT_FALSE(ui.security->isEnabled());
    EXPECT_EQ(ui.security->currentIndex(), 1);
    b.window->core().setLanguage(Language::Chinese);
    b.click(control::kSaveDevice);
    b.advance(500);
    ASSERT_TRUE(b.paneBecomes(2, kSaved));
    EXPECT_EQ(b.value(1, QStringLiteral("security")), QByteArray(1, 3));
    // A WiFi server's port save button stays off when the device save's timer ends.
    EXPECT_FALSE(b.buttonEnabled(control::kSavePorts));
    b.advance(3000);
    EXPECT_FALSE(b.buttonEnabled(control::kSavePorts));
}

TEST(WindowSave, ARefusedWriteShowsTheFailureAndTheButtonWaitsForItsTimer)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 2, false, 1), server(ServerFamily::Native, 6, true)};
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    for (std::size_t i : {0u, 1u}) {
        SCOPED_TRACE(i);
        b.knob(i, "refuse", "1");
        b.select(i);
        b.click(control::kSavePorts);
        b.advance(500);
        ASSERT_TRUE(b.paneBecomes(2, kRefused));
        EXPECT_FALSE(b.buttonEnabled(control::kSavePorts));
        b.advance(2480);
        EXPECT_FALSE(b.buttonEnabled(control::kSavePorts));
        b.advance(20);
        EXPECT_TRUE(b.buttonEnabled(control::kSavePorts));
        EXPECT_GE(b.counter(i, "refused"), 1);
    }
    // Silence: the buttons come back after three seconds and nothing else is shown.
    b.knob(1, "refuse", "0");
    b.knob(1, "silent", "1");
    b.window->core().setLanguage(Language::Chinese);
    b.click(control::kSaveDevice);
    b.advance(2990);
    EXPECT_FALSE(b.buttonEnabled(control::kSaveDevice));
    b.advance(10);
    EXPECT_TRUE(b.buttonEnabled(control::kSaveDevice));
    EXPECT_EQ(b.pane(2), u(kSending));
}

TEST(WindowSave, AnInvalidMacOrATooLongHostStopsTheSave)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 4, false, 1)};
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    b.select(0);
    b.control<QLineEdit>(control::kMac)->setText(QStringLiteral("00-1A-2B"));
    b.click(control::kSaveDevice);
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_TRUE(b.buttonEnabled(control::kSaveDevice));
    b.advance(1000);
    EXPECT_TRUE(b.sent.empty());
    b.messages.clear();

    // Port 3's host is typed longer than 32 characters: the save stops there.
    const QString longHost = QStringLiteral("a-very-long-plant-host-name.example.net"); // 39
    b.choosePort(2);
    b.type(control::kTargetHost, longHost);
    b.choosePort(0);
    b.choosePort(2);
    EXPECT_EQ(b.window->controls().targetHost->text(), longHost); // shown as typed
    b.click(control::kSavePorts);
    b.advance(1500);
    EXPECT_EQ(b.messageTexts(), QStringList{u("无效的网址！")});
    // Ports 1 (a host of 26 characters: two halves) and 2, and the four lists.
    ASSERT_EQ(b.sent.size(), 4u + 3u + 4u);
    EXPECT_EQ(b.counter(0, "commits"), 0);
    // A record server would cut it to its 32-byte field; the entry holds those 32.
    EXPECT_EQ(b.entry(0).ports[2].targetHost.text(), longHost.left(32).toStdString());
}

TEST(WindowSave, RestartFactoryResetAndTheUpgradeCommandReachTheServer)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Native, 2, true)};
    std::vector<QString> targets;
    ServerConfigDialog::Extension upgrade;
    upgrade.needsDevice = false;
    upgrade.open = [&targets](ServerConfigDialog &w, DeviceEntry *) { targets.push_back(w.upgradeTarget()); };
    o.extensions[ServerConfigDialog::kUpgradeDialog] = upgrade;
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    b.select(0);
    b.click(control::kRestart);
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "restarts") == 1; }));
    b.click(control::kFactoryReset);
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "resets") == 1; }));
    ASSERT_EQ(b.sent.size(), 2u);
    EXPECT_EQ(b.sent[0].datagram.toHex(' ').left(11), QByteArray("48 3a 57 08"));
    EXPECT_EQ(b.sent[0].datagram.size(), 26);
    EXPECT_EQ(b.sent[1].datagram[3], 0x09);
    EXPECT_EQ(b.sent[0].destination, QStringLiteral("127.0.0.1"));

    b.answer = false;
    b.click(control::kUpgrade);
    ASSERT_EQ(b.questions.size(), 1u);
    EXPECT_EQ(b.questions[0].text, u("确定要升级固件吗？"));
    EXPECT_EQ(b.questions[0].caption, u("信息"));
    EXPECT_EQ(b.sent.size(), 2u);
    EXPECT_TRUE(targets.empty());
    b.answer = true;
    b.click(control::kUpgrade);
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "upgrades") == 1; }));
    ASSERT_EQ(b.sent.size(), 3u);
    const QString address = QString::fromStdString(b.entry(0).addressText);
    EXPECT_EQ(b.sent[2].destination, address); // the device itself, not the broadcast address
    EXPECT_EQ(targets, std::vector<QString>{address});

    // The menu item opens the same dialog for the fixed target and sends nothing.
    QAction *item = b.window->controls().upgradeItem;
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_EQ(targets.back(), QStringLiteral("192.168.1.253"));
    EXPECT_EQ(b.sent.size(), 3u);
}

TEST(WindowSave, WithoutTheBroadcastBoxCommandsGoToTheServersOwnAddress)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 2, false, 1)};
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    b.select(0);
    b.control<QCheckBox>(control::kBroadcast)->click();
    EXPECT_FALSE(b.window->core().broadcastSearch());
    b.click(control::kSaveDevice);
    b.advance(600);
    ASSERT_EQ(b.sent.size(), 3u); // '1': no commit
    for (const Sent &s : b.sent)
        EXPECT_EQ(s.destination, QString::fromStdString(b.entry(0).addressText));
    ASSERT_TRUE(b.paneBecomes(2, kSaved));
}

TEST(WindowSave, ACommandOnManySelectedServersAsksOnceNamingThemAndReachesEach)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Multi2326, 4), server(ServerFamily::Multi2326, 4),
                 server(ServerFamily::Native, 2, true)};
    SaveBench b(o);
    ASSERT_TRUE(b.ready());
    b.select(0);
    // Ctrl+click adds a row and shows it.
    QTableView *list = b.window->controls().deviceList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualRect(list->model()->index(b.slot(1), 1)).center());
    EXPECT_EQ(b.window->selectedDevices().size(), 2u);
    EXPECT_EQ(b.window->shownDevice(), b.slot(1));
    b.answer = false;
    b.click(control::kRestart);
    ASSERT_EQ(b.questions.size(), 1u);
    EXPECT_EQ(b.questions[0].text, u("确定要对 2 台设备执行“重启设备”吗？"));
    EXPECT_EQ(b.window->batchWindow(), nullptr);

    list->selectAll();
    b.answer = true;
    b.click(control::kFactoryReset);
    ASSERT_EQ(b.questions.size(), 2u);
    EXPECT_EQ(b.questions[1].text, u("确定要对 3 台设备执行“恢复出厂”吗？"));
    ASSERT_NE(b.window->batchWindow(), nullptr);
    ASSERT_TRUE(waitFor([&] {
        for (std::size_t s = 0; s < 3; ++s)
            if (b.counter(s, "resets") != 1) return false;
        return true;
    }));
    for (std::size_t s = 0; s < 3; ++s)
        EXPECT_EQ(b.counter(s, "restarts"), 0);
    EXPECT_TRUE(b.sent.empty()); // each server's own session, not the window's
    EXPECT_EQ(b.window->batchWindow()->resultsText().count(u("恢复出厂")),
              6); // operation and outcome of each row
}
