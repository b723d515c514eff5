// The record write paths: which record a save writes by the device's flags,
// the WiFi and multi-port frames, the 'y' split of long multi-port frames
// by hardware version, and the native forms written over the stored copy.
#include "tests/pelmar/ui/save_test_util.h"

#include "pelmar/records/records.h"

using namespace savetest;
using testsupport::toHex;

namespace {

DeviceEntry recordEntry(const char *hardware, bool wifi, bool extended, bool longRecord, bool registers)
{
    DeviceEntry e = shortFrameEntry(hardware);
    e.isWifi = wifi;
    e.wifiExtended = extended;
    e.longRecord = longRecord;
    e.registerCapable = registers;
    e.deviceKind = 1;
    return e;
}

// A native entry with a stored copy whose unread bytes carry a mark.
DeviceEntry nativeEntry(const char *hardware, std::size_t copySize)
{
    DeviceEntry e = recordEntry(hardware, false, false, false, true);
    e.nativeCopy.assign(copySize, 0);
    if (copySize > 9) e.nativeCopy[9] = 0xA7; // serial block byte 9: no field of ours
    return e;
}

std::uint8_t sum(kyvo::ByteView b)
{
    unsigned s = 0;
    for (std::uint8_t x : b)
        s += x;
    return std::uint8_t(s);
}

} // namespace

TEST(WritePath, TheDeviceFlagsChooseTheRecordInTheirOrder)
{
    struct Case
    {
        const char *hardware;
        bool wifi, extended, longRecord, registers;
        std::optional<RecordFormat> format;
        bool portsAsRecord;
    };
    const Case cases[] = {
        {"W120", true, true, false, true, RecordFormat::RecordWifi362, true},
        {"W110", true, false, false, false, RecordFormat::RecordWifi292, false},
        {"VN30", false, false, true, true, RecordFormat::RecordMulti2326, true},
        {"VN20", false, false, true, false, RecordFormat::RecordMulti1284, true},
        // A multi-port record of hardware '1' or below is not written as one.
        {"VN10", false, false, true, false, std::nullopt, false},
        {"VN10", false, false, true, true, RecordFormat::NativeRecord, true},
        {"N420", false, false, false, true, RecordFormat::NativeRecord, true},
        {"S410", false, false, false, false, std::nullopt, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.hardware);
        const DeviceEntry e = recordEntry(c.hardware, c.wifi, c.extended, c.longRecord, c.registers);
        EXPECT_EQ(recordWriteFormat(e), c.format);
        EXPECT_EQ(portSaveWritesRecord(e), c.portsAsRecord);
    }
}

TEST(RecordWrite, WifiAndMultiPortRecordsLeaveAsOneFrameAfterTheWait)
{
    struct Case
    {
        DeviceEntry entry;
        std::size_t length;
    };
    const Case cases[] = {
        {recordEntry("W120", true, true, false, true), 372},
        {recordEntry("W110", true, false, false, false), 302},
        {recordEntry("V820", false, false, true, false), 684},
        {recordEntry("VN20", false, false, true, false), 1294},
        {recordEntry("VN30", false, false, true, false), 1294}, // RecordMulti1284 is never split
        {recordEntry("V830", false, false, true, true), 828},
        {recordEntry("VN20", false, false, true, true), 2336},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        Recorder r;
        r.session.saveDevice(deviceSavePlan(c.entry), r.to, r.clock.now());
        r.runAll();
        ASSERT_EQ(r.sent.size(), 1u);
        const Bytes &f = r.sent[0].datagram;
        EXPECT_EQ(r.sent[0].atMs, 500);
        ASSERT_EQ(f.size(), c.length);
        EXPECT_EQ(toHex(kyvo::ByteView(f).first(4)), "48 3a 57 02");
        EXPECT_EQ(f[4], 0x55);
        EXPECT_EQ(toHex(kyvo::ByteView(f).subspan(f.size() - 6, 3)), "4d 01 09");
        EXPECT_EQ(f[f.size() - 3], sum(kyvo::ByteView(f).first(f.size() - 3)));
        EXPECT_EQ(toHex(kyvo::ByteView(f).last(2)), "45 2e");
    }
}

