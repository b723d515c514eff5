// The edit handlers against servers found on loopback: lists and boxes
// store into the shown port, the numeric checks at each keystroke, the
// duplicate local port when the edit is left, register data, the MAC
// button, the WiFi mode and Modbus rules, and the advanced column.
#include "tests/pelmar/ui/window_fixture.h"

#include <QMouseEvent>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

enum Server { Short4, Native2, Wifi362 };

BenchOptions editServers()
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 4, false, 0), server(ServerFamily::Native, 2, true),
                 server(ServerFamily::Wifi362, 2, true)};
    return o;
}

const char *const kNumber255 = "请输入0-255的数字！";
const char *const kNumber65535 = "请输入0-65535的数字！";

void clickLabel(QWidget *label)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    QCoreApplication::processEvents();
}

} // namespace

TEST(WindowEdits, ListsAndBoxesStoreIntoTheShownPortAndApplyTheirRules)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Short4);
    const ServerWindowControls &ui = b.window->controls();
    PortSettings &p1 = b.entry(Short4).ports[0];
    choose(ui.baud, 4);
    EXPECT_EQ(p1.baudIndex, 5);
    choose(ui.parity, 2);
    EXPECT_EQ(p1.parity, 3);
    choose(ui.dataBits, 0);
    EXPECT_EQ(p1.dataBits, 7);
    choose(ui.stopBits, 2);
    EXPECT_EQ(p1.stopBits, 3);

    choose(ui.workMode, 0); // TCP_SERVER
    EXPECT_EQ(p1.workMode, 1);
    EXPECT_FALSE(ui.targetHost->isEnabled());
    EXPECT_FALSE(ui.targetPort->isEnabled());
    EXPECT_FALSE(ui.heartbeatData->isEnabled());
    choose(ui.workMode, 3); // UDP_CLIENT: the target, not the heartbeat
    EXPECT_EQ(p1.workMode, 4);
    EXPECT_TRUE(ui.targetHost->isEnabled());
    EXPECT_TRUE(ui.targetPort->isEnabled());
    EXPECT_FALSE(ui.heartbeatInterval->isEnabled());
    choose(ui.workMode, 1);
    EXPECT_TRUE(ui.heartbeatInterval->isEnabled());
    // The short-frame records carry no register packet: its fields stay off.
    EXPECT_FALSE(ui.registerMode->isEnabled());

    ASSERT_TRUE(ui.modbusTcpToRtu->isChecked());
    ui.modbusTcpToRtu->click();
    EXPECT_EQ(p1.modbusTcpToRtu, 1);
    EXPECT_FALSE(ui.timeout->isEnabled());
    EXPECT_FALSE(ui.modbusMarker->isVisibleTo(ui.portGroup));
    ui.modbusTcpToRtu->click();
    EXPECT_EQ(p1.modbusTcpToRtu, 2);
    EXPECT_TRUE(ui.timeout->isEnabled());
    ui.customBaud->click();
    EXPECT_EQ(p1.customBaud, ui.customBaud->isChecked() ? 1 : 0);

    // Another port shows its own values; port 1 keeps the edits.
    b.choosePort(1);
    EXPECT_EQ(ui.baud->currentIndex(), b.entry(Short4).ports[1].baudIndex - 1);
    EXPECT_EQ(p1.baudIndex, 5);
    EXPECT_EQ(b.entry(Short4).ports[1].baudIndex, 5); // port 2's own 9600
    choose(ui.baud, 10);
    EXPECT_EQ(b.entry(Short4).ports[1].baudIndex, 11);
    EXPECT_EQ(p1.baudIndex, 5);
    EXPECT_TRUE(b.messages.empty());
}

