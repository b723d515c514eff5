// The main window shows a simulated gateway's record field by field, copies
// edits back, and follows the enabling rules, the port type and the work modes.
#include "tests/vorlet/ui/window_fixture.h"

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/address_edit.h"
#include "vorlet/ui/device_list_model.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

using namespace vorlet;
using namespace uitest;

namespace {

// A link label's caption without its link markup (blanks kept as they are).
QString plain(const QLabel *label)
{
    QString text = label->text();
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

// Sets device items before the search ("1A", "40.01", ...).
void setItems(WindowBench &b, int device, std::initializer_list<std::pair<const char *, const char *>> items)
{
    b.host->call([&](devsim::SimNetwork &n) {
        for (const auto &[path, hexValue] : items)
            ASSERT_TRUE(n.device(std::size_t(device))
                            .assign(QString::fromLatin1(path), QByteArray::fromHex(hexValue)));
    });
}

RecordingPanel *panelOf(WindowBench &b, int channel, ChannelPanelKind kind)
{
    for (RecordingPanel *p : b.panels)
        if (p->channel == channel && p->kind == kind) return p;
    return nullptr;
}

TEST(WindowRecord, ShowsAGatewaysRecordFieldByField)
{
    WindowBench b;
    setItems(b, 0,
             {{"11", "01"},
              {"40.01", "0901080200640010"},
              {"40.04", "01"},
              {"40.06", "03e80064"},
              {"40.07", "0107d0"},
              {"b1", "000004d200000038000000000000000000000000000000000000000000000000000000"}});
    ASSERT_TRUE(b.search());
    const ParameterRecord &r = b.record(0);

    const QAbstractItemModel *list = b.window->controls().deviceList->model();
    EXPECT_EQ(list->index(0, 0).data().toString(), QStringLiteral("1"));
    EXPECT_EQ(list->index(0, 1).data().toString(), QStringLiteral("127.0.0.5"));
    EXPECT_EQ(list->index(0, 2).data().toString(), QStringLiteral("00-4B-59-7F-00-05"));
    EXPECT_EQ(list->index(0, 3).data().toString(),
              QString::fromLatin1(kyvo::fieldText(r.versionText).c_str()));
    EXPECT_FALSE(list->index(0, 3).data().toString().isEmpty());
    EXPECT_EQ(list->index(0, 4).data().toString(), QStringLiteral("VG-211W"));
    EXPECT_EQ(list->index(0, 5).data().toString(), u("网关5"));

    EXPECT_EQ(b.control<QComboBox>(1012)->currentIndex(), 1);
    EXPECT_EQ(b.control<AddressEdit>(1013)->text(), QStringLiteral("127.0.0.5"));
    EXPECT_EQ(b.control<AddressEdit>(1014)->text(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(b.control<AddressEdit>(1015)->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(b.control<AddressEdit>(1016)->text(), QStringLiteral("223.5.5.5"));
    EXPECT_EQ(b.control<QLineEdit>(1042)->text(), QStringLiteral("admin"));
    EXPECT_EQ(b.control<QLineEdit>(1043)->text(), QStringLiteral("admin"));

    // Serial group.
    EXPECT_EQ(b.control<QComboBox>(1026)->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(b.control<QComboBox>(1032)->currentText(), QStringLiteral("EVEN"));
    EXPECT_EQ(b.control<QComboBox>(1027)->currentText(), QStringLiteral("8"));
    EXPECT_EQ(b.control<QComboBox>(1028)->currentText(), QStringLiteral("2"));
    EXPECT_EQ(b.control<QLineEdit>(1030)->text(), QStringLiteral("100"));
    EXPECT_EQ(b.control<QLineEdit>(1031)->text(), QStringLiteral("16"));
    EXPECT_EQ(b.control<QComboBox>(1029)->currentIndex(), 1);
    EXPECT_EQ(b.control<QLineEdit>(1034)->text(), QStringLiteral("1000"));
    EXPECT_EQ(b.control<QLineEdit>(1035)->text(), QStringLiteral("100"));
    EXPECT_EQ(b.control<QLineEdit>(1036)->text(), QStringLiteral("2000"));
    EXPECT_TRUE(b.control<QCheckBox>(1033)->isChecked());
    EXPECT_EQ(b.control<QGroupBox>(1041)->title(), u("串口")); // after a new device
    b.select(0);
    EXPECT_EQ(b.control<QGroupBox>(1041)->title(), u("串口(rx:1234,tx:56)")); // after a click

    // WiFi group.
    EXPECT_EQ(b.control<QComboBox>(1020)->currentIndex(), 1);
    EXPECT_EQ(b.control<QLineEdit>(1021)->text(), QStringLiteral("Workshop-AP"));
    EXPECT_EQ(b.control<QLineEdit>(1022)->text(), QStringLiteral("12345678"));
    EXPECT_EQ(b.control<QComboBox>(1023)->currentIndex(), 3);
    EXPECT_EQ(b.control<QLabel>(1107)->text(), QStringLiteral("50%(-55)"));
    EXPECT_EQ(b.control<QLineEdit>(1037)->text(), QStringLiteral("000000000000"));
    EXPECT_FALSE(b.control<QCheckBox>(1019)->isChecked());

    // Advanced group.
    EXPECT_TRUE(b.control<QCheckBox>(1072)->isChecked()); // NTP
    EXPECT_TRUE(b.control<QCheckBox>(1073)->isChecked()); // web on: byte 53784 is not 0x55
    EXPECT_FALSE(b.control<QCheckBox>(3349)->isChecked());
    EXPECT_FALSE(b.control<QCheckBox>(1075)->isChecked());
    EXPECT_EQ(b.control<QComboBox>(1005)->currentIndex(), 0);
    EXPECT_EQ(b.control<QLabel>(1085)->text(), QStringLiteral("(1a2b,3c4d,5e6f)"));
    EXPECT_EQ(b.control<QLineEdit>(1017)->text(), QStringLiteral("0"));
    EXPECT_EQ(b.control<QLabel>(1082)->text(), u("无数据时间:%1 秒").arg(r.idleS.get()));
    EXPECT_EQ(b.control<QLabel>(1160)->text(), QStringLiteral("0-V000"));
    EXPECT_EQ(b.control<QLabel>(1083)->text(), QStringLiteral("V242"));

    // Status texts of the record.
    EXPECT_EQ(plain(b.control<QLabel>(1067)), u("RTC校准(2026-12-09 08:30:00  星期三)"));
    EXPECT_TRUE(b.control<QLabel>(1067)->isEnabled());
    EXPECT_EQ(b.control<QLabel>(1065)->text(), u("生产日期:2023-11-14-22:13:20"));
    EXPECT_EQ(b.control<QLabel>(1065)->palette().color(QPalette::WindowText), QColor(0, 128, 0));

    // Channels: TCP-A a TCP client, TCP-B a TCP server, which it cannot be.
    EXPECT_EQ(b.control<QComboBox>(1010)->currentIndex(), 2);
    EXPECT_EQ(b.control<QLabel>(1062)->text(), u("连接失败, 接收:0 发送:0"));
    EXPECT_EQ(b.control<QComboBox>(1011)->currentIndex(), 1);
    EXPECT_EQ(b.control<QLabel>(1063)->text(), u("客户端(0), 接收:0  发送:0"));
    EXPECT_EQ(b.window->placedPanel(0), panelOf(b, 0, ChannelPanelKind::Socket));
    EXPECT_EQ(b.window->placedPanel(1), nullptr);
    EXPECT_EQ(panelOf(b, 0, ChannelPanelKind::Socket)->port->text(), QStringLiteral("8887"));
}

TEST(WindowRecord, CollectsEditsBackIntoTheRecord)
{
    WindowBench b;
    ASSERT_TRUE(b.search());
    ParameterRecord &r = b.record(0);
    const std::uint8_t oldBssid[6] = {1, 2, 3, 4, 5, 6};
    std::memcpy(r.bssid, oldBssid, 6);

    choose(b.control<QComboBox>(1012), 1);
    b.control<AddressEdit>(1013)->setText(QStringLiteral("192.168.3.40"));
    b.control<AddressEdit>(1015)->setText(QStringLiteral("192.168.3"));
    b.control<QLineEdit>(1042)->setText(u("用户"));
    b.control<QLineEdit>(1043)->setText(QString(80, QLatin1Char('p')));
    choose(b.control<QComboBox>(1026), 3);
    choose(b.control<QComboBox>(1027), 0);
    b.control<QLineEdit>(1030)->setText(QStringLiteral("abc"));
    b.control<QLineEdit>(1031)->setText(QStringLiteral("70000"));
    b.control<QCheckBox>(1073)->setChecked(false);
    b.control<QCheckBox>(3349)->setChecked(true);
    b.control<QLineEdit>(1017)->setText(QStringLiteral("15"));
    choose(b.control<QComboBox>(1005), 2);
    b.control<QLineEdit>(1021)->setText(u("车间;office"));
    b.control<QCheckBox>(1019)->setChecked(true);
    b.control<QLineEdit>(1037)->setText(QStringLiteral("a0b1c2d3e4f")); // 11 digits
    panelOf(b, 0, ChannelPanelKind::Socket)->port->setText(QStringLiteral("4001"));

    b.window->collectRecord(r);
    EXPECT_EQ(r.ipType, 1);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r.ipAddress, 4)), "c0 a8 03 28");
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r.gateway, 4)), "c0 a8 03 00");
    EXPECT_EQ(QByteArray(kyvo::fieldText(r.userName).c_str()), kyvo::toGbk(u("用户")));
    EXPECT_EQ(kyvo::fieldTextLength(r.password), 63u);
    EXPECT_EQ(r.serial.baudIndex, 3);
    EXPECT_EQ(r.serial.dataBits, 7);
    EXPECT_EQ(r.serial.packingTimeMs.get(), 0);
    EXPECT_EQ(r.serial.packingLength.get(), std::uint16_t(70000));
    EXPECT_EQ(r.webSwitch, 0x55);
    EXPECT_EQ(r.userJson, 0x55);
    EXPECT_EQ(r.netLossRestartMin.get(), 15);
    EXPECT_EQ(r.tlsMode, 2);
    EXPECT_EQ(QByteArray(kyvo::fieldText(r.ssidList).c_str()), u("车间;office").toUtf8());
    EXPECT_EQ(r.bssidOnly, 0x55);
    EXPECT_EQ(std::memcmp(r.bssid, oldBssid, 6), 0); // 11 digits change nothing
    EXPECT_EQ(r.channels[0].localPort.get(), 4001);

