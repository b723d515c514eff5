// The short-frame saves on a manual clock: the items in their order with
// their pauses, the host halves, the commit by port count, the stop at a
// host that is too long, the save buttons' timers, and commands waiting
// for a save under way.
#include "tests/pelmar/ui/save_test_util.h"

#include "common/fixed_field.h"
#include "pelmar/model/conversions.h"

using namespace savetest;
using testsupport::toHex;

namespace {

using Codes = std::vector<std::uint8_t>;
using Times = std::vector<long long>;

} // namespace

TEST(ShortFramePortSave, AFourPortServerGetsEveryItemInOrderWithItsPauses)
{
    Recorder r;
    const DeviceEntry e = shortFrameEntry("S410");
    r.session.savePorts(portItemsPlan(e, storedHostLengths(e)), r.to, false, r.clock.now());
    r.advance(499);
    EXPECT_TRUE(r.sent.empty()); // the wait before the first item
    r.runAll();
    EXPECT_EQ(r.codes(), (Codes{0x12, 0x04, 0x37, 0x14, 0x05, 0x38, 0x41, 0x42, 0x43, 0x3F, 0x19, 0x17, 0x39,
                                0x21, 0x18, 0x3A, 0x49}));
    // Ports 1 and 2 10 ms apart, the lists after 50 ms and 20 ms apart, 200 ms
    // before port 3, and no pause between port 3's heartbeat and port 4.
    EXPECT_EQ(r.times(),
              (Times{500, 510, 520, 530, 540, 550, 600, 620, 640, 660, 860, 870, 880, 880, 890, 900, 900}));
    for (const Sent &s : r.sent) {
        EXPECT_EQ(s.datagram.size(), 26u);
        EXPECT_EQ(s.destination, "255.255.255.255");
        EXPECT_EQ(s.port, 5005);
        EXPECT_EQ(s.datagram[2], 'W');
        EXPECT_EQ(toHex(kyvo::ByteView(s.datagram).subspan(20, 3)), "4d 01 09");
        EXPECT_TRUE(checkShortReply(s.datagram)); // the same framing the devices check
    }
    // Host, serial item, heartbeat data, each port's own.
    EXPECT_EQ(itemHex(r.sent[0].datagram), toHex(kyvo::asBytes("10.77.0.10")) + " 00 00 00 00 00 00");
    EXPECT_EQ(itemHex(r.sent[1].datagram), "0b 01 08 01 02 00 01 00 00 1f 41 0f a1 02 01 02");
    EXPECT_EQ(itemHex(r.sent[2].datagram),
              toHex(kyvo::asBytes("HB-P1")) + " 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(itemHex(r.sent[11].datagram), "0b 01 08 01 02 00 03 00 00 1f 43 0f a3 02 01 02"); // port 3
    // The lists of ports 1..8: pack time, pack length, timeout, heartbeat interval (LE).
    EXPECT_EQ(itemHex(r.sent[6].datagram), "0a 0b 0c 0d 0e 0f 10 11 00 00 00 00 00 00 00 00");
    EXPECT_EQ(itemHex(r.sent[7].datagram), "f4 01 f5 01 f6 01 f7 01 f8 01 f9 01 fa 01 fb 01");
    EXPECT_EQ(itemHex(r.sent[8].datagram), "64 00 65 00 66 00 67 00 68 00 69 00 6a 00 6b 00");
    EXPECT_EQ(itemHex(r.sent[9].datagram), "1e 00 1f 00 20 00 21 00 22 00 23 00 24 00 25 00");
    EXPECT_EQ(toHex(r.sent[16].datagram), toHex(buildDeviceCommand(0x49, kTail)));
}

TEST(ShortFramePortSave, ThePortCountCharacterDecidesHowManyPortsAndTheCommit)
{
    struct Case
    {
        const char *hardware;
        std::size_t items;
        bool commit;
    };
    // Two ports and the lists without a commit for '1'; 'B' (also two ports) goes on to port 8.
    const Case cases[] = {
        {"S110", 10, false}, {"S410", 17, true}, {"S610", 23, true}, {"S810", 29, true}, {"SB10", 29, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.hardware);
        Recorder r;
        const DeviceEntry e = shortFrameEntry(c.hardware);
        r.session.savePorts(portItemsPlan(e, storedHostLengths(e)), r.to, false, r.clock.now());
        r.runAll();
        ASSERT_EQ(r.sent.size(), c.items);
        EXPECT_EQ(r.sent.back().code() == 0x49, c.commit);
    }
    Recorder six;
    const DeviceEntry e = shortFrameEntry("S610");
    six.session.savePorts(portItemsPlan(e, storedHostLengths(e)), six.to, false, six.clock.now());
    six.runAll();
    const Codes all = six.codes();
    const Codes tail(all.end() - 7, all.end());
    EXPECT_EQ(tail, (Codes{0x26, 0x24, 0x3B, 0x28, 0x25, 0x3C, 0x49})); // ports 5 and 6, then the commit
    EXPECT_EQ(six.times()[18], six.times()[19]); // port 5's heartbeat and port 6's host at once
}

TEST(ShortFramePortSave, TheSecondHostHalfGoesWhenTheHostIsLongEnough)
{
    DeviceEntry e = shortFrameEntry("S110");
    e.ports[0].targetHost.set("abcdefghijklmnop"); // 16: port 1 in one item
    e.ports[1].targetHost.set("ABCDEFGHIJKLMNOP"); // 16: port 2 in two, the second all zero
    Recorder r;
    r.session.savePorts(portItemsPlan(e, storedHostLengths(e)), r.to, false, r.clock.now());
    r.runAll();
    const Codes codes = r.codes();
    EXPECT_EQ(Codes(codes.begin(), codes.begin() + 7), (Codes{0x12, 0x04, 0x37, 0x14, 0x15, 0x05, 0x38}));
    EXPECT_EQ(itemHex(r.sent[4].datagram), toHex(ItemData{}));
    EXPECT_EQ(r.times()[4] - r.times()[3], 10);

    e.ports[0].targetHost.set("plant-server-17.example.net-01"); // 30 characters
    Recorder longer;
    longer.session.savePorts(portItemsPlan(e, storedHostLengths(e)), longer.to, false, longer.clock.now());
    longer.runAll();
    ASSERT_EQ(longer.codes()[1], 0x13);
    EXPECT_EQ(itemHex(longer.sent[0].datagram), toHex(kyvo::asBytes("plant-server-17.")));
    EXPECT_EQ(itemHex(longer.sent[1].datagram), toHex(kyvo::asBytes("example.net-01")) + " 00 00");
}

TEST(ShortFramePortSave, AHostLongerThan32CharactersStopsTheSaveAtItsPort)
{
    const DeviceEntry e = shortFrameEntry("S810");
    HostLengths lengths = storedHostLengths(e);
    lengths[2] = 33; // port 3, as typed
    Recorder r;
    r.session.savePorts(portItemsPlan(e, lengths), r.to, false, r.clock.now());
    r.runAll();
    // Ports 1 and 2 and the lists are written; nothing of port 3 or after, no commit.
    EXPECT_EQ(r.codes(), (Codes{0x12, 0x04, 0x37, 0x14, 0x05, 0x38, 0x41, 0x42, 0x43, 0x3F}));
    ASSERT_EQ(r.invalid.size(), 1u);
    EXPECT_EQ(r.invalid[0].first, 2u);
    EXPECT_EQ(r.invalid[0].second, 860); // when port 3 would have gone
    EXPECT_FALSE(r.session.sending());
}

TEST(ShortFrameDeviceSave, AddressesMacAndLoginThenTheCommitUnlessPortCountIsOne)
{
    DeviceEntry e = shortFrameEntry("S410");
    e.mac = *parseMacText("00-1A-2B-3C-4D-5E");
    Recorder r;
    r.session.saveDevice(deviceSavePlan(e), r.to, r.clock.now());
    r.runAll();
    EXPECT_EQ(r.codes(), (Codes{0x02, 0x03, 0x07, 0x49}));
    EXPECT_EQ(r.times(), (Times{500, 510, 520, 530}));
    EXPECT_EQ(itemHex(r.sent[0].datagram), "0a 4d 01 09 ff ff 00 00 0a 4d 00 fe 0a 4d 00 35");
    // mac, ipMode, broadcastFilterOff, then bytes 8..15 of the address item again.
    EXPECT_EQ(itemHex(r.sent[1].datagram), "00 1a 2b 3c 4d 5e 02 01 0a 4d 00 fe 0a 4d 00 35");
    EXPECT_EQ(itemHex(r.sent[2].datagram),
              toHex(kyvo::asBytes("admin")) + " 00 00 00 " + toHex(kyvo::asBytes("secret")) + " 00 00");

    Recorder one;
    one.session.saveDevice(deviceSavePlan(shortFrameEntry("S110")), one.to, one.clock.now());
    one.runAll();
    EXPECT_EQ(one.codes(), (Codes{0x02, 0x03, 0x07}));
}

TEST(SaveButtons, EachComesBackAfterItsThreeSecondsOrAtOnceOnAnAcceptedWrite)
{
    Recorder r;
    const DeviceEntry e = shortFrameEntry();
    r.session.saveDevice(deviceSavePlan(e), r.to, r.clock.now());
    EXPECT_FALSE(r.session.buttonEnabled(SaveButton::Device));
    EXPECT_TRUE(r.session.buttonEnabled(SaveButton::Port));
    r.advance(2999);
    EXPECT_FALSE(r.session.buttonEnabled(SaveButton::Device));
    r.advance(1);
    EXPECT_TRUE(r.session.buttonEnabled(SaveButton::Device));
    ASSERT_EQ(r.buttons.size(), 2u);
    EXPECT_EQ(r.buttons[1].atMs, 3000);
    EXPECT_TRUE(r.buttons[1].enabled);

    // A port save that writes the whole record holds both buttons; 0x10 frees both.
    r.buttons.clear();
    r.session.savePorts(deviceSavePlan(e), r.to, true, r.clock.now());
    EXPECT_FALSE(r.session.buttonEnabled(SaveButton::Device));
    EXPECT_FALSE(r.session.buttonEnabled(SaveButton::Port));
    r.advance(600);
    r.session.writeAccepted();
    EXPECT_TRUE(r.session.buttonEnabled(SaveButton::Device));
    EXPECT_TRUE(r.session.buttonEnabled(SaveButton::Port));
    EXPECT_EQ(r.buttons.size(), 4u);
    r.advance(3000); // the timers were stopped: nothing more
    EXPECT_EQ(r.buttons.size(), 4u);
}

TEST(SaveQueue, ACommandOrASecondSaveWaitsForTheSaveUnderWay)
{
    Recorder r;
    const DeviceEntry e = shortFrameEntry("S410");
    r.session.savePorts(portItemsPlan(e, storedHostLengths(e)), r.to, false, r.clock.now());
    r.runAll(520); // the first three items are out
    ASSERT_EQ(r.sent.size(), 3u);
    r.session.command(buildDeviceCommand(0x08, kTail), {"10.77.1.9", 1111}, r.clock.now());
    r.session.saveDevice(deviceSavePlan(e), r.to, r.clock.now());
    r.runAll();
    ASSERT_EQ(r.sent.size(), 17u + 1u + 4u);
    EXPECT_EQ(r.sent[17].code(), 0x08); // right after the port save's commit
    EXPECT_EQ(r.sent[17].atMs, 900);
    EXPECT_EQ(r.sent[17].destination, "10.77.1.9");
    EXPECT_EQ(r.sent[17].port, 1111);
    EXPECT_EQ(r.sent[18].code(), 0x02);
    EXPECT_EQ(r.sent[18].atMs, 1400); // its own 500 ms after that
}
