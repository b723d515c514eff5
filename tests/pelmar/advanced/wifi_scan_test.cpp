// The WiFi scan: the networks of a reply, the scan list's countdown on a
// manual clock, and the scan and signal request from the window against a
// simulated WiFi server.
#include "pelmar/advanced/scan_list_dialog.h"
#include "pelmar/advanced/wifi_dialogs.h"
#include "tests/pelmar/ui/window_fixture.h"

#include <QHeaderView>
#include <QTableWidget>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

QByteArray reply(const QByteArray &text, MacTail tail = {1, 2, 3})
{
    return QByteArray("H:R\x9f") + text + QByteArray(reinterpret_cast<const char *>(tail.data()), 3) +
           QByteArray("\x00"
                      "E.",
                      3);
}

std::vector<std::string> networks(const QByteArray &datagram)
{
    return scanReplyNetworks(kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(datagram.constData()),
                                            std::size_t(datagram.size())));
}

QStringList rows(const QTableWidget *list)
{
    QStringList r;
    for (int i = 0; i < list->rowCount(); ++i)
        r << list->item(i, 0)->text();
    return r;
}

} // namespace

TEST(WifiScanReply, EveryNameEndsWithItsSeparator)
{
    using V = std::vector<std::string>;
    const struct
    {
        QByteArray datagram;
        V expected;
    } cases[] = {
        {reply("net1&net2&"), {"net1", "net2"}},
        {reply("net1&net2"), {"net1"}}, // no separator after the last name
        {reply("&a b&"), {"", "a b"}},
        {reply(""), {}},
        // The MacTail ends the text; a separator in it still closes a name.
        {reply("net1&x", {'&', 9, 9}), {"net1", "x"}},
        {QByteArray("H:R\x9f"
                    "E.",
                    6),
         {}},
        {QByteArray("H:R"), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(networks(c.datagram), c.expected) << c.datagram.toHex().toStdString();
}

TEST(ScanListDialog, CountsDownFromSixAndTimesOutWithoutAReply)
{
    kyvo::ManualClock clock;
    for (const bool english : {false, true}) {
        LanguageTable t;
        if (english) t.fillEnglish();
        ScanListDialog d(t, &clock);
        d.startScan({1, 2, 3});
        QStringList headers{d.header()};
        for (int second = 1; second <= 7; ++second) {
            clock.advance(kyvo::Millis{999});
            d.poll();
            EXPECT_EQ(d.header(), headers.last()) << "before second " << second;
            clock.advance(kyvo::Millis{1});
            d.poll();
            headers << d.header();
        }
        const QString s = english ? QStringLiteral("Searching...") : u("正在搜索...");
        const QString end = english ? QStringLiteral("Search Timeout") : u("搜索超时");
        EXPECT_EQ(headers, (QStringList{s + QStringLiteral("  6"), s + QStringLiteral("  5"),
                                        s + QStringLiteral("  4"), s + QStringLiteral("  3"),
                                        s + QStringLiteral("  2"), s + QStringLiteral("  1"), end, end}));
    }
}

TEST(ScanListDialog, TakesOnlyTheScannedServersReplyWhileOpen)
{
    kyvo::ManualClock clock;
    LanguageTable t;
    ScanListDialog d(t, &clock);
    d.startScan({1, 2, 3});
    d.takeReply(reply("other&", {7, 7, 7}));
    EXPECT_EQ(d.list()->rowCount(), 0);
    d.takeReply(reply("net1&net2&"));
    d.takeReply(reply("net1&net2&")); // a repeated reply lists the networks once
    EXPECT_EQ(rows(d.list()), (QStringList{QStringLiteral("net1"), QStringLiteral("net2")}));
    EXPECT_EQ(d.header(), u("双击选择"));
    clock.advance(kyvo::Millis{10000});
    d.poll();
    EXPECT_EQ(d.header(), u("双击选择")); // the reply ended the countdown
    d.reject();
    d.takeReply(reply("late&")); // after the list was closed
    EXPECT_EQ(rows(d.list()), (QStringList{QStringLiteral("net1"), QStringLiteral("net2")}));
}

TEST(WifiScanWindow, AScanFillsTheListAndTheChosenNetworkLandsInTheStaSsid)
{
    kyvo::ManualClock scanClock;
    BenchOptions o;
    o.servers = {server(ServerFamily::Wifi362, 2, true)};
    ServerConfigDialog::Options w;
    addWifiScan(w, &scanClock);
    o.extensions = w.extensions;
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.select(0);
    const ServerWindowControls &ui = b.window->controls();
    ASSERT_TRUE(ui.wifiScan->isEnabled()); // STA mode
    ui.wifiScan->click();
    auto *list = b.window->findChild<ScanListDialog *>();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitFor([&] { return list->list()->rowCount() > 0; }));
    const QStringList seen = rows(list->list());
    EXPECT_EQ(seen.first(), QStringLiteral("plant-floor-wifi"));
    EXPECT_TRUE(seen.contains(u("仓库无线"))); // GBK names
    EXPECT_EQ(b.counter(0, "wifi-scans"), 1);
    const QPoint third = list->list()->visualItemRect(list->list()->item(2, 0)).center();
    QTest::mouseClick(list->list()->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(list->list()->viewport(), Qt::LeftButton, {}, third);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(ui.staSsid->text(), u("仓库无线"));

    // The next scan closed without a choice leaves the edit alone.
    b.type(control::kStaSsid, QStringLiteral("typed"));
    ui.wifiScan->click();
    EXPECT_EQ(b.window->findChild<ScanListDialog *>(), list); // one list, reused
    EXPECT_EQ(list->list()->rowCount(), 0);
    list->reject();
    EXPECT_EQ(ui.staSsid->text(), QStringLiteral("typed"));
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "wifi-scans") == 2; }));
    QTest::qWait(50); // the late reply arrives and is ignored
    EXPECT_EQ(list->list()->rowCount(), 0);
}

TEST(WifiScanWindow, AClickOnTheSignalValueAsksTheServerForItsRecordAgain)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Wifi292, 1)};
    ServerConfigDialog::Options w;
    addWifiScan(w);
    o.extensions = w.extensions;
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.select(0);
    QSignalSpy shown(&b.window->core(), &ServerCore::deviceShown);
    QLabel *signal = b.window->controls().signalText;
    QTest::mouseClick(signal, Qt::LeftButton, {}, signal->rect().center());
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "signal-requests") == 1; }));
    EXPECT_TRUE(shown.count() > 0 || shown.wait(5000));
}