    choose(b.control<QComboBox>(1027), 1);
    b.control<QLineEdit>(1037)->setText(QStringLiteral("A0B1C2D3E4F5"));
    b.control<QCheckBox>(1073)->setChecked(true);
    b.window->collectRecord(r);
    EXPECT_EQ(r.serial.dataBits, 8);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r.bssid, 6)), "a0 b1 c2 d3 e4 f5");
    EXPECT_EQ(r.webSwitch, 0);
}

TEST(WindowRecord, SerialModeWifiModeAndTheBssidCheckBoxEnableTheirControls)
{
    WindowOptions o;
    o.extensions[1054] = {true, [](CvorletDlg &, ParameterRecord *) {}}; // a WiFi scan exists
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    auto *mode = b.control<QComboBox>(1029);
    auto *cache = b.control<QCheckBox>(1033);
    QWidget *timeout = b.control<QLineEdit>(1034), *update = b.control<QLineEdit>(1036),
            *delay = b.control<QLineEdit>(1035);
    const auto enabled = [&] {
        return std::vector<bool>{cache->isEnabled(), timeout->isEnabled(), update->isEnabled(),
                                 delay->isEnabled()};
    };
    choose(mode, 0);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));
    cache->setChecked(false);
    choose(mode, 1);
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, true}));
    cache->click();
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true}));
    choose(mode, 2);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));
    choose(mode, 3);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, true, false, true}));

    auto *scan = b.control<QLabel>(1054);
    EXPECT_TRUE(scan->isEnabled()); // STA
    choose(b.control<QComboBox>(1020), 0);
    EXPECT_FALSE(scan->isEnabled());
    choose(b.control<QComboBox>(1020), 1);
    EXPECT_TRUE(scan->isEnabled());
    EXPECT_FALSE(b.control<QComboBox>(1044)->isEnabled()); // connect mode only shows its value

    auto *bssidOnly = b.control<QCheckBox>(1019);
    EXPECT_FALSE(b.control<QLineEdit>(1037)->isEnabled());
    bssidOnly->click();
    EXPECT_TRUE(b.control<QLineEdit>(1037)->isEnabled());
    bssidOnly->click();
    EXPECT_FALSE(b.control<QLineEdit>(1037)->isEnabled());
}

