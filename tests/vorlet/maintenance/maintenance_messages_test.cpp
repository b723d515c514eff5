// The maintenance messages, image collection, report texts, scan list, TLS
// bundle and the timers of the maintenance dialogs: literal bytes and texts.
#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/maintenance/maintenance_timers.h"
#include "vorlet/services/tls_bundle.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vorlet;
using kyvo::Millis;
using testsupport::hex;
using testsupport::toHex;

namespace {

const Mac kMac{0x00, 0x4B, 0x59, 0x0A, 0x4D, 0x07};

ByteView text(std::string_view s)
{
    return ByteView(reinterpret_cast<const std::uint8_t *>(s.data()), s.size());
}

Bytes block(std::uint8_t number, std::uint8_t fill, std::size_t size = 1025)
{
    Bytes d(size, fill);
    d[0] = number;
    return d;
}

} // namespace

TEST(CustomDefaults, SaveIsTheFiftyEightByteWriteOfItemB8WithTheTime)
{
    const Bytes m = customDefaultsMessage(1, kMac, true, customTimeText(2026, 12, 9, 8, 5, 3));
    EXPECT_EQ(toHex(m), "ba 3a 01 04 00 2c 01 b8 00 28 88 01 00 00 00 00 00 00 "
                        "32 30 32 36 2d 31 32 2d 30 39 20 30 38 3a 30 35 3a 30 33 "
                        "00 00 00 00 00 00 00 00 00 00 00 00 00 "
                        "00 4b 59 0a 4d 07 45 2e");
    const Bytes clear = customDefaultsMessage(0, kMac, false, "2026-12-09 08:05:03");
    EXPECT_EQ(clear.size(), 58u);
    EXPECT_EQ(toHex(ByteView(clear).subspan(6, 6)), "00 b8 00 28 88 00");
}

TEST(CustomDefaults, QueriesAreFifteenBytesNamingTheirItem)
{
    EXPECT_EQ(toHex(itemQueryMessage(0, kMac, item::kImage)), "ba 3a 00 03 00 01 b9 00 4b 59 0a 4d 07 45 2e");
    EXPECT_EQ(toHex(itemQueryMessage(1, kMac, item::kInfoText)),
              "ba 3a 01 03 00 01 b3 00 4b 59 0a 4d 07 45 2e");
    EXPECT_EQ(toHex(itemQueryMessage(1, kMac, item::kScanResult)),
              "ba 3a 01 03 00 01 86 00 4b 59 0a 4d 07 45 2e");
}

TEST(CustomDefaults, TheLastOperationComesFromByteOneOfTheBlock)
{
    const struct
    {
        std::uint8_t operation;
        LastCustomOperation::Kind kind;
        std::string time;
    } cases[] = {{1, LastCustomOperation::Saved, "2026-01-02 03:04:05"},
                 {0, LastCustomOperation::Cleared, "2026-01-02 03:04:05"},
                 {0xFF, LastCustomOperation::None, ""},
                 {7, LastCustomOperation::Unknown, ""}};
    for (const auto &c : cases) {
        auto r = std::make_unique<ParameterRecord>();
        r->customDefaults[0] = 0x88;
        r->customDefaults[1] = c.operation;
        std::memcpy(r->customDefaults + 8, "2026-01-02 03:04:05", 19);
        const LastCustomOperation last = lastCustomOperation(*r);
        EXPECT_EQ(last.kind, c.kind) << int(c.operation);
        EXPECT_EQ(last.time, c.time) << int(c.operation);
    }
}

