// Showing servers of every family: each control holds its entry's value
// (and so the simulated server's), the family's enabling, the port list by
// port count, and the port that is shown when the selection changes.
#include "tests/pelmar/ui/window_fixture.h"

#include <QAction>
#include <QProgressBar>
#include <QUdpSocket>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

QString gbk(const std::string &s)
{
    return kyvo::fromGbk(QByteArray::fromStdString(s));
}

// Every control of the device and of the shown port against the entry.
// bySelection: the port was chosen in "端口选择" rather than shown with its device.
void expectControlsHold(WindowBench &b, const DeviceEntry &e, int port, bool bySelection = false)
{
    const ServerWindowControls &ui = b.window->controls();
    const PortSettings &p = e.ports[std::size_t(port)];
    EXPECT_EQ(ui.ipType->currentIndex(), e.ipMode - 1);
    EXPECT_EQ(ui.mac->text(), QString::fromStdString(macText(e)));
    EXPECT_EQ(ui.user->text(), gbk(e.user.text()));
    EXPECT_EQ(ui.password->text(), gbk(e.password.text()));
    EXPECT_EQ(ui.filterOn->isChecked(), e.broadcastFilterOff == 0);
    EXPECT_EQ(ui.portSelect->currentIndex(), port);
    EXPECT_EQ(ui.baud->currentText(), QString::number(baudFromIndex(p.baudIndex)));
    EXPECT_EQ(ui.parity->currentIndex(), p.parity - 1);
    EXPECT_EQ(ui.dataBits->currentText(), QString::number(p.dataBits));
    EXPECT_EQ(ui.stopBits->currentIndex(), p.stopBits - 1);
    EXPECT_EQ(ui.workMode->currentIndex(), p.workMode - 1);
    EXPECT_EQ(ui.targetHost->text(), gbk(p.targetHost.text()));
    EXPECT_EQ(ui.targetPort->text(), QString::number(p.targetPort));
    EXPECT_EQ(ui.localPort->text(), QString::number(p.localPort));
    EXPECT_EQ(ui.heartbeatData->text(), gbk(p.heartbeatData.text()));
    EXPECT_EQ(ui.heartbeatInterval->text(), QString::number(p.heartbeatInterval));
    EXPECT_EQ(ui.packTime->text(), QString::number(p.packTime));
    EXPECT_EQ(ui.packLength->text(), QString::number(p.packLength));
    EXPECT_EQ(ui.timeout->text(), QString::number(shownTimeout(e.deviceKind, p)));
    EXPECT_EQ(ui.modbusAddress->text(), QString::number(p.modbusAddress));
    EXPECT_EQ(ui.modbusTcpToRtu->isChecked(), p.modbusTcpToRtu == 2);
    EXPECT_EQ(ui.registerMode->currentIndex(), p.registerMode);
    EXPECT_EQ(ui.registerData->text(), gbk(registerText(p, ui.hex->isChecked())));
    EXPECT_EQ(ui.customBaud->isChecked(), p.customBaud != 0);
    EXPECT_EQ(ui.enable->isChecked(), p.enable == 2);
    // Enabling by the device and the port.
    EXPECT_EQ(ui.packTime->isEnabled(), e.deviceKind == 1);
    EXPECT_EQ(ui.packLength->isEnabled(), e.deviceKind == 1);
    const bool client = p.workMode == 2 || p.workMode == 4;
    EXPECT_EQ(ui.targetHost->isEnabled(), client);
    EXPECT_EQ(ui.heartbeatData->isEnabled(), p.workMode == 2);
    EXPECT_EQ(ui.registerMode->isEnabled(), p.workMode == 2 && e.registerCapable);
    EXPECT_EQ(ui.registerData->isEnabled(),
              (bySelection || p.workMode == 2) && e.registerCapable && p.registerMode != 0);
    EXPECT_EQ(ui.timeout->isEnabled(), p.modbusTcpToRtu == 2);
    EXPECT_EQ(ui.modbusMarker->isVisibleTo(ui.portGroup), p.modbusTcpToRtu == 2);
    EXPECT_EQ(ui.heartbeatPackets->isVisibleTo(ui.portGroup), e.longRecord);
    EXPECT_EQ(ui.savePorts->isEnabled(), !e.isWifi);
}