TEST(RecordWrite, ALongMultiPortFrameToHardwareAbove2IsSplitWithY)
{
    DeviceEntry e = recordEntry("VN30", false, false, true, true);
    const Bytes whole = buildRecordWriteFrame(RecordFormat::RecordMulti2326, e);
    ASSERT_EQ(whole.size(), 2336u);
    Recorder r;
    r.session.saveDevice(deviceSavePlan(e), r.to, r.clock.now());
    r.runAll();
    ASSERT_EQ(r.sent.size(), 2u);
    EXPECT_EQ(r.sent[0].datagram.size(), 1399u);
    EXPECT_EQ(r.sent[1].datagram.size(), 937u);
    EXPECT_EQ(r.sent[0].datagram[0], 'y');
    EXPECT_EQ(r.times(), (std::vector<long long>{500, 500}));
    // The two parts are the frame with 'H' replaced, its checksum computed over 'H'.
    Bytes joined = r.sent[0].datagram;
    joined.insert(joined.end(), r.sent[1].datagram.begin(), r.sent[1].datagram.end());
    joined[0] = 'H';
    EXPECT_EQ(joined, whole);

    e.hardwareVersion.set("VM30"); // 16 ports: 1582 bytes
    const auto parts = recordWriteDatagrams(RecordFormat::RecordMulti2326, e);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1].size(), 1582u - 1399u);

    e.hardwareVersion.set("VN20"); // the same record to hardware '2': one datagram
    const auto one = recordWriteDatagrams(RecordFormat::RecordMulti2326, e);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].size(), 2336u);
    EXPECT_EQ(one[0][0], 'H');
}

TEST(RecordWrite, NativeFormsFollowThePortCountAndKeepTheStoredCopy)
{
    struct Case
    {
        const char *hardware;
        bool native4, secondPortCloud;
        std::size_t copy, length; // 0: not written
    };
    const Case cases[] = {
        {"N420", false, false, 468, 510}, {"N120", true, false, 468, 510}, {"N620", false, false, 656, 760},
        {"N120", false, false, 348, 310}, {"N120", false, true, 348, 390}, {"N820", false, false, 656, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.hardware) + " " + std::to_string(c.length));
        DeviceEntry e = nativeEntry(c.hardware, c.copy);
        e.native4 = c.native4;
        e.ports[1].secondPortCloud = c.secondPortCloud;
        const auto datagrams = recordWriteDatagrams(RecordFormat::NativeRecord, e);
        if (c.length == 0) {
            EXPECT_TRUE(datagrams.empty());
            continue;
        }
        ASSERT_EQ(datagrams.size(), 1u);
        const Bytes &f = datagrams[0];
        ASSERT_EQ(f.size(), c.length);
        EXPECT_EQ(toHex(kyvo::ByteView(f).first(4)), "48 3a 57 44");
        EXPECT_EQ(f[4 + 9], 0xA7); // written over the stored copy
        EXPECT_EQ(f[4 + 0], 0x00); // port 1 baud 115200 LE from the entry
        EXPECT_EQ(f[4 + 1], 0xC2);
        EXPECT_EQ(f[4 + 2], 0x01);
    }
}

TEST(RecordWrite, ANativeDeviceWithoutAStoredCopyIsNotWrittenFromZeros)
{
    DeviceEntry e = nativeEntry("N420", 0);
    EXPECT_TRUE(recordWriteDatagrams(RecordFormat::NativeRecord, e).empty());
    Recorder r;
    r.session.saveDevice(deviceSavePlan(e), r.to, r.clock.now());
    r.runAll(1000);
    EXPECT_TRUE(r.sent.empty());
    r.advance(2999);
    EXPECT_FALSE(r.session.buttonEnabled(SaveButton::Device)); // the button comes back on its timer
    r.advance(1);
    EXPECT_TRUE(r.session.buttonEnabled(SaveButton::Device));
}