TEST(ImageCollector, ThreeBlocksMakeAThreeKilobyteImage)
{
    ImageCollector c;
    for (std::uint8_t b : {2, 0, 1})
        EXPECT_EQ(c.take(block(b, std::uint8_t(0x10 + b))), ImageCollector::Take::Stored);
    EXPECT_EQ(c.take(block(1, 0x11)), ImageCollector::Take::Stored); // a repeat replaces its block
    EXPECT_EQ(c.take(block(3, 0, 1024)), ImageCollector::Take::Ignored);
    EXPECT_EQ(c.take(block(3, 0, 1026)), ImageCollector::Take::Ignored);
    const Bytes image = c.image();
    ASSERT_EQ(image.size(), 3072u);
    EXPECT_EQ(c.blocksKept(), 3u);
    EXPECT_EQ(image[0], 0x10);
    EXPECT_EQ(image[1023], 0x10);
    EXPECT_EQ(image[1024], 0x11);
    EXPECT_EQ(image[3071], 0x12);
}

TEST(ImageCollector, BlocksFromSixtyFourOnAreDroppedAndCounted)
{
    ImageCollector c;
    c.take(block(63, 0xAB));
    EXPECT_EQ(c.take(block(64, 1)), ImageCollector::Take::Dropped);
    EXPECT_EQ(c.take(block(255, 1)), ImageCollector::Take::Dropped);
    EXPECT_EQ(c.blocksDropped(), 2u);
    EXPECT_EQ(c.blocksKept(), 1u);
    const Bytes image = c.image(); // the blocks that never came read as zeros
    ASSERT_EQ(image.size(), 65536u);
    EXPECT_EQ(image[0], 0);
    EXPECT_EQ(image[65535], 0xAB);
}

TEST(DeviceInformation, TheReportLinesOfTheRuntimeStatus)
{
    auto r = std::make_unique<ParameterRecord>();
    r->uptimeS = 90061;
    r->totalMemory = 2097152;
    r->freeMemory = 1048576;
    r->resetReason = 1;
    for (int i = 0; i < 9; ++i) {
        r->identity[i] = std::uint8_t(0xA0 + i);
        r->netCounters[i] =
            std::uint32_t(100 + i); // total, filter, arp, rarp, ip, udp, tcp, broadcast, rexmit
    }
    r->partition = 17;
    r->ethernetSpeed = 1;
    r->duplex = 1;
    r->ethernetPhy = 1;
    DeviceInfoLines l = deviceInfoLines(*r);
    EXPECT_EQ(l.uptime, " up 1days 01:01:01         last  reset code:POWERON");
    EXPECT_EQ(l.memory, "Total Memery:2048 kb Free Memery:1024 kb(1048576)");
    EXPECT_EQ(l.identity, "Device ID:a0a1a2a3a4a5a6a7a8");
    EXPECT_EQ(l.partition, "FM-info:2");
    EXPECT_EQ(l.link, "Speed:100M;Duplex:Full   phy:yt8522");
    EXPECT_EQ(l.counters,
              "Total:100 arp:102 rarp:103 ip:104 udp:105 tcp:106 broadcast:107 filter:101 rexmit:108");

    r->partition = 3;
    r->ethernetSpeed = 7;
    r->duplex = 2;
    r->ethernetPhy = 0;
    r->resetReason = 12;
    l = deviceInfoLines(*r);
    EXPECT_EQ(l.partition, "FM-info:Unknown code3");
    EXPECT_EQ(l.link, "Speed:Unknow;Duplex:Unknow   phy:ip101");
    EXPECT_NE(l.uptime.find("reset code:UNKNOWN"), std::string::npos);
    EXPECT_EQ(resetReasonName(12), nullptr);
    EXPECT_STREQ(resetReasonName(9), "SDIO");
}

TEST(WifiScan, OnlyEntriesOfFourFieldsBecomeRows)
{
    const auto rows = parseScanResult("Home`a4504612abcd`-40`3;Broken`0011`-70;办公室`5c02147e9a10`-55`12");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].ssid, "Home");
    EXPECT_EQ(rows[0].mac, "a4504612abcd");
    EXPECT_EQ(rows[0].signal, "-40");
    EXPECT_EQ(rows[0].authentication, "WIFI_AUTH_WPA2_PSK");
    EXPECT_EQ(rows[1].ssid, "办公室");
    EXPECT_EQ(rows[1].authentication, "UNKNOW");
    EXPECT_TRUE(parseScanResult("").empty());
}