void expectWifiShown(WindowBench &b, const DeviceEntry &e)
{
    const ServerWindowControls &ui = b.window->controls();
    EXPECT_EQ(ui.wifiMode->isEnabled(), e.isWifi);
    if (!e.isWifi) {
        for (QLineEdit *edit : {ui.apSsid, ui.apPassword, ui.staSsid, ui.staPassword}) {
            EXPECT_TRUE(edit->text().isEmpty());
            EXPECT_FALSE(edit->isEnabled());
        }
        EXPECT_TRUE(ui.signalText->text().isEmpty());
        EXPECT_EQ(ui.signalBar->value(), 0);
        EXPECT_FALSE(ui.security->isEnabled());
        return;
    }
    EXPECT_EQ(ui.apSsid->text(), gbk(e.apSsid.text()));
    EXPECT_EQ(ui.apPassword->text(), gbk(e.apPassword.text()));
    EXPECT_EQ(ui.staSsid->text(), gbk(e.staSsid.text()));
    EXPECT_EQ(ui.staPassword->text(), gbk(e.staPassword.text()));
    EXPECT_EQ(ui.wifiMode->count(), e.wifiExtended ? 3 : 2);
    EXPECT_EQ(ui.wifiMode->currentIndex(), e.wifiMode - 1);
    EXPECT_EQ(ui.signalText->text(), QString::fromStdString(signalText(e)));
    EXPECT_EQ(ui.signalBar->value(), e.wifiRssi + 100);
    EXPECT_EQ(ui.security->isEnabled(), e.wifiExtended);
    EXPECT_EQ(ui.dhcpServer->isVisibleTo(ui.wifiGroup), e.wifiExtended);
    if (e.wifiExtended) {
        EXPECT_EQ(ui.security->currentIndex(), e.wifiSecurity);
        EXPECT_EQ(ui.encryption->currentIndex(), e.wifiEncryption);
        EXPECT_EQ(ui.encryption->isEnabled(), e.wifiSecurity >= 2);
        EXPECT_EQ(ui.dhcpServer->isChecked(), e.wifiDhcpServer == 2);
        EXPECT_EQ(ui.stp->isChecked(), e.wifiStp == 2);
    }
    // STA mode (the simulator's): the STA edits and not the AP ones.
    EXPECT_EQ(ui.staSsid->isEnabled(), e.wifiMode != 1);
    EXPECT_EQ(ui.apSsid->isEnabled(), e.wifiMode != 2);
}

BenchOptions everyFamily()
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 4, false, 0),  server(ServerFamily::Wifi362, 2, true),
                 server(ServerFamily::Wifi292, 1),          server(ServerFamily::Multi1284, 8, false, 0),
                 server(ServerFamily::Multi2326, 24, true), server(ServerFamily::Native, 2, true),
                 server(ServerFamily::Native, 4, true),     server(ServerFamily::Native, 6)};
    return o;
}

} // namespace

