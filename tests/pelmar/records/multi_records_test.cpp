// The multi-port records: the groups of eight ports, the stop by port count,
// and the write forms.
#include "pelmar/records/records.h"

#include "pelmar/model/conversions.h"
#include "tests/pelmar/records/record_test_util.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace recordtest;

namespace {

struct Group {
    std::size_t blocks, packTimes, packLengths, timeouts, registers;
};
constexpr Group k2326[] = {{40, 610, 618, 634, 673}, {818, 1363, 1372, 1388, 1428}, {1572, 2117, 2126, 2142, 2182}};
constexpr Group k1284[] = {{40, 610, 618, 634, 0}, {674, 1219, 1228, 1244, 0}};

// A record whose port n (1-based) carries n in most of its fields.
Bytes multiRecord(bool is2326, std::size_t size, const char *hardware, std::uint8_t kind = 1)
{
    Bytes r(size, 0);
    put(r, 1, "0a 4d 01 09 ff ff 00 00 0a 4d 00 fe 0a 4d 00 35");
    put(r, 17, "00 4b 5a 4d 01 09 02");
    putText(r, 24, "admin");
    putText(r, 32, "pw");
    putText(r, 584, "V5.2");
    putText(r, 588, hardware);
    r[609] = kind;
    if (is2326) put(r, 650, "01 03 01");
    const Group *groups = is2326 ? k2326 : k1284;
    for (std::size_t g = 0; g < (is2326 ? 3u : 2u); ++g) {
        for (std::size_t k = 0; k < 8; ++k) {
            const std::uint8_t port = std::uint8_t(8 * g + k + 1);
            const std::size_t b = groups[g].blocks + 68 * k;
            if (b + 68 > size) break;
            r[b] = port;        // baud index
            r[b + 4] = 2;       // work mode
            put(r, b + 5, "a0 a1 a2 a3");
            r[b + 10] = port;   // target port LE
            r[b + 12] = 0x10;
            r[b + 13] = port;   // local port = port * 256 + 0x10
            r[b + 14] = port;   // modbus address (2326)
            r[b + 16] = 2;
            putText(r, b + 17, "host-" + std::to_string(port));
            putText(r, b + 49, "heartbeat-data-" + std::string(1, char('A' + port % 26)));
            r[b + 66] = port;
            r[groups[g].packTimes + k] = port;
            r[groups[g].packLengths + 2 * k] = port;
            r[groups[g].timeouts + 2 * k + 1] = port;
            if (is2326) {
                const std::size_t reg = groups[g].registers + 18 * k;
                putText(r, reg, "R" + std::to_string(port));
                r[reg + 16] = 1;
                r[reg + 17] = 3;
            }
        }
    }
    return r;
}

DeviceEntry marked()
{
    DeviceEntry e;
    for (auto &p : e.ports) p.localPort = 0xBEEF;
    return e;
}

} // namespace

TEST(Multi2326, A828ByteReplyFillsPortsOneToEightOnly)
{
    DeviceEntry e = marked();
    ASSERT_TRUE(takeOverRecord(RecordFormat::RecordMulti2326, multiRecord(true, 818, "V820"), e));
    EXPECT_TRUE(e.longRecord && e.registerCapable);
    EXPECT_EQ(e.deviceKind, 1);
    EXPECT_EQ(e.oneToManyEnable, 1);
    EXPECT_EQ(e.oneToManyProtocol, 3);
    EXPECT_EQ(e.modbusIdentity, 1);
    EXPECT_EQ(e.ipMode, 2);
    for (std::size_t k = 0; k < 8; ++k) {
        const PortSettings &p = e.ports[k];
        const int port = int(k) + 1;
        EXPECT_EQ(p.baudIndex, port);
        EXPECT_EQ(p.localPort, port * 256 + 0x10);
        EXPECT_EQ(p.targetPort, port);
        EXPECT_EQ(p.modbusAddress, port);
        EXPECT_EQ(p.itemExtra, (std::array<std::uint8_t, 4>{0xA0, 0xA1, 0xA2, 0xA3}));
        EXPECT_EQ(p.customBaud, 0xA1);
        EXPECT_EQ(p.oneToManyAddress, 0xA2);
        EXPECT_EQ(p.oneToManyMapped, 0xA3);
        EXPECT_EQ(p.targetHost.text(), "host-" + std::to_string(port));
        EXPECT_EQ(p.heartbeatInterval, port);
        EXPECT_EQ(p.packTime, port);
        EXPECT_EQ(p.packLength, port);
        EXPECT_EQ(p.timeout, port * 256);
        EXPECT_EQ(registerText(p, false), "R" + std::to_string(port) + std::string(1, '?'));
        EXPECT_EQ(p.enable, 0); // not carried
    }
    for (std::size_t k = 8; k < kMaxPorts; ++k) EXPECT_EQ(e.ports[k].localPort, 0xBEEF) << k;
}

TEST(Multi2326, A2336ByteReplyFillsAll24PortsAndA1582ByteOneSixteen)
{
    DeviceEntry e = marked();
    takeOverRecord(RecordFormat::RecordMulti2326, multiRecord(true, 2326, "VN30"), e);
    EXPECT_EQ(e.ports[23].baudIndex, 24);
    EXPECT_EQ(e.ports[23].packLength, 24);
    EXPECT_EQ(e.ports[16].registerMode, 1);
    EXPECT_EQ(e.ports[16].targetHost.text(), "host-17");
    DeviceEntry f = marked();
    takeOverRecord(RecordFormat::RecordMulti2326, multiRecord(true, 1572, "VM20"), f);
    EXPECT_EQ(f.ports[15].timeout, 16 * 256);
    EXPECT_EQ(f.ports[16].localPort, 0xBEEF);
}

