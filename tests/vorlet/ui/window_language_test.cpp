// The language switch both ways and across a restart, the English edition,
// the settings kept on close, the web links and the small boxes.
#include "tests/vorlet/ui/window_fixture.h"

#include "common/profile_file.h"
#include "vorlet/lang/english_edition.h"
#include "vorlet/ui/about_box.h"
#include "vorlet/ui/device_list_model.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace vorlet;
using namespace uitest;

namespace {

QStringList items(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

QString header(WindowBench &b, int column)
{
    return b.window->deviceModel().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

TEST(WindowLanguage, SwitchesToEnglishAndBack)
{
    WindowBench b;
    const MainWindowControls &ui = b.window->controls();
    // Chinese from the table's captions at start-up.
    EXPECT_EQ(b.control<QPushButton>(1003)->text(), u("搜索"));
    EXPECT_EQ(b.control<QCheckBox>(1006)->text(), u("跨路由器搜"));
    EXPECT_EQ(ui.languageItem->text(), u("简体中文"));
    EXPECT_EQ(b.window->statusText(), u("请选择一个设备"));

    b.window->controls().languageItem->trigger();
    EXPECT_EQ(b.window->language().letter(), 'e');
    EXPECT_EQ(b.control<QPushButton>(1003)->text(), QStringLiteral("Search"));
    EXPECT_EQ(b.control<QCheckBox>(1006)->text(), QStringLiteral("SearchByIP"));
    EXPECT_EQ(b.control<QLabel>(1219)->text(), QStringLiteral("Pwd"));
    EXPECT_EQ(b.control<QGroupBox>(1041)->title(), QStringLiteral("Uart"));
    EXPECT_EQ(ui.languageItem->text(), QStringLiteral("English"));
    EXPECT_EQ(ui.deviceMenu->text(), QStringLiteral("Device"));
    EXPECT_EQ(ui.deepFactoryReset->text(), QStringLiteral("Factory Default"));
    EXPECT_EQ(ui.exportInventory->text(), QStringLiteral("Export inventory"));
    EXPECT_EQ(ui.englishEdition->text(), QStringLiteral("Generate App ,Just support English "));
    EXPECT_EQ(header(b, 1), QStringLiteral("DevIp"));
    EXPECT_EQ(header(b, 0), QStringLiteral("SN"));
    EXPECT_EQ(b.control<QComboBox>(1038)->itemText(0), QStringLiteral("Auto"));
    EXPECT_EQ(b.control<QComboBox>(1038)->itemText(CvorletDlg::kAllAdaptersItem),
              QStringLiteral("All adapters"));
    EXPECT_EQ(items(b.control<QComboBox>(1012)),
              (QStringList{QStringLiteral("Static"), QStringLiteral("DHCP")}));
    EXPECT_EQ(b.control<QComboBox>(1011)->itemText(1), QStringLiteral("TCP SERVER(not support)"));
    EXPECT_EQ(b.control<QComboBox>(1010)->itemText(5),
              QStringLiteral("HTTP-C  (POST/GET)"));          // no row: as it is
    EXPECT_EQ(b.control<QComboBox>(1010)->currentIndex(), 1); // selections survive the refill
    EXPECT_EQ(b.window->statusText(), QStringLiteral("Please select a device!"));

    b.window->controls().languageItem->trigger();
    EXPECT_EQ(b.window->language().letter(), 'c');
    EXPECT_EQ(b.control<QPushButton>(1003)->text(), u("搜索"));
    EXPECT_EQ(ui.languageItem->text(), u("简体中文"));
    EXPECT_EQ(header(b, 1), u("设备IP"));
    EXPECT_EQ(b.control<QComboBox>(1012)->itemText(1), u("动态"));
}

TEST(WindowLanguage, TheShownRecordsTextsFollowTheSwitchAndEditsStay)
{
    WindowBench b;
    ASSERT_TRUE(b.search());
    auto *socket = static_cast<RecordingPanel *>(b.window->placedPanel(0));
    ASSERT_NE(socket, nullptr);
    socket->port->setText(QStringLiteral("9001"));
    socket->problem = QStringLiteral("Please type hex number");
    const int stores = socket->stores;
    const auto port = b.record(0).channels[0].localPort.get();
    b.window->toggleLanguage();
    EXPECT_EQ(b.control<QLabel>(1062)->text(), QStringLiteral("fail, rx:0 tx:0"));
    EXPECT_EQ(b.control<QLabel>(1063)->text(), QStringLiteral("Client(0), rx:0  tx:0"));
    EXPECT_TRUE(b.control<QLabel>(1082)->text().startsWith(QStringLiteral("NetBreak:")));
    EXPECT_TRUE(b.control<QLabel>(1065)->text().startsWith(QStringLiteral("Date of manufacture:")));
    // Only the work mode goes into the record, quietly; the typed text stays
    // in the panel for the next save.
    EXPECT_EQ(b.window->placedPanel(0), socket);
    EXPECT_EQ(socket->port->text(), QStringLiteral("9001"));
    EXPECT_EQ(socket->stores, stores);
    EXPECT_EQ(b.record(0).channels[0].localPort.get(), port);
    EXPECT_TRUE(b.boxTexts().isEmpty());
}

TEST(WindowLanguage, TheLanguageReturnsAfterARestart)
{
    WindowBench b;
    b.window->toggleLanguage();
    b.window->close();
    EXPECT_EQ(kyvo::ProfileFile::load(b.settingsPath()).getString("search", "lang"), QByteArray("e"));
    b.open();
    EXPECT_TRUE(b.window->language().isEnglish());
    EXPECT_EQ(b.control<QPushButton>(1003)->text(), QStringLiteral("Search"));
    b.window->toggleLanguage();
    b.window->close();
    b.open();
    EXPECT_FALSE(b.window->language().isEnglish());
    EXPECT_EQ(b.control<QPushButton>(1003)->text(), u("搜索"));
}

TEST(WindowLanguage, TheEnglishEditionIsDetectedAndStaysEnglish)
{
    WindowOptions o;
    o.englishEdition = true;
    o.savedLetter = 'c';
    WindowBench b(o);
    EXPECT_TRUE(b.window->language().isEnglish());
    EXPECT_EQ(b.window->windowTitle(), QStringLiteral("Hx Config   V242      "));
    EXPECT_EQ(b.control<QPushButton>(1003)->text(), QStringLiteral("Search"));
    b.window->toggleLanguage();
    EXPECT_TRUE(b.window->language().isEnglish());
    EXPECT_EQ(b.control<QPushButton>(1003)->text(), QStringLiteral("Search"));
    EXPECT_EQ(b.window->windowTitle(), QStringLiteral("Hx Config   V242      "));
}

TEST(WindowLanguage, WritesAnEnglishEditionOfTheProgram)
{
    WindowBench b;
    EXPECT_EQ(b.window->windowTitle(), QStringLiteral("vorlet V242      kyvo"));
    b.chosenFile = b.dir.filePath(QStringLiteral("edition"));
    b.window->controls().englishEdition->trigger();
    EXPECT_EQ(b.askedName, QStringLiteral("app-english"));
    EXPECT_EQ(b.askedFilter, u("文件 (*.exe)"));
    EXPECT_TRUE(isEnglishEdition(b.chosenFile));
    EXPECT_FALSE(isEnglishEdition(b.dir.filePath(QStringLiteral("program"))));
    QFile edition(b.chosenFile);
    EXPECT_EQ(edition.size(), qint64(QByteArray("program bytes").size() + 1024));
    EXPECT_TRUE(b.boxTexts().isEmpty());
}

TEST(WindowSettings, SearchSettingsAreKeptOnCloseAndRestored)
{
    WindowBench b;
    b.control<QCheckBox>(1006)->click();
    b.window->settings().ranges.add(0xC0A80101u, 0xC0A801FEu);
    b.window->settings().ranges.add(0x0A000001u, 0x0A00000Au);
    b.window->close();
    const auto ini = kyvo::ProfileFile::load(b.settingsPath());
    EXPECT_EQ(ini.getInt("search", "enable"), 1);
    EXPECT_EQ(ini.getInt("search", "count"), 2);
    EXPECT_EQ(ini.getInt("search", "start_ip0[0]"), 192);
    EXPECT_EQ(ini.getInt("search", "end_ip1[3]"), 10);
    EXPECT_EQ(ini.getString("search", "lang"), QByteArray("c"));

    b.open();
    EXPECT_TRUE(b.control<QCheckBox>(1006)->isChecked());
    EXPECT_EQ(b.window->core().scope(), 1);
    ASSERT_EQ(b.window->settings().ranges.count(), 2u);
    EXPECT_EQ(b.window->settings().ranges.ranges()[1].end, 0x0A00000Au);
}

TEST(WindowSettings, ASettingsFileAboveOneMebibyteIsNotReadAndTheWindowSaysSo)
{
    WindowBench b;
    b.control<QCheckBox>(1006)->click();
    b.window->close();
    QFile settings(b.settingsPath());
    ASSERT_TRUE(settings.open(QIODevice::Append));
    settings.write(QByteArray(kyvo::ProfileFile::kMaxFileBytes, ';'));
    settings.close();
    b.open();
    EXPECT_FALSE(b.control<QCheckBox>(1006)->isChecked()); // the defaults
    const QStringList boxes = b.boxTexts();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QDir::toNativeSeparators(b.settingsPath()))) << boxes[0].toStdString();
}

TEST(WindowSettings, AFolderThatCannotBeMadeIsReportedBeforeTheWindowCloses)
{
    WindowBench b;
    QFile blocker(b.dir.filePath(QStringLiteral("config")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    b.window->close();
    EXPECT_TRUE(b.window->isVisible());
    const QStringList boxes = b.boxTexts();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0], u("创建配置文件件失败:%1  请以管理员权限运行！！！")
                            .arg(QDir::toNativeSeparators(b.dir.filePath(QStringLiteral("config")))));
    b.closeBoxes();
    EXPECT_FALSE(b.window->isVisible());
}

TEST(WindowLinks, WebLinksHelpAndAbout)
{
    WindowBench b;
    for (int id : {1162, 1106, 1105})
        Q_EMIT b.control<QLabel>(id)->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(b.openedUrls.size(), 3);
    for (const QUrl &url : b.openedUrls)
        EXPECT_EQ(url.host(), QStringLiteral("example.com"));
    EXPECT_EQ(b.openedUrls[0].toString(), QString::fromLatin1(CvorletDlg::kDataUrl));
    EXPECT_EQ(b.openedUrls[2].toString(), QString::fromLatin1(CvorletDlg::kShopUrl));

    b.control<QPushButton>(1066)->click();
    ASSERT_EQ(b.boxTexts().size(), 1);
    EXPECT_TRUE(b.boxTexts()[0].startsWith(u("STA模式:SSID可以填写多个AP")));
    b.closeBoxes();

    b.window->toggleLanguage();
    b.window->controls().about->trigger();
    auto *about = b.window->findChild<AboutBox *>();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About vorlet"));
    EXPECT_EQ(qobject_cast<QLabel *>(findControl(about, 1247))->text(), u("vorlet，1.0 "));
    about->accept();
}

} // namespace