TEST(WindowRecord, CapabilitiesDisableWifiClockLineAndFixedLineParameters)
{
    auto noWifi = gateway(3, false, false);
    noWifi.realTimeClock = false;
    WindowOptions o;
    o.gateways = {noWifi, gateway(4)};
    o.extensions[1054] = {true, [](CvorletDlg &, ParameterRecord *) {}};
    WindowBench b(o);
    setItems(b, 1, {{"04", "000001010001"}}); // WiFi, clock, fixed line parameters
    ASSERT_TRUE(b.search());

    b.select(0);
    EXPECT_FALSE(b.control<QComboBox>(1020)->isEnabled());
    EXPECT_FALSE(b.control<QLineEdit>(1021)->isEnabled());
    EXPECT_FALSE(b.control<QLineEdit>(1022)->isEnabled());
    EXPECT_FALSE(b.control<QComboBox>(1023)->isEnabled());
    EXPECT_FALSE(b.control<QLabel>(1054)->isEnabled());
    EXPECT_TRUE(b.control<QLabel>(1107)->text().isEmpty());
    EXPECT_FALSE(b.control<QLabel>(1067)->isEnabled());
    EXPECT_EQ(plain(b.control<QLabel>(1067)), u("无RTC.NTP:(2026-12-09 08:30:00  星期三)"));
    for (int id : {1026, 1032, 1027, 1028, 1030, 1031, 1177, 1182})
        EXPECT_TRUE(b.control<QWidget>(id)->isEnabled()) << id;

    b.select(1);
    EXPECT_TRUE(b.control<QComboBox>(1020)->isEnabled());
    EXPECT_TRUE(b.control<QLabel>(1067)->isEnabled());
    for (int id : {1026, 1032, 1027, 1028, 1030, 1031, 1177, 1178, 1179, 1180, 1181, 1182})
        EXPECT_FALSE(b.control<QWidget>(id)->isEnabled()) << id;
    EXPECT_TRUE(b.control<QComboBox>(1029)->isEnabled());
}