TEST(WindowShow, EveryFamilyIsShownFieldByFieldAsTheServerHoldsIt)
{
    WindowBench b(everyFamily());
    ASSERT_TRUE(b.search());
    EXPECT_EQ(b.window->deviceModel().rowCount(), int(b.options.servers.size()));
    for (std::size_t i = 0; i < b.options.servers.size(); ++i) {
        SCOPED_TRACE(b.window->core().devices().at(std::size_t(b.slot(i))).hardwareVersion.text());
        b.select(i);
        const DeviceEntry &e = b.entry(i);
        ASSERT_EQ(b.window->shownDevice(), b.slot(i));
        // The list row, the device fields and port 1, against the server itself.
        QAbstractItemModel *m = b.window->controls().deviceList->model();
        EXPECT_EQ(m->index(b.slot(i), 0).data().toString(),
                  QString::fromStdString(kyvo::ipv4Text(b.options.servers[i].address)));
        EXPECT_EQ(m->index(b.slot(i), 1).data().toString(), devsim::macText(b.options.servers[i].mac));
        EXPECT_EQ(m->index(b.slot(i), 2).data().toByteArray(), b.value(i, QStringLiteral("firmware")));
        EXPECT_EQ(m->index(b.slot(i), 3).data().toByteArray(), b.value(i, QStringLiteral("hardware")));
        const ServerWindowControls &ui = b.window->controls();
        EXPECT_EQ(bytes(ui.ip->octets()), b.value(i, QStringLiteral("ip")));
        EXPECT_EQ(bytes(ui.mask->octets()), b.value(i, QStringLiteral("mask")));
        EXPECT_EQ(bytes(ui.gateway->octets()), b.value(i, QStringLiteral("gateway")));
        EXPECT_EQ(bytes(ui.dns->octets()), b.value(i, QStringLiteral("dns")));
        EXPECT_EQ(ui.user->text().toLatin1(), b.value(i, QStringLiteral("user")).left(5));
        EXPECT_EQ(ui.baud->currentIndex() + 1, int(b.portValue(i, 1, "baud")[0]));
        EXPECT_EQ(ui.workMode->currentIndex() + 1, int(b.portValue(i, 1, "workmode")[0]));
        EXPECT_EQ(ui.localPort->text().toUShort(), 4001);
        EXPECT_EQ(ui.targetHost->text().toLatin1(),
                  b.portValue(i, 1, "host").left(ui.targetHost->text().size()));
        EXPECT_GT(ui.targetHost->text().size(), 10);
        EXPECT_EQ(ui.targetHost->cursorPosition(), 0) << "the host's start is shown";
        EXPECT_EQ(ui.registerMode->toolTip(), ui.registerMode->currentText());
        expectControlsHold(b, e, 0);
        expectWifiShown(b, e);
        // Every port the record carries.
        const int ports = std::min(b.window->controls().portSelect->count(), b.options.servers[i].ports);
        for (int k = 1; k < ports; ++k) {
            SCOPED_TRACE(k + 1);
            b.choosePort(k);
            expectControlsHold(b, e, k, true);
            if (e.deviceKind == 1) {
                EXPECT_EQ(ui.packLength->text().toInt(), 500 + k + 1);
            }
        }
        b.choosePort(0);
    }
}

TEST(WindowShow, ThePortListFollowsThePortCountAndKeepsItsSelectionInRange)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Multi2326, 24, true), server(ServerFamily::Short, 4, false, 1)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.select(0);
    PortCombo *ports = b.window->controls().portSelect;
    EXPECT_EQ(ports->count(), 24);
    EXPECT_EQ(ports->itemText(23), QStringLiteral("PORT24"));
    b.choosePort(7);
    EXPECT_EQ(b.window->shownPort(), 7);
    // A four-port server while PORT8 is selected: PORT4 is shown.
    b.select(1);
    EXPECT_EQ(ports->count(), 4);
    EXPECT_EQ(ports->currentIndex(), 3);
    EXPECT_EQ(b.window->shownPort(), 3);
    EXPECT_EQ(b.window->controls().localPort->text(), QStringLiteral("4004"));
    // Back on the big server the fourth port stays selected and the list is refilled when opened.
    b.select(0);
    EXPECT_EQ(ports->count(), 24);
    EXPECT_EQ(ports->currentIndex(), 3);
}

TEST(WindowShow, AKeyboardSelectionShowsTheDeviceAsAClickDoes)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Native, 2, true), server(ServerFamily::Wifi292, 1)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.select(0);
    QTableView *list = b.window->controls().deviceList;
    list->setFocus();
    QTest::keyClick(list, b.slot(1) > b.slot(0) ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(b.window->shownDevice(), b.slot(1));
    EXPECT_TRUE(b.window->controls().wifiMode->isEnabled());
    EXPECT_FALSE(b.window->controls().savePorts->isEnabled());
}

