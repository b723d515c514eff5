// Configuration files from the window's menu: export, choose, quick set.
#include "tests/vorlet/ui/window_fixture.h"
#include "vorlet/ui/command_runner.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using namespace vorlet;
using namespace uitest;
using testsupport::waitFor;

namespace {
QString statusOf(WindowBench &b)
{
    return b.window->statusText();
}
} // namespace

TEST(WindowConfig, ExportOffersTheDefaultNameAndWritesTheRecord)
{
    WindowBench b;
    b.chosenFile = b.dir.filePath(QStringLiteral("a.cfg"));
    b.window->controls().exportConfig->trigger(); // nothing selected yet
    EXPECT_EQ(statusOf(b), u("请选择一个设备"));
    EXPECT_FALSE(QFile::exists(b.chosenFile));
    ASSERT_TRUE(b.search());
    b.window->controls().exportConfig->trigger();
    EXPECT_EQ(b.askedName, QStringLiteral("hx-config-V10112-VG-211W-rwpV242.cfg"));
    QFile f(b.chosenFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(reinterpret_cast<const char *>(&b.record(0)), int(kRecordSize)));
}

TEST(WindowConfig, QuickSetAppliesAnotherGatewaysFileAndSavesIt)
{
    WindowOptions o;
    o.gateways = {gateway(5), gateway(6)};
    auto chosen = std::make_shared<QString>();
    o.configure = [chosen](CvorletDlg::Options &w) {
        w.openFileName = [chosen](QWidget *, const QString &) { return *chosen; };
    };
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    const QString file = b.dir.filePath(QStringLiteral("five.cfg"));
    b.chosenFile = file;
    b.select(0);
    b.record(0).serial.baudIndex = 4; // gateway 5's settings differ from 6's
    kyvo::setFieldText(b.record(0).deviceName, kyvo::toGbk(QStringLiteral("五号")).toStdString());
    b.window->showRecord(b.record(0));
    b.window->exportConfiguration();
    EXPECT_TRUE(b.window->controls().quickSet->isHidden());

    *chosen = file;
    b.window->chooseConfiguration();
    EXPECT_FALSE(b.window->controls().quickSet->isHidden());
    EXPECT_EQ(b.window->controls().quickSetPath->text(), file);
    b.select(1);
    b.window->controls().quickSet->click();
    EXPECT_EQ(statusOf(b), u("正在保存..."));
    ASSERT_TRUE(waitFor([&] { return statusOf(b) == u("保存成功,重启后生效！！！"); }));
    EXPECT_EQ(b.item(1, "1A"), kyvo::toGbk(QStringLiteral("五号")));
    EXPECT_EQ(b.item(1, "40.01").at(0), 4);
    EXPECT_EQ(b.item(1, "16"), QByteArray::fromHex("004b597f0006")); // the device keeps its own MAC
    EXPECT_EQ(b.counter(0, "writes"), 0);
}

TEST(WindowConfig, QuickSetWithoutAReadableFileSendsNothing)
{
    WindowOptions o;
    o.configure = [](CvorletDlg::Options &w) {
        w.openFileName = [](QWidget *, const QString &) { return QString(); };
    };
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.window->chooseConfiguration(); // cancelled: the button shows anyway
    EXPECT_FALSE(b.window->controls().quickSet->isHidden());
    b.window->controls().quickSet->click();
    EXPECT_EQ(b.boxTexts(), QStringList{u("请先导入配置文件。")});
    b.closeBoxes();
    EXPECT_EQ(b.counter(0, "writes"), 0);
}