TEST(Multi1284, StopsAfterThePortsItsPortCountGivesAndReadsNoModbusAddress)
{
    DeviceEntry e = marked();
    e.registerCapable = false;
    ASSERT_TRUE(takeOverRecord(RecordFormat::RecordMulti1284, multiRecord(false, 674, "V410", 0), e));
    EXPECT_TRUE(e.longRecord);
    EXPECT_FALSE(e.registerCapable);
    EXPECT_EQ(e.deviceKind, 0);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(e.ports[k].localPort, (k + 1) * 256 + 0x10);
        EXPECT_EQ(e.ports[k].modbusAddress, 0);
        EXPECT_EQ(e.ports[k].customBaud, 0);
    }
    EXPECT_EQ(e.ports[4].localPort, 0xBEEF);

    DeviceEntry m = marked();
    takeOverRecord(RecordFormat::RecordMulti1284, multiRecord(false, 1284, "VM20"), m);
    EXPECT_EQ(m.ports[15].baudIndex, 16);
    EXPECT_EQ(m.ports[15].packTime, 16);
    EXPECT_EQ(m.ports[15].timeout, 16 * 256);
    EXPECT_EQ(m.ports[16].localPort, 0xBEEF);
    // A 2-port device stops after port 2 even in the long form.
    DeviceEntry two = marked();
    takeOverRecord(RecordFormat::RecordMulti1284, multiRecord(false, 1284, "V110"), two);
    EXPECT_EQ(two.ports[1].baudIndex, 2);
    EXPECT_EQ(two.ports[2].localPort, 0xBEEF);
    EXPECT_EQ(two.ports[8].localPort, 0xBEEF);
    EXPECT_FALSE(takeOverRecord(RecordFormat::RecordMulti1284, Bytes(818, 0), two));
}

TEST(MultiWrite, FormsFollowThePortCount)
{
    DeviceEntry e;
    const auto length = [&](RecordFormat f, const char *hw) {
        e.hardwareVersion.set(hw);
        return writeFrameLength(f, e);
    };
    EXPECT_EQ(length(RecordFormat::RecordMulti1284, "V820"), 684u);
    EXPECT_EQ(length(RecordFormat::RecordMulti1284, "VM20"), 1294u);
    EXPECT_EQ(length(RecordFormat::RecordMulti1284, "VN20"), 1294u);
    EXPECT_EQ(length(RecordFormat::RecordMulti2326, "V820"), 828u);
    EXPECT_EQ(length(RecordFormat::RecordMulti2326, "VM20"), 1582u);
    EXPECT_EQ(length(RecordFormat::RecordMulti2326, "VN30"), 2336u);
    EXPECT_EQ(buildRecord(RecordFormat::RecordMulti2326, e).size(), 2326u);
}

TEST(MultiWrite, CarriesTheMarkerTheHeartbeatTerminatorAndThe2326SharedBytes)
{
    const Bytes received = multiRecord(true, 2326, "VN30");
    DeviceEntry e;
    takeOverRecord(RecordFormat::RecordMulti2326, received, e);
    e.ports[0].customBaud = 0x5C;
    const Bytes w = buildRecord(RecordFormat::RecordMulti2326, e);
    ASSERT_EQ(w.size(), 2326u);
    EXPECT_EQ(w[0], 0x55);
    EXPECT_EQ(hexAt(w, 40 + 5, 4), "00 5c a2 a3"); // byte 5 is not written
    EXPECT_EQ(w[40 + 64], 0);                       // heartbeat data keeps its last byte zero
    EXPECT_EQ(textAt(w, 40 + 49, 15), "heartbeat-data-");
    // Apart from those, the write is what was read.
    Bytes expected = received;
    expected[0] = 0x55;
    for (const Group &g : k2326)
        for (std::size_t k = 0; k < 8; ++k) {
            expected[g.blocks + 68 * k + 5] = 0;
            expected[g.blocks + 68 * k + 64] = 0;
        }
    expected[41 + 5] = 0x5C;
    EXPECT_EQ(testsupport::toHex(w), testsupport::toHex(expected));
    const Bytes frame = buildRecordWriteFrame(RecordFormat::RecordMulti2326, e);
    ASSERT_EQ(frame.size(), 2336u);
    EXPECT_EQ(hexAt(frame, 0, 4), "48 3a 57 02");
}

TEST(MultiWrite, The1284RecordCarriesTheExtraBytesAndNoModbusAddress)
{
    const Bytes received = multiRecord(false, 1284, "VM20");
    DeviceEntry e;
    takeOverRecord(RecordFormat::RecordMulti1284, received, e);
    e.ports[3].modbusAddress = 77;
    const Bytes w = buildRecord(RecordFormat::RecordMulti1284, e);
    ASSERT_EQ(w.size(), 1284u);
    const std::size_t b4 = 40 + 68 * 3;
    EXPECT_EQ(hexAt(w, b4 + 5, 4), "00 a1 a2 a3");
    EXPECT_EQ(w[b4 + 14], 0);
    EXPECT_EQ(w[674 + 68 * 7], 16); // port 16's block
    EXPECT_EQ(w[1219 + 7], 16);
    DeviceEntry eight;
    takeOverRecord(RecordFormat::RecordMulti1284, multiRecord(false, 674, "V820"), eight);
    EXPECT_EQ(buildRecord(RecordFormat::RecordMulti1284, eight).size(), 674u);
}