TEST(WindowEdits, NumericFieldsAreCheckedAtEachKeystroke)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Native2);
    const ServerWindowControls &ui = b.window->controls();
    PortSettings &p = b.entry(Native2).ports[0];

    b.type(control::kPackTime, QStringLiteral("25"));
    EXPECT_EQ(p.packTime, 25);
    EXPECT_TRUE(b.messages.empty());
    QTest::keyClick(ui.packTime, Qt::Key_6); // 256
    ASSERT_EQ(b.messageTexts(), QStringList{u(kNumber255)});
    EXPECT_TRUE(ui.packTime->text().isEmpty());
    EXPECT_EQ(p.packTime, 25); // a refused text leaves the entry as it was

    b.messages.clear();
    b.type(control::kPackTime, QStringLiteral("12"));
    QTest::keyClick(ui.packTime, Qt::Key_A);
    EXPECT_EQ(b.messageTexts(), QStringList{u(kNumber255)});
    EXPECT_EQ(p.packTime, 12);

    b.messages.clear();
    b.type(control::kPackLength, QStringLiteral("5000")); // no range check
    EXPECT_EQ(p.packLength, 5000);
    b.type(control::kHeartbeatInterval, QStringLiteral("65536"));
    EXPECT_EQ(b.messageTexts(), QStringList{u(kNumber65535)});
    EXPECT_EQ(p.heartbeatInterval, 6553);
    b.messages.clear();
    b.type(control::kTimeout, QStringLiteral("1500"));
    EXPECT_EQ(p.timeout, 1500);
    b.type(control::kTargetPort, QStringLiteral("9001x"));
    EXPECT_EQ(p.targetPort, 9001);
    b.type(control::kTargetHost, QStringLiteral("gw.example.net"));
    EXPECT_EQ(p.targetHost.text(), "gw.example.net");
    b.type(control::kHeartbeatData, QStringLiteral("ping"));
    EXPECT_EQ(p.heartbeatData.text(), "ping");
    EXPECT_TRUE(b.messages.empty());
    // Leaving an emptied edit stores 0: an empty text passes as 0.
    b.type(control::kHeartbeatInterval, QString());
    b.leave();
    EXPECT_EQ(p.heartbeatInterval, 0);

    // The timeout of a server whose DeviceKind is not 1 lives in serialType, in units of 10 ms.
    b.select(Short4);
    ASSERT_TRUE(ui.timeout->isEnabled());
    EXPECT_EQ(ui.timeout->text(), QString::number(b.entry(Short4).ports[0].serialType * 10));
    b.type(control::kTimeout, QStringLiteral("95"));
    EXPECT_EQ(b.entry(Short4).ports[0].serialType, 9);
    EXPECT_TRUE(b.messages.empty());
}

TEST(WindowEdits, ADuplicateLocalPortIsReportedWhenTheEditIsLeft)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Short4);
    b.choosePort(2);
    b.type(control::kLocalPort, QStringLiteral("4001")); // port 1's
    DeviceEntry &e = b.entry(Short4);
    EXPECT_EQ(e.ports[2].localPort, 4001); // the keystrokes store it
    EXPECT_TRUE(b.messages.empty());
    b.leave();
    ASSERT_EQ(b.messageTexts(),
              QStringList{u(
                  "PORT3 与PORT1 的本地端口一样，请设置不同的值，\n注：所有PORT的本地端口不允许一样！！！")});
    EXPECT_EQ(QApplication::focusWidget(), b.window->controls().localPort);

    b.messages.clear();
    b.type(control::kLocalPort, QStringLiteral("4100"));
    b.leave();
    EXPECT_TRUE(b.messages.empty());
    EXPECT_EQ(e.ports[2].localPort, 4100);
    // Ports beyond the device's four do not count.
    e.ports[5].localPort = 4200;
    b.type(control::kLocalPort, QStringLiteral("4200"));
    b.leave();
    EXPECT_TRUE(b.messages.empty());
    // Left by a click elsewhere or on another row, then its box takes the
    // window's activation and gives it back: reported once.
    for (bool byRow : {false, true}) {
        b.select(Short4);
        b.choosePort(2);
        b.messages.clear();
        b.type(control::kLocalPort, QStringLiteral("4001"));
        if (byRow)
            b.select(Native2);
        else
            b.leave();
        QWidget box;
        box.show();
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        box.close();
        b.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(b.window.get()));
        EXPECT_EQ(b.messages.size(), 1u) << byRow;
        if (!byRow) { // left once more while it stands: reported again
            b.leave();
            EXPECT_EQ(b.messages.size(), 2u);
        }
    }
}

TEST(WindowEdits, WhatIsTypedIsStoredWhenAnotherWindowTakesTheFocus)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Native2);
    PortSettings &p = b.entry(Native2).ports[0];
    QWidget other;
    for (const auto &[id, text] :
         {std::pair{control::kRegisterData, "XYZ"}, std::pair{control::kModbusAddress, "7"}}) {
        b.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(b.window.get()));
        b.type(id, QString::fromLatin1(text));
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    EXPECT_EQ(bytes(kyvo::ByteView(p.registerData).first(p.registerLength)), QByteArray("XYZ"));
    EXPECT_EQ(p.modbusAddress, 7);
    EXPECT_TRUE(b.messages.empty());
}