TEST(WifiScan, TheChosenNetworkJoinsTheListWithoutSpaces)
{
    EXPECT_EQ(appendSsid("Home", "Shop 2"), "Home;Shop2");
    EXPECT_EQ(appendSsid("", "Shop 2"), "Shop2");
    EXPECT_EQ(appendSsid("a b;c", "访客 网络"), "ab;c;访客网络");
}

TEST(Tls, ChecksumsWrapAndStopAt4096Bytes)
{
    EXPECT_EQ(tlsChecksum(text("abc")), 0x0126);
    EXPECT_EQ(tlsChecksum(Bytes(300, 0xFF)), std::uint16_t(300 * 255));
    Bytes big(4096, 1);
    big.push_back(9);
    EXPECT_EQ(tlsChecksum(big), 4096);
}

TEST(Tls, AOneWayBundleOf1200ByteCaIs1204BytesInA1222ByteMessage)
{
    const Bytes ca(1200, 'c');
    const Bytes bundle = tlsBundle(ca, {}, {});
    ASSERT_EQ(bundle.size(), 1204u);
    EXPECT_EQ(toHex(ByteView(bundle).last(4)), "00 3b 00 3b");
    EXPECT_EQ(toHex(tlsBundle(text("A"), text("B"), text("K"))), "41 00 3b 42 00 3b 4b");
    const Bytes m = tlsUploadMessage(1, kMac, bundle);
    ASSERT_EQ(m.size(), 1222u);
    EXPECT_EQ(toHex(ByteView(m).first(10)), "ba 3a 01 04 04 b8 01 74 04 b4");
    EXPECT_EQ(toHex(ByteView(m).last(8)), "00 4b 59 0a 4d 07 45 2e");
}

TEST(Tls, ABundleLargerThanItsFieldIsNotStored)
{
    auto r = std::make_unique<ParameterRecord>();
    EXPECT_TRUE(storeTlsBundle(*r, Bytes(8192, 7)));
    EXPECT_EQ(r->tlsBundleLength.get(), 8192u);
    EXPECT_FALSE(storeTlsBundle(*r, Bytes(8193, 9)));
    EXPECT_EQ(r->tlsBundleLength.get(), 8192u);
    EXPECT_EQ(r->tlsBundle[0], 7);
}

TEST(MaintenanceTimers, AnAcknowledgementEndsTheWaitAtTheNextTickElseTheLimitFails)
{
    AckWait wait(Millis{100}, Millis{5000});
    wait.start(Millis{0});
    EXPECT_EQ(wait.run(Millis{99}, true), AckWait::End::None);
    EXPECT_EQ(wait.run(Millis{100}, true), AckWait::End::Succeeded);
    EXPECT_FALSE(wait.waiting());

    wait.start(Millis{1000});
    for (int t = 1100; t < 6000; t += 100)
        ASSERT_EQ(wait.run(Millis{t}, false), AckWait::End::None) << t;
    EXPECT_EQ(wait.run(Millis{6000}, false), AckWait::End::Failed);
    EXPECT_FALSE(wait.nextDeadline());
}

TEST(MaintenanceTimers, TheImageTransferEndsAfterThreeQuietSeconds)
{
    ImageFetch fetch;
    fetch.start(Millis{0});
    fetch.datagram(block(0, 1), Millis{2000});
    EXPECT_FALSE(fetch.run(Millis{3001}));
    fetch.datagram(Bytes{1, 2, 3}, Millis{4000}); // not a block, but the device is still sending
    EXPECT_FALSE(fetch.run(Millis{7000}));
    EXPECT_TRUE(fetch.run(Millis{7001}));
    EXPECT_FALSE(fetch.running());
    EXPECT_EQ(fetch.collected().blocksKept(), 1u);
}
