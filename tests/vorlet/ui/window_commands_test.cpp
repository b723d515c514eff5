// The device commands from the window's buttons, links and menu against a
// simulated gateway: each message's bytes, the running text, the success text
// on the device's answer and the failure text after the time-out.
#include "tests/vorlet/ui/window_fixture.h"

#include "vorlet/record/save_request.h"
#include "vorlet/ui/device_commands.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using namespace vorlet;
using namespace uitest;
using testsupport::waitFor;

namespace {

struct Sent
{
    QByteArray message;
    quint32 address;
    quint16 port;
};

struct CommandBench : WindowBench
{
    using WindowBench::WindowBench;
    std::vector<Sent> sent;
    QMetaObject::Connection spy;

    bool ready()
    {
        if (!search()) return false;
        spy = QObject::connect(&window->commands(), &CommandRunner::messageSent,
                               [this](const QByteArray &m, quint32 a, quint16 p) {
                                   sent.push_back({m, a, p});
                               });
        return true;
    }
    QString status() const { return window->statusText(); }
    bool statusBecomes(const char *text)
    {
        return waitFor([&] { return status() == u(text); });
    }
    Mac mac() { return recordMac(record(0).mac); }
    QByteArray bytes(const Bytes &b) const
    {
        return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
    }
    void click(int id) { control<QPushButton>(id)->click(); }
    void link(int id) { Q_EMIT control<QLabel>(id)->linkActivated(QStringLiteral("#")); }
    bool commandButtonsEnabled()
    {
        return control<QPushButton>(1039)->isEnabled() && control<QPushButton>(1007)->isEnabled() &&
               control<QPushButton>(1008)->isEnabled();
    }
};

TEST(WindowCommands, RestartIsBroadcastAfterItsWaitAndAnswered)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    b.click(1007);
    EXPECT_EQ(b.status(), u("正在重启..."));
    EXPECT_FALSE(b.control<QPushButton>(1039)->isEnabled());
    EXPECT_FALSE(b.control<QPushButton>(1007)->isEnabled());
    EXPECT_FALSE(b.control<QPushButton>(1008)->isEnabled());
    b.advance(499);
    EXPECT_TRUE(b.sent.empty());
    b.advance(1);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(b.sent[0].message.toHex(' '), QByteArray("ba 3a 00 06 00 00 00 4b 59 7f 00 05 45 2e"));
    EXPECT_EQ(b.sent[0].address, loopback(1)); // the stand-in for 255.255.255.255
    EXPECT_EQ(b.sent[0].port, b.port);
    ASSERT_TRUE(b.statusBecomes("重启成功"));
    EXPECT_TRUE(b.commandButtonsEnabled());
    EXPECT_EQ(b.counter(0, "restarts"), 1);
}

TEST(WindowCommands, EachCommandFailsAfterItsTimeOutWhenTheDeviceIsSilent)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    b.knob(0, "silent", "1");
    struct Case
    {
        std::function<void()> start;
        const char *running, *failure;
        int timeoutMs;
    };
    const Case cases[] = {
        {[&] { b.click(1007); }, "正在重启...", "重启失败", 3000},
        {[&] { b.click(1008); }, "正在恢复出厂...", "恢复出厂失败", 3000},
        {[&] { b.window->controls().deepFactoryReset->trigger(); }, "正在深度恢复出厂...", "深度恢复出厂失败",
         3000},
        {[&] { b.control<QCheckBox>(1075)->click(); }, "正在启动调试...", "调试启动失败", 2000},
        {[&] { b.control<QCheckBox>(1075)->click(); }, "正在关闭调试...", "调试关闭失败", 2000},
    };
    for (const Case &c : cases) {
        c.start();
        EXPECT_EQ(b.status(), u(c.running));
        b.advance(c.timeoutMs - 1);
        EXPECT_EQ(b.status(), u(c.running));
        b.advance(1);
        EXPECT_EQ(b.status(), u(c.failure));
        EXPECT_TRUE(b.commandButtonsEnabled());
    }
    EXPECT_TRUE(waitFor([&] { return b.sent.size() == 5; })); // the debug messages are reported as they leave

    // A save waits a quarter of its request's length plus a second.
    const std::size_t length = buildSaveRequest(b.record(0), 0).size();
    b.click(1039);
    EXPECT_EQ(b.status(), u("正在保存..."));
    EXPECT_FALSE(b.control<QPushButton>(1039)->isEnabled());
    EXPECT_TRUE(b.control<QPushButton>(1007)->isEnabled());
    b.advance(int(length / 4 + 1000) - 1);
    EXPECT_EQ(b.status(), u("正在保存..."));
    b.advance(1);
    EXPECT_EQ(b.status(), u("保存失败"));
    EXPECT_EQ(b.counter(0, "saves"), 0);
}

