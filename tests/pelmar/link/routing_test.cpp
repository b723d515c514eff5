// The routing of received datagrams: each rule, and datagrams that match several.
#include "pelmar/link/routing.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace pelmar;
using testsupport::hex;

namespace {
Bytes datagram(std::size_t n, std::uint8_t b3, bool hr = true)
{
    Bytes d(n, 0x20);
    if (hr && n >= 3) d[0] = 'H', d[1] = ':', d[2] = 'R';
    if (n >= 4) d[3] = b3;
    return d;
}
Bytes shortReply(std::uint8_t code) { return buildCommandFrame(kRead, code, Bytes(16, 0x30), {1, 2, 3}); }
} // namespace

TEST(Routing, RecordRepliesAreToldByCodeAndLength)
{
    const std::pair<std::size_t, RecordFormat> cases[] = {
        {372, RecordFormat::RecordWifi362},   {302, RecordFormat::RecordWifi292},   {1294, RecordFormat::RecordMulti1284},
        {684, RecordFormat::RecordMulti1284}, {2336, RecordFormat::RecordMulti2326}, {1582, RecordFormat::RecordMulti2326},
        {828, RecordFormat::RecordMulti2326}};
    for (const auto &[n, format] : cases) EXPECT_EQ(routeDatagram(datagram(n, 'P')).record, format) << n;
    for (std::size_t n : {250u, 270u, 310u, 390u, 470u, 510u, 730u, 760u})
        EXPECT_EQ(routeDatagram(datagram(n, 0x01)).record, RecordFormat::NativeRecord) << n;
    EXPECT_FALSE(routeDatagram(datagram(373, 'P')).any());
    EXPECT_FALSE(routeDatagram(datagram(372, 0x01)).record);
    EXPECT_FALSE(routeDatagram(datagram(250, 'P')).record);
    Bytes writeDirection = datagram(372, 'P');
    writeDirection[2] = 'W';
    EXPECT_FALSE(routeDatagram(writeDirection).record);
    EXPECT_EQ(recordOf(datagram(372, 'P')).size(), 362u);
}

TEST(Routing, ShortRepliesAreDiscoveryByCodeAndItemsByTheirCheck)
{
    const Route discovery = routeDatagram(datagram(26, 'P', false)); // no header or checksum needed
    EXPECT_TRUE(discovery.shortDiscovery);
    EXPECT_FALSE(discovery.shortItem);
    const Route item = routeDatagram(shortReply(0x53));
    EXPECT_TRUE(item.shortItem);
    EXPECT_FALSE(item.shortDiscovery);
    Bytes off = shortReply(0x53);
    ++off[23];
    EXPECT_FALSE(routeDatagram(off).any());
    // A discovery reply with a good checksum is an item reply as well.
    const Route both = routeDatagram(shortReply('P'));
    EXPECT_TRUE(both.shortDiscovery && both.shortItem);
}

TEST(Routing, MessagesScanListAndTftpOverlap)
{
    Bytes alert = datagram(4096, 0x9F);
    const Route a = routeDatagram(alert);
    EXPECT_TRUE(a.alert && a.wifiScanList);
    EXPECT_FALSE(a.scanAlert);
    const Route scan = routeDatagram(datagram(372, 0x9F));
    EXPECT_TRUE(scan.wifiScanList && scan.scanAlert);
    EXPECT_FALSE(scan.record);
    EXPECT_TRUE(routeDatagram(datagram(40, 0x9F)).wifiScanList);
    // 372 bytes with 0x9F but no "H:R": the message only.
    const Route bare = routeDatagram(datagram(372, 0x9F, false));
    EXPECT_TRUE(bare.scanAlert);
    EXPECT_FALSE(bare.wifiScanList);
    Bytes tftp = hex("00 04 00 01");
    EXPECT_TRUE(routeDatagram(tftp).tftp);
    Bytes bigTftp(4096, 0);
    const Route t = routeDatagram(bigTftp);
    EXPECT_TRUE(t.tftp && t.alert);
    EXPECT_FALSE(routeDatagram({}).any());
}

TEST(Routing, TheReceiveThreadKeepsAnswersApartAndDropsWhatNoRuleTakes)
{
    using kyvo::Inbound;
    Bytes badChecksum = shortReply(0x53);
    ++badChecksum[23];
    const std::pair<Bytes, Inbound> cases[] = {
        {datagram(372, 'P'), Inbound::Answer},       // a record
        {datagram(250, 0x01), Inbound::Answer},      // a native record
        {datagram(26, 'P', false), Inbound::Answer}, // a short-frame discovery answer
        {shortReply(0x53), Inbound::Answer},         // an item reply of a reading
        {datagram(4096, 0x20), Inbound::Other},      // a message for the user
        {datagram(40, 0x9F), Inbound::Other},        // a scan list
        {hex("00 04 00 01"), Inbound::Other},        // TFTP
        {datagram(373, 'P'), Inbound::Junk},         // a record's header, a byte too long
        {datagram(1291, 'P'), Inbound::Junk},        {badChecksum, Inbound::Junk},
        {datagram(25, 'P', false), Inbound::Junk},   {hex("17"), Inbound::Junk},
    };
    for (const auto &[d, kind] : cases)
        EXPECT_EQ(classifyDatagram(d), kind) << testsupport::toHex(d).substr(0, 24) << " " << d.size();
}

TEST(Routing, TextAtByte4EndsAtItsZeroOrTheDatagram)
{
    Bytes d = hex("48 3a 52 9f 41 42 43 00 44");
    EXPECT_EQ(textAtByte4(d), "ABC");
    EXPECT_EQ(textAtByte4(hex("48 3a 52 9f 41 42")), "AB");
    EXPECT_EQ(textAtByte4(hex("48 3a 52")), "");
}
