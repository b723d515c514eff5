// The main window's maintenance shortcuts and help: the firmware repair
// behind left Ctrl + B (version test, timing on a manual clock, the commit
// frames reaching a simulated server), Ctrl + I, the help messages and the
// product selection item.
#include "pelmar/files/firmware_repair.h"
#include "pelmar/files/repair_dialog.h"
#include "pelmar/ui/left_control.h"
#include "pelmar/ui/repair_key.h"
#include "tests/pelmar/ui/window_fixture.h"

#include <QAction>
#include <QMenuBar>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

constexpr std::uint32_t kXControlL = 0xFFE3, kXControlR = 0xFFE4;

// Ctrl (left or right, by its X11 codes) held while B or I is pressed.
void controlLetter(QWidget *window, bool left, Qt::Key letter)
{
    const std::uint32_t scan = left ? 37 : 105, symbol = left ? kXControlL : kXControlR;
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, scan, symbol, 0);
    QKeyEvent press(QEvent::KeyPress, letter, Qt::ControlModifier, 0, 0, 0);
    QKeyEvent release(QEvent::KeyRelease, letter, Qt::ControlModifier, 0, 0, 0);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier, scan, symbol, 0);
    for (QKeyEvent *e : {&down, &press, &release, &up})
        QApplication::sendEvent(window, e);
}

struct RepairBench
{
    kyvo::ManualClock repairClock;
    std::unique_ptr<WindowBench> bench;

    RepairBench(devsim::ServerProfile server, const char *firmware)
    {
        server.firmware = QByteArray(firmware);
        BenchOptions o;
        o.servers = {server};
        ServerConfigDialog::Options w;
        addFirmwareRepair(w, &repairClock);
        o.extensions = w.extensions;
        bench = std::make_unique<WindowBench>(o);
    }
    RepairDialog *dialog() { return bench->window->findChild<RepairDialog *>(); }
    // Moves the repair's clock on and lets its frames reach the server.
    void advance(int ms)
    {
        repairClock.advance(kyvo::Millis{ms});
        if (RepairDialog *d = dialog()) d->poll();
    }
};

} // namespace

TEST(FirmwareRepair, OnlyLFirmwareBelow5InItsThirdOr4InItsFourthCharacterNeedsIt)
{
    const std::pair<const char *, bool> cases[] = {{"L253", true},  {"L254", false}, {"K123", false},
                                                   {"L550", true},  {"L554", false}, {"L439", true},
                                                   {"l253", false}, {"V2.3", false}};
    for (const auto &[text, needs] : cases) {
        TextField<4> v;
        v.set(text);
        EXPECT_EQ(firmwareNeedsRepair(v), needs) << text;
    }
}

TEST(FirmwareRepair, SixteenFramesTwoHundredMillisecondsApartAndACountdownClosingAfterEightSeconds)
{
    RepairSession s;
    s.start(kyvo::Millis{5000});
    std::vector<int> frameTimes, shown;
    int finishedAt = -1;
    for (int t = 0; t <= 9000; t += 10) {
        const RepairSession::Due due = s.poll(kyvo::Millis{5000 + t});
        for (int i = 0; i < due.frames; ++i)
            frameTimes.push_back(t);
        for (int v : due.shown)
            shown.push_back(v * 10000 + t);
        if (due.finished) finishedAt = t;
    }
    std::vector<int> expectedFrames;
    for (int k = 1; k <= 16; ++k)
        expectedFrames.push_back(200 * k);
    EXPECT_EQ(frameTimes, expectedFrames);
    EXPECT_EQ(shown, (std::vector<int>{81000, 72000, 63000, 54000, 45000, 36000, 27000, 18000}));
    EXPECT_EQ(finishedAt, 8000);
}

TEST(RepairWindow, LeftControlBRepairsL253WithSixteenCommitFrames200MsApart)
{
    RepairBench r(server(ServerFamily::Short, 4, false, 1), "L253");
    WindowBench &b = *r.bench;
    ASSERT_TRUE(b.search());
    b.select(0);
    controlLetter(b.window.get(), true, Qt::Key_B);
    ASSERT_EQ(b.alerts.size(), 1u);
    EXPECT_EQ(b.alerts[0].text, u("此版本需要修复BUG,请点击确定 ，进行修复 ,大概需要8s"));
    RepairDialog *d = r.dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), u("BUG 修复"));
    const long long before = b.counter(0, "repair-frames");
    for (int k = 1; k <= 16; ++k) {
        r.advance(199);
        r.advance(1);
        ASSERT_TRUE(waitFor([&] { return b.counter(0, "repair-frames") == before + k; })) << k;
    }
    r.advance(4000);
    EXPECT_EQ(d->text(), u("BUG正在修复中 2"));
    QTest::qWait(50);
    EXPECT_EQ(b.counter(0, "repair-frames"), before + 16);
    r.advance(1000);
    EXPECT_FALSE(d->isVisible());
}