TEST(WindowRecord, DialogControlsAreEnabledOnlyWhereADialogExists)
{
    auto io = gateway(6);
    io.ioModule = true;
    WindowOptions o;
    o.gateways = {gateway(5), io};
    std::vector<int> opened;
    o.extensions[1078] = {true,
                          [&](CvorletDlg &, ParameterRecord *r) { opened.push_back(r ? r->mac[5] : -1); }};
    WindowBench b(o);
    for (int id : {1004, 1009, 1055, 1058, 1057, 1077, 1054, 1078})
        EXPECT_FALSE(b.control<QWidget>(id)->isEnabled()) << id;
    // The configuration files are the window's own commands.
    EXPECT_TRUE(b.window->controls().importConfig->isEnabled());
    EXPECT_TRUE(b.window->controls().exportConfig->isEnabled());
    EXPECT_FALSE(b.window->controls().customDefaults->isEnabled());
    ASSERT_TRUE(b.search());

    EXPECT_TRUE(b.control<QPushButton>(1078)->isEnabled()); // the I/O gateway, shown last
    EXPECT_EQ(b.control<QLabel>(1160)->text(),
              QStringLiteral("%1-V259").arg(b.record(1).io.moduleAddress.get()));
    b.control<QPushButton>(1078)->click();
    EXPECT_EQ(opened, std::vector<int>{6});
    b.select(0);
    EXPECT_FALSE(b.control<QPushButton>(1078)->isEnabled()); // no I/O module
    EXPECT_FALSE(b.control<QPushButton>(1004)->isEnabled());
}