TEST(WindowCommands, FactoryResetsAreAnsweredAndCounted)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    b.click(1008);
    b.advance(500);
    EXPECT_EQ(b.sent.back().message, b.bytes(factoryResetMessage(0, b.mac(), false)));
    ASSERT_TRUE(b.statusBecomes("恢复出厂成功"));
    EXPECT_EQ(b.counter(0, "resets"), 1);

    b.window->controls().deepFactoryReset->trigger();
    b.advance(500);
    EXPECT_EQ(b.sent.back().message, b.bytes(factoryResetMessage(0, b.mac(), true)));
    ASSERT_TRUE(b.statusBecomes("深度恢复出厂成功"));
    EXPECT_EQ(b.counter(0, "deep-resets"), 1);
}

TEST(WindowCommands, SaveCollectsTheControlsAndTheDeviceTakesThem)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    auto *ipType = b.control<QComboBox>(1012);
    ipType->setCurrentIndex(1);
    auto *baud = b.control<QComboBox>(1026);
    baud->setCurrentIndex(9);
    b.click(1039);
    ASSERT_EQ(b.sent.size(), 1u); // at once, without a wait
    EXPECT_EQ(b.sent[0].message, b.bytes(buildSaveRequest(b.record(0), 0)));
    ASSERT_TRUE(b.statusBecomes("保存成功,重启后生效！！！"));
    EXPECT_TRUE(b.control<QPushButton>(1039)->isEnabled());
    EXPECT_EQ(b.item(0, "11").toHex(), QByteArray("01"));
    EXPECT_EQ(b.item(0, "40.01").left(1).toHex(), QByteArray("09"));
}

TEST(WindowCommands, DebugOutputCarriesWhereTheDeviceShallSendIt)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    b.control<QCheckBox>(1075)->click();
    EXPECT_EQ(b.record(0).debugOutput, 1); // collected before sending
    b.advance(500);
    ASSERT_TRUE(waitFor([&] { return b.sent.size() == 1; }));
    const QByteArray &m = b.sent[0].message;
    EXPECT_EQ(m.size(), 34);
    EXPECT_EQ(m.left(11).toHex(' '), QByteArray("ba 3a 00 04 00 14 00 07 00 10 01"));
    ASSERT_TRUE(b.statusBecomes("调试启动成功"));
    EXPECT_EQ(b.item(0, "debug-target"), QByteArray("255.255.255.255"));
    EXPECT_EQ(b.item(0, "07").toHex(), QByteArray("01"));

    // Across routers, bound to an adapter just chosen: the adapter's address,
    // by unicast, without waiting for the socket to be reopened.
    choose(b.control<QComboBox>(1038), CvorletDlg::kFirstAdapterItem);
    b.control<QCheckBox>(1006)->click();
    EXPECT_EQ(b.window->core().scope(), 1);
    b.control<QCheckBox>(1075)->click();
    EXPECT_EQ(b.status(), u("正在关闭调试..."));
    b.advance(500);
    ASSERT_TRUE(waitFor([&] { return b.sent.size() == 2; }));
    EXPECT_EQ(b.sent[1].address, loopback(5));
    EXPECT_EQ(b.sent[1].message.mid(2, 1).toHex(), QByteArray("01"));
    EXPECT_EQ(b.sent[1].message.mid(9, 2).toHex(' '), QByteArray("0a 00")); // n + 1, flag off
    EXPECT_EQ(b.sent[1].message.mid(11, 9), QByteArray("127.0.0.1"));
    ASSERT_TRUE(b.statusBecomes("调试关闭成功"));
    EXPECT_EQ(b.item(0, "debug-target"), QByteArray("127.0.0.1"));
}

TEST(WindowCommands, TheClockLineSetsTheDeviceClockFromTheLocalTime)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    b.link(1067);
    EXPECT_EQ(b.status(), u("正在校准时间..."));
    b.advance(99);
    EXPECT_TRUE(b.sent.empty());
    b.advance(1);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(b.sent[0].message, b.bytes(clockMessage(0, b.mac(), DeviceTime{126, 2, 8, 14, 5, 9, 0})));
    ASSERT_TRUE(b.statusBecomes("校准成功"));
    EXPECT_EQ(b.item(0, "b0").toHex(' '), QByteArray("7e 02 08 0e 05 09 00 00"));
    EXPECT_TRUE(b.control<QLabel>(1067)->text().contains(QStringLiteral("2026-03-08 14:05:09")))
        << b.control<QLabel>(1067)->text().toStdString();

    b.knob(0, "silent", "1");
    b.link(1067);
    b.advance(100);
    b.advance(60000); // no time-out: the text stays until the next operation
    EXPECT_EQ(b.status(), u("正在校准时间..."));
}

