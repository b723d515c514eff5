// Parameter files, one-click configuration and the clone buttons in the
// main window against servers on loopback: export and import through the
// menus with the file dialogs answered by the bench, the path beside
// "一键配置", one-click onto a server with its two saves on the manual
// clock, the clones and their enabled state, and the help markers.
#include "tests/pelmar/ui/window_fixture.h"

#include "common/profile_file.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

const char *const kSelectDevice = "请在设备列表中选择一个设备";
const char *const kFirstPortOnly = "请在port1 界面中使用此功能！！！";
const char *const kNothingImported = "请先导入配置参数！";
const char *const kBadProfile = "无效的配置文件!";
const char *const kPortsDiffer = "端口数不匹配！";
const char *const kInfo = "信息";
const char *const kModbusAddressHelp =
    "Modbus 地址转换设置，极少用到。默认为0即可。谨慎设置\nModbus 若设置为大于0，比如设置为3，"
    "会将modbus主站发来的地址替换成3\n从站发来的地址会在替换成主站的地址。";
const char *const kCustomBaudHelp =
    "用户可以自主发数据更改串口参数，若数据符合格式，直接执行，并不返回数据，若不符合格式则转发。"
    "当次设置，当次有效，断电丢失。支持的型号：TW11   和固件版本以 L 开头的设备";

// The clone buttons by the row they stand on.
enum CloneButton { BaudClone = 0, LocalPortClone = 9, RegisterDataClone = 13, ModbusAddressClone = 15 };

void clickLabel(QWidget *label)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    QCoreApplication::processEvents();
}

struct Sent
{
    long long atMs; // on the saves' clock, from the click
    QByteArray datagram;
    char code() const { return datagram.size() > 3 ? datagram[3] : 0; }
};

struct FilesBench : WindowBench
{
    explicit FilesBench(BenchOptions o) : WindowBench(std::move(o)) {}

    bool ready()
    {
        if (!search()) return false;
        QObject::connect(&window->commands(), &ServerCommands::datagramSent,
                         [this](const QByteArray &d, const QString &, quint16) {
                             sent.push_back({(clock.now() - start).count(), d});
                         });
        return true;
    }
    const ServerWindowControls &ui() const { return window->controls(); }
    QPushButton *clone(int row) const { return ui().clones.at(std::size_t(row)); }
    QString file(const char *name) const
    {
        return parameterFolder() + QLatin1Char('/') + QLatin1String(name);
    }

    // "导出参数" of the selected device into the named file of the folder.
    void exportTo(const QString &path)
    {
        fileAnswers << path;
        ui().exportItem->trigger();
    }
    void importFrom(const QString &path)
    {
        fileAnswers << path;
        ui().importItem->trigger();
    }
    // The simulator runs in its own thread: waits until it took every item sent.
    bool itemsLanded(std::size_t server)
    {
        const auto items =
            std::count_if(sent.begin(), sent.end(), [](const Sent &s) { return s.code() != 0x49; });
        return waitFor([&] { return counter(server, "writes") >= items; });
    }
    void startClock()
    {
        start = clock.now();
        sent.clear();
    }

    kyvo::Millis start{0};
    std::vector<Sent> sent;
};

BenchOptions servers(std::vector<devsim::ServerProfile> list)
{
    BenchOptions o;
    o.servers = std::move(list);
    return o;
}

} // namespace

// --- clones ------------------------------------------------------------------

TEST(WindowClone, ALocalPortOf2000OnPort1CountsUpOverFourPortsAndDisablesItsButton)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    // The server's local ports 4001 .. 4004 are consecutive already.
    EXPECT_FALSE(b.clone(LocalPortClone)->isEnabled());
    b.type(control::kLocalPort, QStringLiteral("2000"));
    EXPECT_TRUE(b.clone(LocalPortClone)->isEnabled()); // on the keystrokes, before the edit is left
    b.leave();
    b.clone(LocalPortClone)->click();
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(b.entry(0).ports[k].localPort, 2000 + k) << k;
    EXPECT_FALSE(b.clone(LocalPortClone)->isEnabled());
    EXPECT_TRUE(b.messages.empty());
    b.choosePort(3);
    EXPECT_EQ(b.ui().localPort->text(), QStringLiteral("2003"));
}