TEST(WindowEdits, TheModbusAddressIsCheckedWhenTheEditIsLeft)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Native2);
    PortSettings &p = b.entry(Native2).ports[0];
    ASSERT_TRUE(b.window->controls().modbusAddress->isEnabled());
    b.type(control::kModbusAddress, QStringLiteral("300"));
    EXPECT_EQ(p.modbusAddress, 1); // not on a keystroke
    b.leave();
    EXPECT_EQ(p.modbusAddress, 300 & 0xFF);
    b.type(control::kModbusAddress, QStringLiteral("7x"));
    b.leave();
    EXPECT_EQ(b.messageTexts(), QStringList{u(kNumber65535)});
    EXPECT_EQ(b.window->controls().modbusAddress->text(), QStringLiteral("0"));
    EXPECT_EQ(p.modbusAddress, 300 & 0xFF);
}

TEST(WindowEdits, RegisterDataAsHexOrTextAndTheMacButton)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Native2);
    const ServerWindowControls &ui = b.window->controls();
    PortSettings &p = b.entry(Native2).ports[0];
    ASSERT_TRUE(ui.registerData->isEnabled());
    EXPECT_EQ(ui.registerData->text(), QStringLiteral("REG-1"));
    ui.hex->click();
    EXPECT_EQ(ui.registerData->text(), QStringLiteral("52 45 47 2d 31 "));

    b.type(control::kRegisterData, QStringLiteral("4142 4"));
    EXPECT_EQ(p.registerLength, 5); // stored only when the edit is left
    b.leave();
    EXPECT_EQ(p.registerLength, 3);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(p.registerData).first(4)), "41 42 04 00");
    b.type(control::kRegisterData, QStringLiteral("41 4G"));
    b.leave();
    EXPECT_EQ(b.messageTexts(), QStringList{QStringLiteral("Please type hex number")});
    EXPECT_EQ(p.registerLength, 3);

    ui.hex->click(); // shown as characters again
    EXPECT_EQ(ui.registerData->text(), QStringLiteral("AB?"));
    b.type(control::kRegisterData, QStringLiteral("abcdefghijklmnopqrst")); // 20 characters: 16 are kept
    b.leave();
    EXPECT_EQ(p.registerLength, 16);
    EXPECT_EQ(p.registerData.back(), 'p');

    ui.macAsRegister->click();
    EXPECT_TRUE(ui.hex->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), ui.registerData);
    const QString mac = QString::fromStdString(macText(b.entry(Native2)))
                            .toLower()
                            .replace(QLatin1Char('-'), QLatin1Char(' '));
    EXPECT_EQ(ui.registerData->text(), mac);
    b.leave();
    EXPECT_EQ(p.registerLength, 6);
    EXPECT_EQ(bytes(kyvo::ByteView(p.registerData).first(6)), bytes(b.entry(Native2).mac));

    // Register mode 0 turns the data off; another mode turns it on.
    choose(ui.registerMode, 0);
    EXPECT_EQ(p.registerMode, 0);
    EXPECT_FALSE(ui.registerData->isEnabled());
    choose(ui.registerMode, 3);
    EXPECT_EQ(p.registerMode, 3);
    EXPECT_TRUE(ui.registerData->isEnabled());
}

TEST(WindowEdits, WithoutASelectedDeviceEveryEditOnlyAsksForOne)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Short4);
    const PortSettings before = b.entry(Short4).ports[0];
    QSignalSpy sent(&b.window->commands(), &ServerCommands::datagramSent);
    b.window->controls().deviceList->clearSelection();
    const ServerWindowControls &ui = b.window->controls();
    choose(ui.baud, 0);
    EXPECT_EQ(b.pane(0), u("请在设备列表中选择一个设备"));
    b.type(control::kTargetPort, QStringLiteral("1"));
    ui.customBaud->click();
    EXPECT_EQ(b.entry(Short4).ports[0], before);
    for (int id : {control::kSaveDevice, control::kSavePorts, control::kRestart, control::kFactoryReset,
                   control::kUpgrade}) {
        b.window->core().setLanguage(Language::Chinese); // empties pane 0
        ASSERT_TRUE(b.pane(0).isEmpty());
        b.click(id);
        EXPECT_EQ(b.pane(0), u("请在设备列表中选择一个设备")) << id;
    }
    b.advance(1000);
    EXPECT_EQ(sent.count(), 0);
    EXPECT_TRUE(b.questions.empty());
}