TEST(WindowCommands, ThePingBoxWaitsWithoutBlockingAndGivesWayToTheAnswer)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    b.link(1064);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(b.sent[0].message, b.bytes(pingMessage(0, b.mac())));
    QMessageBox *waiting = nullptr;
    for (QMessageBox *box : b.window->findChildren<QMessageBox *>())
        if (box->isVisible()) waiting = box;
    ASSERT_NE(waiting, nullptr);
    EXPECT_EQ(waiting->text(), u("正在测试请等待 ..."));
    EXPECT_EQ(waiting->windowTitle(), QStringLiteral("ping test"));
    ASSERT_TRUE(waitFor([&] { return b.boxTexts() == QStringList{QStringLiteral("ping ok 23ms")}; }));
    b.closeBoxes();

    b.knob(0, "ping-fail", "1");
    b.link(1064);
    ASSERT_TRUE(waitFor([&] { return b.boxTexts() == QStringList{u("测试失败")}; }));
}

TEST(WindowCommands, WithoutASelectedDeviceNothingIsSent)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    b.window->controls().deviceList->clearSelection();
    ASSERT_EQ(b.window->selectedRow(), -1);
    const std::function<void()> statusLineCommands[] = {
        [&] { b.click(1039); },
        [&] { b.click(1007); },
        [&] { b.click(1008); },
        [&] { b.window->controls().deepFactoryReset->trigger(); },
        [&] { b.control<QCheckBox>(1075)->click(); },
        [&] { choose(b.control<QComboBox>(1010), 3); },
    };
    for (const auto &command : statusLineCommands) {
        b.window->controls().status->clear();
        command();
        EXPECT_EQ(b.status(), u("请选择一个设备"));
    }
    b.link(1067);
    EXPECT_EQ(b.boxTexts(), QStringList{u("请选择一个设备")});
    b.closeBoxes();
    b.link(1064);
    EXPECT_EQ(b.boxTexts(), QStringList{u("请选择一个设备")});
    b.advance(5000);
    EXPECT_TRUE(b.sent.empty());
    EXPECT_EQ(b.record(0).channels[0].workMode, 2);

    // A click beside the rows says the same.
    b.window->controls().status->clear();
    QTableView *list = b.window->controls().deviceList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 5));
    EXPECT_EQ(b.window->selectedRow(), -1);
    EXPECT_EQ(b.status(), u("请选择一个设备"));

    // A search's answer selects a device: the request no longer stands.
    b.window->rebuildDeviceList();
    EXPECT_EQ(b.window->selectedRow(), 0);
    EXPECT_EQ(b.status(), QString());
}

} // namespace

namespace {

// The 0x8F item: eight results, then eight numbers.
const Bytes kSelfTest{0x8F, 0x00, 0x10, 1, 0, 1, 1, 1, 1, 1, 1, 7, 2, 0, 0, 0, 0, 0, 9};
const char kSelfTestText[] = "ok(7) ng(2) ok(0) ok(0) ok(0) ok(0) ok(0) ok(9)";
const Bytes kPingResult{0xB5, 0x00, 0x02, 'o', 'k'};

} // namespace

TEST(WindowCommands, TheNetworkOpensOneBoxOfAKindAndPingResultsOnlyForAPingTest)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    // The self-test result shows; repeats while its box is open are dropped.
    for (int i = 0; i < 3; ++i)
        b.answer(0, kSelfTest);
    ASSERT_TRUE(b.settle());
    EXPECT_EQ(b.boxTexts(), QStringList{QString::fromLatin1(kSelfTestText)});
    b.closeBoxes();
    // Ping results nobody asked for show nothing.
    b.answer(0, kPingResult);
    ASSERT_TRUE(b.settle());
    EXPECT_TRUE(b.boxTexts().isEmpty());

    // The answer of a ping test shows once; a second test while its box is
    // open, and a repeated answer after the test, open no other.
    b.link(1064);
    ASSERT_TRUE(waitFor([&] { return b.boxCount(QStringLiteral("ping ok 23ms")) == 1; }));
    b.link(1064);
    EXPECT_EQ(b.boxCount(u("正在测试请等待 ...")), 1);
    ASSERT_TRUE(waitFor([&] { return b.boxTexts() == QStringList{QStringLiteral("ping ok 23ms")}; }));
    b.answer(0, kPingResult);
    ASSERT_TRUE(b.settle());
    EXPECT_EQ(b.boxTexts(), QStringList{QStringLiteral("ping ok 23ms")});
}