TEST(WindowClone, TheLocalPortIsClonedFromPort1Only)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    b.choosePort(1);
    b.type(control::kLocalPort, QStringLiteral("5000"));
    b.leave();
    ASSERT_TRUE(b.clone(LocalPortClone)->isEnabled());
    b.clone(LocalPortClone)->click();
    ASSERT_EQ(b.messageTexts(), QStringList{u(kFirstPortOnly)});
    EXPECT_EQ(b.entry(0).ports[0].localPort, 4001);
    EXPECT_EQ(b.entry(0).ports[1].localPort, 5000);
    EXPECT_EQ(b.entry(0).ports[2].localPort, 4003);
}

TEST(WindowClone, TheBaudRateOfPort3GoesToAllEightPortsAndItsButtonIsThenDisabled)
{
    FilesBench b(servers({server(ServerFamily::Short, 8)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    b.choosePort(2);
    choose(b.ui().baud, 6); // 19200
    ASSERT_TRUE(b.clone(BaudClone)->isEnabled());
    b.clone(BaudClone)->click();
    for (std::size_t k = 0; k < 8; ++k)
        EXPECT_EQ(b.entry(0).ports[k].baudIndex, 7) << k;
    EXPECT_FALSE(b.clone(BaudClone)->isEnabled());
    EXPECT_TRUE(b.clone(BaudClone + 1)->isEnabled()); // the parities still differ

    // The cloned values travel with the port save.
    b.startClock();
    b.click(control::kSavePorts);
    b.advance(2000);
    ASSERT_TRUE(b.itemsLanded(0));
    for (int port = 1; port <= 8; ++port)
        EXPECT_EQ(b.portValue(0, port, "baud"), QByteArray(1, 7)) << port;
}

TEST(WindowClone, RegisterDataAbAndAcOnTwoPortsEnableTheRegisterDataClone)
{
    FilesBench b(servers({server(ServerFamily::Native, 2, true)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    ASSERT_FALSE(b.ui().hex->isChecked());
    ASSERT_TRUE(b.ui().registerData->isEnabled());
    b.type(control::kRegisterData, QStringLiteral("AB"));
    b.leave();
    b.choosePort(1);
    ASSERT_TRUE(b.ui().registerData->isEnabled());
    b.type(control::kRegisterData, QStringLiteral("AB"));
    b.leave();
    EXPECT_EQ(b.entry(0).ports[1].registerLength, 2);
    EXPECT_FALSE(b.clone(RegisterDataClone)->isEnabled());
    b.type(control::kRegisterData, QStringLiteral("AC"));
    b.leave();
    EXPECT_TRUE(b.clone(RegisterDataClone)->isEnabled());
    b.clone(RegisterDataClone)->click();
    EXPECT_EQ(b.entry(0).ports[0].registerData[1], 'C');
    EXPECT_FALSE(b.clone(RegisterDataClone)->isEnabled());
}

TEST(WindowClone, TheButtonsLookAtTheDevicesOwnPortsOnly)
{
    FilesBench b(servers({server(ServerFamily::Short, 2)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    ASSERT_EQ(b.ui().portSelect->count(), 2);
    ASSERT_TRUE(b.clone(BaudClone)->isEnabled()); // 115200 and 9600
    choose(b.ui().baud, 4);                       // port 1 at 9600 as well
    ASSERT_NE(b.entry(0).ports[2].baudIndex, 5);  // a port the device does not have
    EXPECT_FALSE(b.clone(BaudClone)->isEnabled());
    b.type(control::kLocalPort, QStringLiteral("4001"));
    b.choosePort(1);
    b.type(control::kLocalPort, QStringLiteral("4002"));
    EXPECT_FALSE(b.clone(LocalPortClone)->isEnabled());
}

TEST(WindowClone, ButtonsFollowTheShownDeviceAndAreOffWithoutOne)
{
    FilesBench b(servers({server(ServerFamily::Short, 4), server(ServerFamily::Short, 2)}));
    for (QPushButton *c : b.ui().clones)
        EXPECT_FALSE(c->isEnabled());
    ASSERT_TRUE(b.ready());
    b.select(0);
    EXPECT_TRUE(b.clone(BaudClone)->isEnabled());
    b.clone(BaudClone)->click();
    EXPECT_FALSE(b.clone(BaudClone)->isEnabled());
    b.select(1); // its ports still differ
    EXPECT_TRUE(b.clone(BaudClone)->isEnabled());
    b.select(0);
    EXPECT_FALSE(b.clone(BaudClone)->isEnabled());
    b.click(control::kSearch); // the list is emptied
    for (QPushButton *c : b.ui().clones)
        EXPECT_FALSE(c->isEnabled());
}

TEST(WindowClone, TheHelpExplainsTheClones)
{
    FilesBench b(servers({}));
    b.ui().cloneHelp->click();
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_TRUE(b.messages[0].text.startsWith(u("克隆:将其它PORT的值设置成当前PORT的值。")));
    b.ui().englishItem->trigger();
    b.ui().cloneHelp->click();
    EXPECT_EQ(b.messages.back().text, b.window->language().text(slot::kCloneHelp));
}

// --- help markers ------------------------------------------------------------

TEST(WindowHelp, TheModbusMarkerExplainsAndRevealsTheAddressRowWithItsClone)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    const ServerWindowControls &ui = b.ui();
    if (!ui.modbusTcpToRtu->isChecked()) ui.modbusTcpToRtu->click();
    ASSERT_TRUE(ui.modbusMarker->isVisibleTo(ui.portGroup));
    EXPECT_FALSE(ui.modbusAddressRow->isVisibleTo(ui.portGroup));
    clickLabel(ui.modbusMarker);
    ASSERT_EQ(b.messageTexts(), QStringList{u(kModbusAddressHelp)});
    EXPECT_TRUE(ui.modbusAddressRow->isVisibleTo(ui.portGroup));
    EXPECT_TRUE(ui.modbusAddress->isVisibleTo(ui.portGroup));
    EXPECT_TRUE(b.clone(ModbusAddressClone)->isVisibleTo(ui.portGroup));
    // The server's Modbus addresses are 1 .. 4: the clone sets them all.
    b.type(control::kModbusAddress, QStringLiteral("7"));
    b.leave();
    ASSERT_TRUE(b.clone(ModbusAddressClone)->isEnabled());
    b.clone(ModbusAddressClone)->click();
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(b.entry(0).ports[k].modbusAddress, 7) << k;
    ui.modbusTcpToRtu->click();
    EXPECT_FALSE(ui.modbusAddressRow->isVisibleTo(ui.portGroup));
}

TEST(WindowHelp, TheQuestionMarkOfTheCustomBaudRateExplainsIt)
{
    FilesBench b(servers({}));
    b.window->toggleAdvanced();
    QCoreApplication::processEvents();
    auto *help = b.control<QLabel>(control::kCustomBaudHelp);
    ASSERT_TRUE(help->isEnabled());
    clickLabel(help);
    EXPECT_EQ(b.messageTexts(), QStringList{u(kCustomBaudHelp)});
}

// --- export and import ---------------------------------------------------------

TEST(WindowFiles, ExportWritesTheSelectedDeviceAndImportReadsItBackThroughTheMenus)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    b.choosePort(1);
    choose(b.ui().workMode, 3); // UDP_CLIENT
    const QString path = b.file("plant-a.ini");
    // An older file of that name is replaced as a whole.
    QDir().mkpath(b.parameterFolder());
    kyvo::ProfileFile old;
    old.setString("Left over", "key", "value");
    ASSERT_TRUE(old.save(path));

    b.exportTo(b.file("plant-a")); // typed without the extension
    ASSERT_EQ(b.fileRequests.size(), 1u);
    const ServerConfigDialog::FileRequest &save = b.fileRequests[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.folder, b.parameterFolder());
    // The first five bytes of the version extra, '-', two of the firmware version; the control byte as '_'.
    EXPECT_EQ(save.proposedName, QStringLiteral("2024_-V0.ini"));
    EXPECT_EQ(save.filter, u("文件 (*.ini)"));
    const kyvo::ProfileFile written = kyvo::ProfileFile::load(path);
    EXPECT_FALSE(written.hasSection("Left over"));
    EXPECT_EQ(written.getString("Info", "HardwareVersion"), QByteArray("S410"));
    EXPECT_TRUE(written.hasSection("*****************Port4*****************"));
    EXPECT_FALSE(written.hasSection("*****************Port5*****************"));
    EXPECT_EQ(written.getString("*****************Port2*****************", "WorkMode"),
              QByteArray("UDP_CLIENT"));

    EXPECT_FALSE(b.ui().oneClick->isEnabled());
    const DeviceEntry before = b.entry(0);
    b.importFrom(path);
    ASSERT_EQ(b.fileRequests.size(), 2u);
    EXPECT_FALSE(b.fileRequests[1].save);
    EXPECT_EQ(b.fileRequests[1].folder, b.parameterFolder());
    EXPECT_EQ(b.fileRequests[1].filter, u("(*.ini);;所有文件(*.*)"));
    EXPECT_TRUE(b.messages.empty());
    EXPECT_TRUE(b.ui().oneClick->isEnabled());
    EXPECT_EQ(b.window->importedPath(), path);
    EXPECT_EQ(b.ui().profilePath->toolTip(), QDir::toNativeSeparators(path));
    EXPECT_FALSE(b.ui().profilePath->text().isEmpty());
    const DeviceEntry &imported = b.window->importedEntry();
    EXPECT_EQ(imported.hardwareVersion.text(), "S410");
    EXPECT_EQ(imported.ip, before.ip);
    EXPECT_EQ(imported.user, before.user);
    EXPECT_EQ(imported.ports[1].workMode, 4);
    EXPECT_EQ(imported.ports[3].localPort, before.ports[3].localPort);
    EXPECT_EQ(imported.ports[2].targetHost, before.ports[2].targetHost);
    EXPECT_EQ(imported.ports[0].baudIndex, before.ports[0].baudIndex);
    // Importing changes no device.
    EXPECT_EQ(b.entry(0).ports, before.ports);
}

TEST(WindowFiles, ExportNeedsASelectedDeviceAndCancelledDialogsChangeNothing)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    b.ui().exportItem->trigger(); // before the search: no device
    EXPECT_EQ(b.pane(0), u(kSelectDevice));
    EXPECT_TRUE(b.fileRequests.empty());
    ASSERT_TRUE(b.ready());

    b.select(0);
    b.ui().exportItem->trigger(); // no answer: cancelled
    EXPECT_EQ(b.fileRequests.size(), 1u);
    EXPECT_TRUE(QDir(b.parameterFolder()).exists()); // made for the dialog
    EXPECT_TRUE(QDir(b.parameterFolder()).entryList(QDir::Files).isEmpty());
    b.ui().importItem->trigger();
    EXPECT_EQ(b.fileRequests.size(), 2u);
    EXPECT_FALSE(b.ui().oneClick->isEnabled());
    EXPECT_TRUE(b.window->importedPath().isEmpty());
    EXPECT_TRUE(b.messages.empty());
}

TEST(WindowFiles, AFileThatCannotBeWrittenIsReported)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    const QString path = b.file("no-such-folder/plant.ini");
    b.exportTo(path);
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_EQ(b.messages[0].text, u("无法写入文件 ") + QDir::toNativeSeparators(path));
    EXPECT_FALSE(QFile::exists(path));
}

// The list as an inventory through the device menu, in the form of the
// suffix, with the adapter the window searched on.
TEST(WindowFiles, TheInventoryHoldsTheListAsCsvOrJson)
{
    FilesBench b(servers({server(ServerFamily::Short, 4), server(ServerFamily::Short, 2)}));
    QSignalSpy opened(&b.window->core(), &ServerCore::socketOpened);
    b.ui().adapterMenu->actions().at(1)->trigger(); // loopback | 127.0.0.1
    ASSERT_TRUE(opened.wait(5000));
    ASSERT_TRUE(b.ready());
    b.fileAnswers << b.file("servers.json") << b.file("servers.csv");
    b.ui().inventoryItem->trigger();
    b.ui().inventoryItem->trigger();
    ASSERT_EQ(b.fileRequests.size(), 2u);
    EXPECT_EQ(b.fileRequests[0].filter, u("CSV 文件 (*.csv);;JSON 文件 (*.json)"));
    const auto read = [&](const char *name) {
        QFile f(b.file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray json = read("servers.json");
    EXPECT_TRUE(json.startsWith("[\n {\"address\":\"127.0.0.")) << json.constData();
    EXPECT_TRUE(json.contains("{\"address\":\"127.0.0.3\",\"mac\":\"")) << json.constData();
    EXPECT_EQ(json.count("\"adapter\":\"127.0.0.1\"}"), 2) << json.constData();
    const QList<QByteArray> lines = read("servers.csv").split('\n');
    ASSERT_EQ(lines.size(), 4); // header, two servers, the end
    EXPECT_EQ(lines[0], "address,mac,model,firmware,name,adapter\r");
    for (const QByteArray &line : lines.mid(1, 2))
        EXPECT_TRUE(line.startsWith("127.0.0.") && line.endsWith(",127.0.0.1\r")) << line.constData();
    EXPECT_TRUE(b.messages.empty());
}

TEST(WindowFiles, AFileWithoutAValidPortCountOrWithAValueTheServersCannotTakeIsABadProfile)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    ASSERT_TRUE(b.ready());
    b.select(0);
    const QString good = b.file("good.ini");
    b.exportTo(good);
    b.importFrom(good);
    ASSERT_TRUE(b.ui().oneClick->isEnabled());

    // No "Info" section.
    const QString bad = b.file("bad.ini");
    kyvo::ProfileFile ini;
    ini.setString("*****************Device****************", "IpAddress", "10.1.1.1");
    ASSERT_TRUE(ini.save(bad));
    b.importFrom(bad);
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_EQ(b.messages[0].text, u(kBadProfile));
    EXPECT_EQ(b.messages[0].caption, u(kInfo));
    EXPECT_FALSE(b.ui().oneClick->isEnabled());
    EXPECT_TRUE(b.window->importedPath().isEmpty());
    EXPECT_TRUE(b.ui().profilePath->text().isEmpty());

    // 'B' counts as two ports for export, but is no port count of a file; English texts.
    ini.setString("Info", "HardwareVersion", "SB10");
    ASSERT_TRUE(ini.save(bad));
    b.ui().englishItem->trigger();
    b.importFrom(bad);
    ASSERT_EQ(b.messages.size(), 2u);
    EXPECT_EQ(b.messages[1].text, QStringLiteral("Bad Profile!"));
    EXPECT_EQ(b.messages[1].caption, QStringLiteral("Info"));

    ini.setString("Info", "HardwareVersion", "VN30");
    ASSERT_TRUE(ini.save(bad));
    b.importFrom(bad);
    EXPECT_EQ(b.messages.size(), 2u);
    EXPECT_TRUE(b.ui().oneClick->isEnabled());

    // A value no server can take refuses the whole file, naming its key.
    ini.setString("*****************Port1*****************", "WorkMode", "NOPE");
    ASSERT_TRUE(ini.save(bad));
    b.importFrom(bad);
    ASSERT_EQ(b.messages.size(), 3u);
    EXPECT_EQ(b.messages[2].text, QStringLiteral("Bad Profile! WorkMode (PORT1)"));
    EXPECT_FALSE(b.ui().oneClick->isEnabled());

    // A good file grown above 1 MiB is not read.
    b.importFrom(good);
    ASSERT_TRUE(b.ui().oneClick->isEnabled());
    QFile grown(good);
    ASSERT_TRUE(grown.open(QIODevice::Append));
    grown.write(QByteArray(kyvo::ProfileFile::kMaxFileBytes, ';'));
    grown.close();
    b.importFrom(good);
    ASSERT_EQ(b.messages.size(), 4u);
    EXPECT_TRUE(b.messages[3].text.contains(QStringLiteral("larger than 1 MiB")))
        << b.messages[3].text.toStdString();
    EXPECT_FALSE(b.ui().oneClick->isEnabled());
    EXPECT_TRUE(b.window->importedPath().isEmpty());
}

TEST(WindowFiles, AClickOnThePathOpensTheFileInTheEditor)
{
    FilesBench b(servers({server(ServerFamily::Short, 4)}));
    ASSERT_TRUE(b.ready());
    b.window->toggleAdvanced();
    QCoreApplication::processEvents();
    clickLabel(b.ui().profilePath);
    EXPECT_TRUE(b.openedFiles.isEmpty()); // nothing loaded
    b.select(0);
    const QString path = b.file("editor.ini");
    b.exportTo(path);
    b.importFrom(path);
    clickLabel(b.ui().profilePath);
    EXPECT_EQ(b.openedFiles, QStringList{path});
}

// --- one-click configuration ---------------------------------------------------

namespace {

enum OneClickServers { Short4, Multi24, Short2 };

BenchOptions oneClickServers()
{
    return servers({server(ServerFamily::Short, 4), server(ServerFamily::Multi2326, 24, true),
                    server(ServerFamily::Short, 2)});
}

// The 24-port server's file, with values that none of the servers holds.
QString twentyFourPortFile(FilesBench &b)
{
    b.select(Multi24);
    const QString path = b.file("multi24.ini");
    b.exportTo(path);
    kyvo::ProfileFile ini = kyvo::ProfileFile::load(path);
    ini.setString("*****************Device****************", "IpAddress", "10.77.5.5");
    ini.setString("*****************Device****************", "Username", "ops");
    ini.setString("*****************Port1*****************", "BitRate", "57600");
    ini.setString("*****************Port2*****************", "LocalPort", "4711");
    ini.setString("*****************Port3*****************", "RemoteIp", "10.77.9.3");
    ini.setString("*****************Port4*****************", "HeartbeatData", "FILE-HB");
    EXPECT_TRUE(ini.save(path));
    return path;
}

} // namespace

TEST(WindowOneClick, AFileOfMorePortsReachesTheServerWithTheDeviceSaveThenThePortSave)
{
    FilesBench b(oneClickServers());
    ASSERT_TRUE(b.ready());
    const QString path = twentyFourPortFile(b);
    b.importFrom(path);
    ASSERT_TRUE(b.ui().oneClick->isEnabled());

    b.select(Short4);
    const Mac mac = b.entry(Short4).mac;
    b.startClock();
    b.ui().oneClick->click();
    EXPECT_TRUE(b.messages.empty());
    // Shown again with the file's values.
    EXPECT_EQ(b.ui().ip->octets(), (Ipv4Bytes{10, 77, 5, 5}));
    EXPECT_EQ(b.ui().user->text(), QStringLiteral("ops"));
    EXPECT_EQ(b.entry(Short4).mac, mac);
    EXPECT_EQ(b.entry(Short4).ports[1].localPort, 4711);
    EXPECT_FALSE(b.ui().saveDevice->isEnabled());

    b.advance(4000);
    // The device save's items and commit, then the port save's items.
    ASSERT_GE(b.sent.size(), 5u);
    const std::vector<char> deviceCodes{0x02, 0x03, 0x07, 0x49};
    for (std::size_t i = 0; i < deviceCodes.size(); ++i)
        EXPECT_EQ(b.sent[i].code(), deviceCodes[i]) << i;
    EXPECT_EQ(b.sent[0].atMs, 500);
    EXPECT_EQ(b.sent[3].atMs, 530);
    // 600 ms after the device save's last datagram the port save starts,
    // which waits its own 500 ms before its first item.
    EXPECT_EQ(b.sent[4].atMs, 530 + 600 + 500);
    EXPECT_EQ(b.sent[4].code(), 0x12); // port 1's host
    EXPECT_EQ(b.sent.back().code(), 0x49);
    ASSERT_TRUE(b.itemsLanded(Short4));

    EXPECT_EQ(b.value(Short4, QStringLiteral("ip")), QByteArray("\x0a\x4d\x05\x05", 4));
    EXPECT_EQ(b.value(Short4, QStringLiteral("user")).left(4), QByteArray("ops\0", 4));
    EXPECT_EQ(b.value(Short4, QStringLiteral("mac")), bytes(mac));
    EXPECT_EQ(b.portValue(Short4, 1, "baud"), QByteArray(1, 10)); // 57600
    EXPECT_EQ(b.portValue(Short4, 2, "localport"), be16(4711));
    EXPECT_EQ(b.portValue(Short4, 3, "host").left(10), QByteArray("10.77.9.3\0", 10));
    EXPECT_EQ(b.portValue(Short4, 4, "hbdata").left(8), QByteArray("FILE-HB\0", 8));
    EXPECT_TRUE(
        waitFor([&] { return b.pane(2) == u("配置成功"); })); // the server's answers come in their own time
}

TEST(WindowOneClick, ARecordServerGetsItsWholeRecordTwice)
{
    FilesBench b(oneClickServers());
    ASSERT_TRUE(b.ready());
    b.importFrom(twentyFourPortFile(b));
    b.select(Multi24);
    b.startClock();
    b.ui().oneClick->click();
    b.advance(4000);
    // Each save: the record split into two datagrams for hardware VN30.
    ASSERT_EQ(b.sent.size(), 4u);
    EXPECT_EQ(b.sent[0].atMs, 500);
    EXPECT_EQ(b.sent[1].atMs, 500);
    EXPECT_EQ(b.sent[2].atMs, 500 + 600 + 500);
    EXPECT_EQ(b.sent[0].datagram.at(0), 'y');
    EXPECT_EQ(b.sent[0].datagram + b.sent[1].datagram, b.sent[2].datagram + b.sent[3].datagram);
    ASSERT_TRUE(waitFor([&] { return b.counter(Multi24, "record-writes") == 2; }));
    EXPECT_EQ(b.value(Multi24, QStringLiteral("ip")), QByteArray("\x0a\x4d\x05\x05", 4));
    EXPECT_EQ(b.portValue(Multi24, 2, "localport"), be16(4711));
}

TEST(WindowOneClick, AFileOfFewerPortsIsRefused)
{
    FilesBench b(oneClickServers());
    ASSERT_TRUE(b.ready());
    b.select(Short2);
    const QString path = b.file("two.ini");
    b.exportTo(path);
    b.importFrom(path);
    ASSERT_TRUE(b.ui().oneClick->isEnabled()); // '1' is a valid file

    b.select(Short4);
    const DeviceEntry before = b.entry(Short4);
    b.startClock();
    b.ui().oneClick->click();
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_EQ(b.messages[0].text, u(kPortsDiffer));
    EXPECT_EQ(b.messages[0].caption, u(kInfo));
    EXPECT_EQ(b.entry(Short4).ports, before.ports);
    EXPECT_EQ(b.entry(Short4).ip, before.ip);
    b.advance(1000);
    EXPECT_TRUE(b.sent.empty());

    b.ui().englishItem->trigger();
    b.select(Short4);
    b.ui().oneClick->click();
    EXPECT_EQ(b.messages.back().text, QStringLiteral("The number of ports is not equal！"));
    EXPECT_EQ(b.messages.back().caption, QStringLiteral("Info"));

    // The two-port file fits the two-port server.
    b.select(Short2);
    b.ui().oneClick->click();
    EXPECT_EQ(b.messages.size(), 2u);
}

TEST(WindowOneClick, NeedsADeviceAndALoadedFile)
{
    FilesBench b(oneClickServers());
    b.window->oneClickConfigure(); // before the search: no device
    EXPECT_EQ(b.pane(0), u(kSelectDevice));
    ASSERT_TRUE(b.ready());
    b.select(Short4);
    b.window->oneClickConfigure();
    EXPECT_EQ(b.messageTexts(), QStringList{u(kNothingImported)});
    b.advance(1000);
    EXPECT_TRUE(b.sent.empty());
}
