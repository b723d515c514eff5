// The language switch both ways and from the language file at start-up,
// the About box, the broadcast address dialog of "指定网段" and the adapter menu.
#include "tests/pelmar/ui/window_fixture.h"

#include "pelmar/ui/small_dialogs.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

QStringList headers(WindowBench &b)
{
    QStringList h;
    QAbstractItemModel *m = b.window->controls().deviceList->model();
    for (int c = 0; c < m->columnCount(); ++c)
        h << m->headerData(c, Qt::Horizontal).toString();
    return h;
}

BenchOptions oneServer(QByteArray languageFile = "z")
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Native, 2, true)};
    o.languageFile = std::move(languageFile);
    return o;
}

} // namespace

TEST(WindowLanguage, ChoosingEnglishAndBackAppliesTheTableAndKeepsTheChoice)
{
    WindowBench b(oneServer());
    ASSERT_TRUE(b.search());
    b.select(0);
    const ServerWindowControls &ui = b.window->controls();
    choose(ui.ipType, 1); // DHCP, as shown; a switch must not turn it static
    EXPECT_EQ(b.pane(0), u("已完成搜索"));

    ui.englishItem->trigger();
    EXPECT_EQ(headers(b), (QStringList{QStringLiteral("Device IP"), QStringLiteral("MAC"),
                                       QStringLiteral("Software"), QStringLiteral("Hardware")}));
    EXPECT_EQ(b.window->windowTitle(), QStringLiteral("V174 Serial Device Server Configurator"));
    for (int pane : {0, 1, 2})
        EXPECT_TRUE(b.pane(pane).isEmpty());
    EXPECT_EQ(b.pane(3), QStringLiteral("BroadcastAdress:127.0.0.1"));
    EXPECT_EQ(ui.search->text(), QStringLiteral("Search Device"));
    EXPECT_EQ(ui.portGroup->title(), QStringLiteral("Set Port"));
    EXPECT_EQ(ui.saveDevice->text(), QStringLiteral("Save Data"));
    EXPECT_EQ(ui.savePorts->text(), QStringLiteral("Save Data"));
    EXPECT_EQ(ui.clones.front()->text(), QStringLiteral("Clone"));
    EXPECT_EQ(ui.modbusTcpToRtu->text(), QStringLiteral("Modbus TCP to RTU"));
    EXPECT_EQ(ui.cloud->text(), QStringLiteral("Cloud pass-through")); // from our supplement
    EXPECT_EQ(ui.deviceMenu->title(), QStringLiteral("Device"));
    EXPECT_EQ(ui.inventoryItem->text(), QStringLiteral("Export inventory"));
    EXPECT_EQ(ui.adapterMenu->title(), QStringLiteral("Network Adapter"));
    EXPECT_EQ(ui.defaultAdapter->text(), QStringLiteral("Default"));
    EXPECT_EQ(ui.allAdapters->text(), QStringLiteral("All adapters"));
    EXPECT_EQ(ui.aboutItem->text(), QStringLiteral("About"));
    EXPECT_EQ(ui.exportItem->text(), QStringLiteral("Export profile"));
    EXPECT_EQ(ui.ipType->itemText(1), QStringLiteral("DHCP   IP"));
    EXPECT_EQ(ui.ipType->currentIndex(), 1);
    EXPECT_EQ(ui.registerMode->itemText(1), QStringLiteral("Send once when connected to the server"));
    EXPECT_EQ(ui.registerMode->currentIndex(), b.entry(0).ports[0].registerMode);
    EXPECT_FALSE(ui.serialType->isEnabled());
    EXPECT_TRUE(ui.englishItem->isChecked());
    EXPECT_FALSE(ui.chineseItem->isChecked());
    EXPECT_EQ(b.languageFileBytes(), QByteArray("e"));
    const auto labels = b.window->findChildren<QLabel *>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](QLabel *l) { return l->text() == QStringLiteral("PWD"); }));
    // The status texts and the port fields' messages follow.
    b.click(control::kSearch);
    EXPECT_EQ(b.pane(0), QStringLiteral("Searching device..."));
    ASSERT_TRUE(waitFor([&] { return b.pane(0) == QStringLiteral("Search end"); }));
    b.select(0);
    b.type(control::kPackTime, QStringLiteral("300"));
    EXPECT_EQ(b.messageTexts(), QStringList{QStringLiteral("Please enter a number from 0 to 255!")});

    ui.chineseItem->trigger();
    EXPECT_EQ(headers(b), (QStringList{u("设备IP"), u("MAC地址"), u("固件版本"), u("硬件版本")}));
    EXPECT_EQ(ui.search->text(), u("搜索设备"));
    EXPECT_EQ(ui.listGroup->title(), u("设备列表"));
    EXPECT_EQ(ui.cloud->text(), u("云透传"));
    EXPECT_EQ(b.window->windowTitle(), u("V174 串口服务器配置软件"));
    EXPECT_EQ(ui.englishItem->text(), QStringLiteral("English"));
    EXPECT_EQ(ui.languageMenu->title(), QStringLiteral("Language"));
    EXPECT_EQ(b.pane(3), u("广播地址:127.0.0.1"));
    EXPECT_TRUE(ui.chineseItem->isChecked());
    EXPECT_EQ(b.languageFileBytes(), QByteArray("z"));
}