TEST(WindowRecord, WorkModesPlaceTheirPanelsAndTcpBHasNoServerModes)
{
    WindowBench b;
    ASSERT_TRUE(b.search());
    ParameterRecord &r = b.record(0);
    auto *mode0 = b.control<QComboBox>(1010);
    auto *mode1 = b.control<QComboBox>(1011);

    const std::pair<int, ChannelPanelKind> modes[] = {
        {1, ChannelPanelKind::Socket}, {3, ChannelPanelKind::Socket}, {5, ChannelPanelKind::Http},
        {6, ChannelPanelKind::Mqtt},   {7, ChannelPanelKind::Socket}, {8, ChannelPanelKind::Http}};
    for (const auto &[m, kind] : modes) {
        choose(mode0, m);
        EXPECT_EQ(r.channels[0].workMode, m);
        RecordingPanel *expected = panelOf(b, 0, kind);
        EXPECT_EQ(b.window->placedPanel(0), expected) << m;
        EXPECT_TRUE(expected->isVisibleTo(b.window.get())) << m;
        int visible = 0;
        for (RecordingPanel *p : b.panels)
            visible += p->channel == 0 && p->isVisibleTo(b.window.get());
        EXPECT_EQ(visible, 1) << m;
    }
    choose(mode0, 0);
    EXPECT_EQ(b.window->placedPanel(0), nullptr);
    EXPECT_TRUE(b.control<QLabel>(1062)->text().isEmpty());

    choose(mode1, 2);
    EXPECT_EQ(b.window->placedPanel(1), panelOf(b, 1, ChannelPanelKind::Socket));
    choose(mode1, 1); // "TCP SERVER(不支持)"
    EXPECT_EQ(r.channels[1].workMode, 1);
    EXPECT_EQ(b.window->placedPanel(1), nullptr);
    EXPECT_FALSE(panelOf(b, 1, ChannelPanelKind::Socket)->isVisibleTo(b.window.get()));
    choose(mode1, 7); // "Websocket-Server(不支持)"
    EXPECT_EQ(r.channels[1].workMode, 7);
    EXPECT_EQ(b.window->placedPanel(1), nullptr);
    EXPECT_TRUE(b.control<QLabel>(1063)->text().isEmpty());

    // A panel not filled from this record copies nothing into it.
    r.channels[1].localPort = 777;
    b.window->collectRecord(r);
    EXPECT_EQ(r.channels[1].localPort.get(), 777);
}