TEST(WindowConfig, QuickSetAsksBeforeAPartialFileAndRefusesUnusableAddresses)
{
    auto chosen = std::make_shared<QString>();
    WindowOptions o;
    o.configure = [chosen](CvorletDlg::Options &w) {
        w.openFileName = [chosen](QWidget *, const QString &) { return *chosen; };
    };
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.select(0);
    const auto answer = [&](QMessageBox::StandardButton button) {
        for (QMessageBox *box : b.window->findChildren<QMessageBox *>())
            if (box->isVisible() && box->button(button)) box->button(button)->click();
        QCoreApplication::processEvents();
    };
    const auto quickSet = [&](const char *name, const QByteArray &bytes) {
        *chosen = b.dir.filePath(QString::fromLatin1(name));
        QFile f(*chosen);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        b.window->chooseConfiguration();
        b.window->controls().quickSet->click();
    };
    // The first 930 bytes of the device's own record: asked about, sent only on "Yes".
    const QByteArray own(reinterpret_cast<const char *>(&b.record(0)), int(kRecordSize));
    quickSet("part.cfg", own.left(930));
    ASSERT_EQ(b.boxTexts().size(), 1);
    EXPECT_TRUE(b.boxTexts()[0].contains(*chosen + u(" 只有 930 字节"))) << b.boxTexts()[0].toStdString();
    answer(QMessageBox::No);
    EXPECT_TRUE(b.boxTexts().isEmpty());
    auto *commands = b.window->findChild<CommandRunner *>();
    ASSERT_NE(commands, nullptr);
    QSignalSpy sent(commands, &CommandRunner::messageSent);
    quickSet("part.cfg", own.left(930));
    answer(QMessageBox::Yes);
    ASSERT_TRUE(waitFor([&] { return statusOf(b) == u("保存成功,重启后生效！！！"); }));
    EXPECT_EQ(b.counter(0, "writes"), 1);
    EXPECT_FALSE(sent.isEmpty());

    // Zeros would give the device 0.0.0.0: refused after the question, and a
    // whole record with a broken mask at once. Neither sends anything.
    sent.clear();
    quickSet("zeros.cfg", QByteArray(100, '\0'));
    answer(QMessageBox::Yes);
    EXPECT_EQ(b.boxTexts(), QStringList{u("配置文件中的静态IP地址 0.0.0.0 不可用，未发送任何数据。")});
    b.closeBoxes();
    QByteArray badMask = own;
    badMask[10] = '\0'; // 255.0.255.0
    quickSet("mask.cfg", badMask);
    EXPECT_EQ(b.boxTexts(), QStringList{u("配置文件中的子网掩码 255.0.255.0 不可用，未发送任何数据。")});
    b.closeBoxes();
    QCoreApplication::processEvents();
    EXPECT_TRUE(sent.isEmpty());
}

// The list as an inventory, its form chosen by the suffix (or, without one,
// the filter), with the adapter the search ran on.
TEST(WindowConfig, InventoryExportWritesTheListAsCsvOrJson)
{
    WindowBench b({.gateways = {gateway(5), gateway(6)}});
    choose(b.control<QComboBox>(1038), CvorletDlg::kFirstAdapterItem); // the loopback adapter
    ASSERT_TRUE(waitFor([&] { return b.window->core().endpoint().localAddress() == loopback(1); }));
    ASSERT_TRUE(b.search());
    b.chosenFile = b.dir.filePath(QStringLiteral("list.JSON"));
    b.window->controls().exportInventory->trigger();
    QFile json(b.chosenFile);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QByteArray text = json.readAll();
    EXPECT_TRUE(text.startsWith("[\n {\"address\":\"127.0.0.5\",\"mac\":\"00-4B-59-7F-00-05\""))
        << text.constData();
    EXPECT_TRUE(text.contains("\"name\":\"网关6\",\"adapter\":\"127.0.0.1\"}")) << text.constData();

    b.chosenFile = b.dir.filePath(QStringLiteral("list"));
    b.window->controls().exportInventory->trigger();
    EXPECT_TRUE(b.askedFilter.startsWith(QStringLiteral("CSV"))) << b.askedFilter.toStdString();
    QFile csv(b.chosenFile + QStringLiteral(".csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // header, two gateways, the end
    EXPECT_TRUE(lines[2].startsWith("127.0.0.6,00-4B-59-7F-00-06,")) << lines[2].constData();
    EXPECT_TRUE(lines[2].endsWith(",网关6,127.0.0.1\r")) << lines[2].constData();
}