TEST(WindowLanguage, TheLanguageFileChoosesAtStartUp)
{
    struct Case
    {
        QByteArray file; // null: none
        bool english;
        QByteArray after;
    };
    const Case cases[] = {
        {"e", true, "e"}, {"Z", true, "e"}, {"zrest", false, "zrest"}, {QByteArray(), false, "z"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.isNull() ? "no file" : c.file.constData());
        WindowBench b(oneServer(c.file));
        EXPECT_EQ(b.window->language().language() == Language::English, c.english);
        EXPECT_EQ(b.window->controls().search->text(),
                  c.english ? QStringLiteral("Search Device") : u("搜索设备"));
        EXPECT_EQ(b.window->controls().englishItem->isChecked(), c.english);
        EXPECT_EQ(b.languageFileBytes(), c.after);
    }
    // The rest of the file is kept when the choice is written.
    WindowBench b(oneServer("zXYZ"));
    b.window->controls().englishItem->trigger();
    EXPECT_EQ(b.languageFileBytes(), QByteArray("eXYZ"));
}

TEST(WindowLanguage, TheAboutBoxInBothLanguages)
{
    WindowBench b(oneServer());
    b.window->controls().aboutItem->trigger();
    auto *about = b.window->findChild<AboutBox *>();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), u("关于"));
    EXPECT_TRUE(about->text().startsWith(QStringLiteral("V174 \n")));
    EXPECT_TRUE(about->text().contains(b.window->language().text(232)));
    about->accept();
    QCoreApplication::processEvents();
    b.window->controls().englishItem->trigger();
    b.window->controls().aboutItem->trigger();
    about = b.window->findChild<AboutBox *>();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About"));
    about->accept();
}

TEST(WindowLanguage, TheSubnetBoxAsksForTheBroadcastAddress)
{
    WindowBench b(oneServer());
    QCheckBox *subnet = b.control<QCheckBox>(control::kSubnet);
    subnet->click();
    auto *dialog = b.window->findChild<BroadcastAddressDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->addressEdit()->text(), QStringLiteral("127.0.0.255")); // the adapter's prefix and 255
    EXPECT_TRUE(dialog->windowTitle().isEmpty());
    dialog->addressEdit()->setText(QStringLiteral("127.0.0.255"));
    dialog->accept();
    QCoreApplication::processEvents();
    EXPECT_TRUE(subnet->isChecked());
    EXPECT_EQ(b.window->core().broadcastAddress(), QStringLiteral("127.0.0.255"));
    EXPECT_EQ(b.pane(3), u("广播地址:127.0.0.255"));

    subnet->click(); // unticked: the broadcast address again
    EXPECT_EQ(b.window->core().broadcastAddress(), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(b.pane(3), u("广播地址:255.255.255.255"));

    // Cancel after a sweep (of loopback hosts only): the address stays and
    // pane 3 shows it instead of the last swept host.
    b.window->core().setSubnetAddress(QStringLiteral("127.0.0.255"));
    b.window->controls().broadcast->click();
    QSignalSpy swept(&b.window->core(), &ServerCore::sweepFinished);
    b.control<QPushButton>(control::kSearch)->click();
    ASSERT_TRUE(swept.wait(10000));
    ASSERT_EQ(b.pane(3), u("搜索IP:127.0.0.254"));
    subnet->click();
    dialog = b.window->findChild<BroadcastAddressDialog *>();
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
    QCoreApplication::processEvents();
    EXPECT_FALSE(subnet->isChecked());
    EXPECT_EQ(b.window->core().broadcastAddress(), QStringLiteral("127.0.0.255"));
    EXPECT_EQ(b.pane(3), u("广播地址:127.0.0.255"));
}

TEST(WindowLanguage, TheAdapterMenuRebindsTheSocket)
{
    WindowBench b(oneServer());
    QMenu *menu = b.window->controls().adapterMenu;
    const auto items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[1]->text(), QStringLiteral("全部网卡"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("loopback | 127.0.0.1"));
    QSignalSpy opened(&b.window->core(), &ServerCore::socketOpened);
    items[2]->trigger();
    EXPECT_EQ(b.window->core().chosenAdapter(), 0);
    EXPECT_EQ(b.window->core().chosenAdapterAddress(), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(items[2]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    ASSERT_TRUE(opened.wait(5000));
    // Bound to the adapter, the search still finds the server.
    ASSERT_TRUE(b.search());
    // "全部网卡": a main socket per adapter; the search finds the server on it.
    items[1]->trigger();
    EXPECT_EQ(b.window->core().chosenAdapter(), ServerCore::kAllAdapters);
    EXPECT_EQ(b.window->core().socketCount(), 1);
    ASSERT_TRUE(opened.wait(5000));
    ASSERT_TRUE(b.search());
    EXPECT_EQ(b.window->core().adapterAddressOf(b.entry(0)), QStringLiteral("127.0.0.1"));
    items[0]->trigger();
    EXPECT_EQ(b.window->core().chosenAdapter(), -1);
    EXPECT_TRUE(items[0]->isChecked());
}