TEST(WindowShow, AtStartTheListsHoldTheirItemsAndTheLaterDialogsAreDisabled)
{
    WindowBench b(BenchOptions{});
    const ServerWindowControls &ui = b.window->controls();
    EXPECT_EQ(ui.baud->count(), 17);
    EXPECT_EQ(ui.baud->itemText(16), QStringLiteral("1024000"));
    EXPECT_EQ(ui.dataBits->count(), 3);
    EXPECT_EQ(ui.portSelect->count(), 8);
    EXPECT_EQ(ui.registerMode->itemText(3), u("同时支持以上两者"));
    EXPECT_EQ(ui.ipType->itemText(1), u("动态 IP"));
    EXPECT_TRUE(ui.broadcast->isChecked());
    EXPECT_TRUE(ui.defaultAdapter->isChecked());
    EXPECT_EQ(b.pane(3), u("广播地址:127.0.0.1"));
    EXPECT_TRUE(b.pane(0).isEmpty());
    EXPECT_FALSE(ui.advancedGroup->isVisibleTo(b.window.get()));
    EXPECT_FALSE(ui.oneClick->isEnabled());
    for (QPushButton *w : ui.clones)
        EXPECT_FALSE(w->isEnabled());
    for (QWidget *w : std::initializer_list<QWidget *>{ui.cloud, ui.mqtt, ui.modbusCache, ui.addressSet,
                                                       ui.wifiScan, ui.heartbeatPackets})
        EXPECT_FALSE(w->isEnabled()) << w->property(kControlIdProperty).toInt();
    EXPECT_FALSE(ui.upgradeItem->isEnabled());
    // The window's own: the parameter files, the clone help and the Modbus address marker.
    EXPECT_TRUE(ui.exportItem->isEnabled());
    EXPECT_TRUE(ui.importItem->isEnabled());
    EXPECT_TRUE(ui.cloneHelp->isEnabled());
    EXPECT_TRUE(ui.modbusMarker->isEnabled());
    EXPECT_TRUE(ui.profilePath->text().isEmpty());
    EXPECT_TRUE(ui.upgrade->isEnabled()); // its command needs no dialog
    EXPECT_FALSE(ui.serialType->isVisibleTo(ui.portGroup));
    EXPECT_FALSE(ui.enable->isVisibleTo(ui.portGroup));
    EXPECT_FALSE(ui.modbusAddressRow->isVisibleTo(ui.portGroup));
    EXPECT_EQ(b.window->windowTitle(), u("V174 串口服务器配置软件"));
}

TEST(WindowShow, ADoubleClickReadsTheDevicesItemsAgainAndShowsWhatTheyBring)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 2, false, 1)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.select(0);
    const ServerWindowControls &ui = b.window->controls();
    ASSERT_EQ(ui.user->text(), QStringLiteral("admin"));
    // The server's values change behind the shown ones.
    b.host->call([](devsim::SimNetwork &n) {
        n.device(0).assign(QStringLiteral("user"), QByteArray("oper\0\0\0\0", 8));
        n.device(0).assign(QStringLiteral("port1.localport"), QByteArray("\x13\x89", 2));
    });
    const long long reads = b.counter(0, "reads");
    QTableView *list = b.window->controls().deviceList;
    const QPoint cell = list->visualRect(list->model()->index(b.slot(0), 0)).center();
    QSignalSpy doubleClicks(list, &QTableView::doubleClicked);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
    ASSERT_EQ(doubleClicks.count(), 1);
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "reads") == reads + 6; })); // items 0x02 .. 0x07
    EXPECT_EQ(list->palette().color(QPalette::Active, QPalette::Highlight), QColor(51, 153, 255));
    // Once the six answers are in, the controls hold them, so a save does not write the old ones back.
    ASSERT_TRUE(waitFor([&] { return ui.user->text() == QStringLiteral("oper"); }));
    EXPECT_EQ(ui.localPort->text(), QStringLiteral("5001"));
    // A click on the row already shown shows its entry again.
    b.entry(0).user.set("viewer");
    b.select(0);
    EXPECT_EQ(ui.user->text(), QStringLiteral("viewer"));
}

TEST(WindowShow, TheNetworksMessageBoxOpensAgainOnceTheLastOneIsClosed)
{
    WindowBench b(BenchOptions{}); // its alerts are closed as soon as they open
    QSignalSpy routed(&b.window->core(), &ServerCore::tftpDatagram); // the message starts with 0x00 too
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress(loopback(1)), 0));
    QByteArray alert(4096, 0);
    alert.replace(4, 4, QByteArray("busy"));
    for (int i = 0; i < 3; ++i)
        peer.writeDatagram(alert, QHostAddress(loopback(1)), b.window->core().socket().localPort());
    ASSERT_TRUE(waitFor([&] { return routed.count() == 3; }));
    ASSERT_EQ(b.alerts.size(), 3u);
    EXPECT_EQ(b.alerts[2].text, QStringLiteral("busy busy"));
}