TEST(WindowEdits, TheWifiModeRuleWarnsOnlyWhenTheUserChoosesApClient)
{
    WindowBench b(editServers());
    ASSERT_TRUE(b.search());
    b.select(Wifi362);
    EXPECT_TRUE(b.messages.empty()); // shown in STA mode without a warning
    const ServerWindowControls &ui = b.window->controls();
    choose(ui.wifiMode, 2);
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_TRUE(b.messages[0].text.startsWith(u("不推荐使用此模式 ！！！  AP-CLIENT 可实现WIFI中继")));
    for (QLineEdit *e : {ui.apSsid, ui.apPassword, ui.staSsid, ui.staPassword})
        EXPECT_TRUE(e->isEnabled());
    choose(ui.wifiMode, 0);
    EXPECT_TRUE(ui.apSsid->isEnabled());
    EXPECT_FALSE(ui.staSsid->isEnabled());
    EXPECT_FALSE(ui.staPassword->isEnabled());
    EXPECT_FALSE(ui.wifiScan->isEnabled());
    EXPECT_EQ(b.messages.size(), 1u);
    choose(ui.security, 1);
    EXPECT_FALSE(ui.encryption->isEnabled());
    choose(ui.security, 3);
    EXPECT_TRUE(ui.encryption->isEnabled());
    // The mode is taken over when the device is saved, not before.
    EXPECT_EQ(b.entry(Wifi362).wifiMode, 2);
}

TEST(WindowEdits, LaterDialogsOpenThroughTheirExtensionsAndFollowTheirRules)
{
    BenchOptions o = editServers();
    std::vector<int> opened;
    for (int id : {control::kModbusCache, control::kWifiScan, control::kAddressSet}) {
        ServerConfigDialog::Extension x;
        x.open = [&opened, id](ServerConfigDialog &, DeviceEntry *entry) {
            EXPECT_NE(entry, nullptr);
            opened.push_back(id);
        };
        o.extensions[id] = x;
    }
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.select(Short4);
    const ServerWindowControls &ui = b.window->controls();
    b.choosePort(3); // TCP_SERVER, Modbus TCP->RTU off
    EXPECT_FALSE(ui.modbusCache->isEnabled());
    ui.modbusTcpToRtu->click();
    EXPECT_TRUE(ui.modbusCache->isEnabled());
    ui.modbusCache->click();
    choose(ui.workMode, 1);
    EXPECT_FALSE(ui.modbusCache->isEnabled());

    ui.oneToMany->click();
    EXPECT_EQ(b.entry(Short4).oneToManyEnable, 1);
    EXPECT_TRUE(ui.addressSet->isVisibleTo(ui.advancedGroup));
    ui.addressSet->click();
    ui.oneToMany->click();
    EXPECT_FALSE(ui.addressSet->isVisibleTo(ui.advancedGroup));

    b.select(Wifi362); // STA: the scan button has its dialog now
    EXPECT_TRUE(ui.wifiScan->isEnabled());
    ui.wifiScan->click();
    EXPECT_EQ(opened, (std::vector<int>{control::kModbusCache, control::kAddressSet, control::kWifiScan}));
}

TEST(WindowEdits, TheToggleShowsAndHidesTheAdvancedColumn)
{
    WindowBench b(BenchOptions{});
    const ServerWindowControls &ui = b.window->controls();
    const int narrow = b.window->width();
    clickLabel(ui.advancedToggle);
    EXPECT_TRUE(b.window->advancedVisible());
    EXPECT_EQ(ui.advancedToggle->text(), QStringLiteral("<<"));
    EXPECT_GT(b.window->width(), narrow);
    clickLabel(ui.advancedToggle);
    EXPECT_FALSE(b.window->advancedVisible());
    EXPECT_EQ(ui.advancedToggle->text(), QStringLiteral(">>"));
    EXPECT_EQ(b.window->width(), narrow);
}