TEST(RepairWindow, NoRepairForOtherFirmwareTheRightControlKeyOrKindOneServers)
{
    {
        RepairBench r(server(ServerFamily::Short, 4, false, 1), "L254");
        ASSERT_TRUE(r.bench->search());
        r.bench->select(0);
        controlLetter(r.bench->window.get(), true, Qt::Key_B);
        EXPECT_TRUE(r.bench->alerts.empty());
        EXPECT_EQ(r.dialog(), nullptr);
    }
    {
        RepairBench r(server(ServerFamily::Short, 4, false, 1), "L253");
        ASSERT_TRUE(r.bench->search());
        r.bench->select(0);
        controlLetter(r.bench->window.get(), false, Qt::Key_B);
        EXPECT_TRUE(r.bench->alerts.empty());
    }
    {
        // Two ports: port-count character '1'. The countdown runs, nothing is sent.
        RepairBench r(server(ServerFamily::Short, 2, false, 1), "L253");
        WindowBench &b = *r.bench;
        ASSERT_TRUE(b.search());
        b.select(0);
        controlLetter(b.window.get(), true, Qt::Key_B);
        ASSERT_NE(r.dialog(), nullptr);
        for (int t = 0; t < 4000; t += 200)
            r.advance(200);
        EXPECT_EQ(r.dialog()->framesCounted(), 16);
        QTest::qWait(50);
        EXPECT_EQ(b.counter(0, "commits"), 0);
    }
}

TEST(RepairWindow, TheControlKeysSideComesFromItsNativeCodes)
{
    const struct
    {
        std::uint32_t scan, key;
        bool left;
    } cases[] = {{37, 0xFFE3, true},   {105, 0xFFE4, false}, {0x1D, 0x11, true},
                 {0x11D, 0x11, false}, {0, 0xA2, true},      {0, 0xA3, false}};
    for (const auto &c : cases)
        EXPECT_EQ(isLeftControl(c.scan, c.key), c.left) << c.scan << " " << c.key;
}

TEST(MaintenanceWindow, HelpTextsControlIAndNoProductItemWithoutAPage)
{
    BenchOptions o;
    WindowBench b(o);
    const ServerWindowControls &ui = b.window->controls();
    EXPECT_FALSE(b.window->menuBar()->actions().contains(ui.productItem)); // no page given
    b.window->toggleAdvanced();
    const std::pair<QLabel *, const char *> helps[] = {
        {ui.tips, "请仔细阅读下面内容\n1.搜索不到:点击菜单栏 ‘网络适配器’，选择对应的网卡，一般是有线网卡\n"
                  "2.升级不成功:必须关闭防火墙，电脑ip 必须和串口服务器同一网段。"},
        {ui.helps[0],
         "一旦使能此模式，串口的网络转换将不可用，此模式下 PORT1 是主串口，其余是从串口，"
         "会根据modbus协议将PORT1的数据分发到其他的串口。目前支持的型号 固件版本以 L 开头的设备"},
        {ui.helps[3], "通过串口读取设备的MAC IP 和波特率 \t地址 01 功能码 03  开始地址 2000  长度7\r\n"
                      "如 mac地址是 48 01 01 01 01 01  ip 是c0 a8 01 16(192.168.1.22)\t波特率 9600\r\n"
                      "此时 1-7 的寄存器内容是48 01 01 01 01 01 c0 a8 01 16 00 00 25 80\r\n"
                      "mac 地址是 3个寄存器 ip 是两个寄存器 波特率是 2个寄存器\r\n"
                      "支持设备：固件版本以 L 开头的设备"},
    };
    for (const auto &[label, start] : helps) {
        b.messages.clear();
        ASSERT_TRUE(label->isEnabled());
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        EXPECT_EQ(b.messageTexts(), QStringList{u(start)});
    }
    b.messages.clear();
    controlLetter(b.window.get(), true, Qt::Key_I);
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_TRUE(b.messages[0].text.isEmpty());
}

TEST(LeftControlWatch, TakesOnlyItsLettersAndForgetsAKeyReleasedInAnotherWindow)
{
    QWidget window, other;
    auto *edit = new QLineEdit(QStringLiteral("abc"), &window);
    LeftControlWatch watch(&window, QStringLiteral("BI"));
    QSignalSpy letters(&watch, &LeftControlWatch::letter);
    const auto send = [](QWidget *to, QEvent::Type type, int key, bool left = true) {
        QKeyEvent e(type, key, Qt::ControlModifier, left ? 37 : 105, left ? kXControlL : kXControlR, 0);
        QApplication::sendEvent(to, &e);
    };
    send(edit, QEvent::KeyPress, Qt::Key_Control);
    send(edit, QEvent::KeyPress, Qt::Key_A); // select all, as ever
    EXPECT_EQ(edit->selectedText(), QStringLiteral("abc"));
    send(edit, QEvent::KeyPress, Qt::Key_B);
    send(&other, QEvent::KeyRelease, Qt::Key_Control); // let go while a box had the focus
    send(edit, QEvent::KeyPress, Qt::Key_Control, false);
    send(edit, QEvent::KeyPress, Qt::Key_I);
    ASSERT_EQ(letters.count(), 1);
    EXPECT_EQ(letters[0][0].value<char>(), 'B');
}