TEST(WindowCommands, AQueryAnswerRefreshesTheSerialFieldsOfTheShownDevice)
{
    CommandBench b;
    ASSERT_TRUE(b.ready());
    ASSERT_NE(b.control<QComboBox>(1026)->currentIndex(), 9);
    // Baud 115200 (index 9), packing 50 ms and 1024 bytes, serial mode 3.
    b.answer(0, testsupport::hex("40 00 10 00 01 00 08 09 00 08 00 00 32 04 00 04 00 01 03"));
    ASSERT_TRUE(b.settle());
    EXPECT_EQ(b.control<QComboBox>(1026)->currentIndex(), 9);
    EXPECT_EQ(b.control<QLineEdit>(1030)->text(), QStringLiteral("50"));
    EXPECT_EQ(b.control<QLineEdit>(1031)->text(), QStringLiteral("1024"));
    EXPECT_EQ(b.control<QComboBox>(1029)->currentIndex(), 3);
    EXPECT_TRUE(b.control<QLineEdit>(1034)->isEnabled()); // the serial-mode rule ran
}

TEST(WindowAdapters, TheListAndTheSocketAgree)
{
    QList<kyvo::AdapterAddress> adapters{{QStringLiteral("127.0.0.1"), QStringLiteral("loopback")},
                                         {QStringLiteral("192.0.2.77"), QStringLiteral("not here")}};
    WindowOptions o;
    o.configure = [&](CvorletDlg::Options &w) {
        w.adapters = [&] { return adapters; };
        w.allAdapters = [] {
            return QList<kyvo::AdapterAddress>{{QStringLiteral("127.0.0.1"), QStringLiteral("a"), 24},
                                               {QStringLiteral("127.0.1.1"), QStringLiteral("b"), 24}};
        };
    };
    WindowBench b(o);
    ASSERT_TRUE(b.search()); // the socket of the start is open and reported
    GatewayEndpoint &endpoint = b.window->core().endpoint();
    QSignalSpy opened(&endpoint, &GatewayEndpoint::opened);
    AdapterCombo *list = b.window->controls().adapter;
    choose(list, CvorletDlg::kFirstAdapterItem);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    EXPECT_EQ(endpoint.localAddress(), loopback(1));
    EXPECT_EQ(b.window->adapterAddress(), QStringLiteral("127.0.0.1"));

    // The same choice again keeps the socket: a reopen queued before this
    // send would have been reported before it.
    choose(list, CvorletDlg::kFirstAdapterItem);
    QSignalSpy sent(&endpoint, &GatewayEndpoint::sent);
    endpoint.send(restartMessage(0, Mac{}), {loopback(1), freePort()});
    ASSERT_TRUE(waitFor([&] { return sent.count() == 1; }));
    EXPECT_EQ(opened.count(), 1);

    // The bound adapter is gone: the list shows the default and the socket
    // is bound to any address, which is what the other sockets then use.
    adapters.removeFirst();
    Q_EMIT list->aboutToShowPopup();
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(b.window->adapterAddress(), QString());
    ASSERT_TRUE(waitFor([&] { return opened.count() == 2; }));
    EXPECT_EQ(endpoint.localAddress(), 0u);

    // An address this machine does not have: the socket stays unbound, and so does the list.
    choose(list, CvorletDlg::kFirstAdapterItem);
    ASSERT_TRUE(waitFor([&] { return b.boxTexts() == QStringList{QStringLiteral("socket bind error")}; }));
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(b.window->adapterAddress(), QString());

    // "全部网卡": an endpoint per adapter, until another choice.
    EXPECT_EQ(list->itemText(CvorletDlg::kAllAdaptersItem), QStringLiteral("全部网卡"));
    choose(list, CvorletDlg::kAllAdaptersItem);
    EXPECT_EQ(b.window->core().endpointCount(), 2);
    Q_EMIT list->aboutToShowPopup();
    EXPECT_EQ(list->currentIndex(), CvorletDlg::kAllAdaptersItem);
    choose(list, 0);
    EXPECT_EQ(b.window->core().endpointCount(), 1);
}