TEST(WindowRecord, TheFieldPortGroupFollowsThePortTypeOfTheShownDevice)
{
    WindowOptions o;
    o.gateways = {gateway(3, true), gateway(5)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    const MainWindowControls &ui = b.window->controls();
    EXPECT_TRUE(ui.serialControls->isVisibleTo(b.window.get()));
    EXPECT_FALSE(ui.canPlace->isVisibleTo(b.window.get()));

    b.select(0); // the CAN gateway
    EXPECT_FALSE(ui.serialControls->isVisibleTo(b.window.get()));
    EXPECT_TRUE(ui.canPlace->isVisibleTo(b.window.get()));
    EXPECT_EQ(ui.serialGroup->title(), QStringLiteral("CAN"));
    ASSERT_NE(b.canPanel, nullptr);
    EXPECT_EQ(b.canPanel->bitRate, 9);
    b.canPanel->bitRate = 4;
    b.window->collectRecord(b.record(0));
    EXPECT_EQ(b.record(0).poll.can.bitRateIndex, 4);

    b.select(1);
    EXPECT_TRUE(ui.serialControls->isVisibleTo(b.window.get()));
    EXPECT_FALSE(ui.canPlace->isVisibleTo(b.window.get()));
    EXPECT_EQ(ui.serialGroup->title(), u("串口(rx:0,tx:0)"));
}

TEST(WindowRecord, TheListIsSortedByAddressAndABootLoaderIsAnnounced)
{
    auto boot = gateway(9);
    boot.model = "Vorlet-boot";
    WindowOptions o;
    o.gateways = {boot, gateway(3), gateway(5)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    const QAbstractItemModel *list = b.window->controls().deviceList->model();
    ASSERT_EQ(list->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list->index(row, 0).data().toString(), QString::number(row + 1));
        EXPECT_EQ(list->index(row, 1).data().toString(), QStringLiteral("127.0.0.%1")
                                                             .arg(row == 0   ? 3
                                                                  : row == 1 ? 5
                                                                             : 9));
    }
    EXPECT_EQ(b.window->selectedRow(), 2);
    EXPECT_EQ(b.boxTexts(), QStringList{u("当前设备处于按键升级状态,若不想升级，断电重启即可")});
    b.closeBoxes();
    b.select(1);
    EXPECT_TRUE(b.boxTexts().isEmpty());
    b.select(2);
    EXPECT_EQ(b.boxTexts().size(), 1);
}

TEST(WindowRecord, TheStatusLineSaysHowManyGatewaysTheFullListCouldNotTake)
{
    WindowBench b;
    b.knob(0, "clones", "600"); // 601 gateways answer
    b.window->onSearch();
    ASSERT_TRUE(testsupport::waitFor([&] { return b.window->statusText().contains(QStringLiteral("89")); }));
    EXPECT_EQ(b.window->core().devices().count(), 512u);
    EXPECT_EQ(b.window->statusText(), u("另有 89 台网关应答，未列出（列表最多 512 台）"));
}

TEST(WindowRecord, ASignalAndAProductionDateOfTheEdgeValues)
{
    WindowBench b;
    setItems(b, 0, {{"85", "a6"}});
    ASSERT_TRUE(b.search());
    EXPECT_EQ(b.control<QLabel>(1107)->text(), QStringLiteral("0%(-90)"));
    ParameterRecord &r = b.record(0);
    r.wifiSignal = std::uint8_t(-20);
    r.productionTime = 0xFFFFFFFFu;
    b.window->showRecord(r);
    EXPECT_EQ(b.control<QLabel>(1107)->text(), QStringLiteral("100%(-20)"));
    EXPECT_EQ(b.control<QLabel>(1065)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    r.wifiSignal = std::uint8_t(-100);
    r.productionTime = 1662023825u;
    r.clock[6] = 9; // an unknown weekday reads as Sunday
    b.window->showRecord(r);
    EXPECT_EQ(b.control<QLabel>(1107)->text(), QStringLiteral("0%(-100)"));
    EXPECT_EQ(b.control<QLabel>(1065)->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_TRUE(plain(b.control<QLabel>(1067)).endsWith(u("星期日)")));
}

} // namespace

TEST(WindowRecord, AWorkModeChangeKeepsWhatWasTypedIntoThePanelItHides)
{
    WindowBench b;
    ASSERT_TRUE(b.search());
    ParameterRecord &r = b.record(0);
    auto *mode0 = b.control<QComboBox>(1010);
    choose(mode0, 2); // the socket panel
    RecordingPanel *socket = panelOf(b, 0, ChannelPanelKind::Socket);
    socket->port->setText(QStringLiteral("4321"));
    choose(mode0, 6); // to MQTT and back: the typed port is not lost
    EXPECT_EQ(r.channels[0].localPort.get(), 4321);
    choose(mode0, 2);
    EXPECT_EQ(socket->port->text(), QStringLiteral("4321"));
}
