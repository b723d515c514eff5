// The item rules of a gateway's answer.
#include "vorlet/record/record_parser.h"

#include "common/fixed_field.h"
#include "tests/vorlet/record/record_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace vorlet;
using namespace recordtest;
using testsupport::hex;

namespace {
std::unique_ptr<ParameterRecord> emptyRecord() { return std::make_unique<ParameterRecord>(); }
} // namespace

TEST(RecordParser, NumbersAreBigEndianOnTheWireAndLittleEndianInTheRecord)
{
    auto r = emptyRecord();
    parseRecordAnswer(body({item(0x06, hex("00 00 00 f2")), item(0x70, hex("01 02")), item(0x12, hex("c0 a8 01 05")),
                            item(0x11, hex("01"))}),
                      *r);
    EXPECT_EQ(r->firmwareNumber.get(), 242u);
    EXPECT_EQ(r->netLossRestartMin.get(), 0x0102);
    const auto bytes = recordBytes(*r);
    EXPECT_EQ(testsupport::toHex(bytes.subspan(244, 4)), "f2 00 00 00");
    EXPECT_EQ(testsupport::toHex(bytes.subspan(5, 4)), "c0 a8 01 05");
    EXPECT_EQ(r->ipType, 1);
}

TEST(RecordParser, ItemsThatBreakTheirLengthRuleChangeNothing)
{
    auto r = emptyRecord();
    parseRecordAnswer(body({item(0x12, hex("c0 a8 01 05"))}), *r);
    parseRecordAnswer(body({item(0x12, hex("0a 00 00")), item(0x11, hex("01 01")), item(0x05, {}),
                            item(0x1A, Bytes(64, 'x')), item(0x19, Bytes(17, 'y')), item(0x82, Bytes(32, 'p'))}),
                      *r);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r->ipAddress, 4)), "c0 a8 01 05");
    EXPECT_EQ(r->ipType, 0);
    EXPECT_EQ(kyvo::fieldTextLength(r->deviceName), 0u);
    EXPECT_EQ(kyvo::fieldTextLength(r->identifier), 0u);
    EXPECT_EQ(kyvo::fieldTextLength(r->wifiPasswords), 0u);
}

TEST(RecordParser, TextsAreClearedBeforeTheNewOneIsCopied)
{
    auto r = emptyRecord();
    parseRecordAnswer(body({item(0x1A, text("a long device name"))}), *r);
    parseRecordAnswer(body({item(0x1A, text("short")), item(0x03, text("Vorlet-boot")), item(0x19, text("0123456789abcdef"))}), *r);
    EXPECT_EQ(kyvo::fieldText(r->deviceName), "short");
    EXPECT_EQ(kyvo::fieldText(r->model), "Vorlet-boot");
    EXPECT_EQ(kyvo::fieldText(r->identifier), "0123456789abcdef");
}

TEST(RecordParser, NtpItemWithLengthOneSwitchesNtpAndClearsTheServer)
{
    auto r = emptyRecord();
    parseRecordAnswer(body({item(0x71, hex("01") + text("pool.example"))}), *r);
    EXPECT_EQ(r->ntpEnabled, 1);
    EXPECT_EQ(kyvo::fieldText(r->ntpServer), "pool.example");
    parseRecordAnswer(body({item(0x71, hex("00"))}), *r);
    EXPECT_EQ(r->ntpEnabled, 0);
    EXPECT_EQ(kyvo::fieldTextLength(r->ntpServer), 0u);
}

TEST(RecordParser, ValuesLongerThanTheirFieldAreCutNeverWrittenPast)
{
    auto r = emptyRecord();
    r->webSwitch = 0x55; // the byte behind the NTP server
    Bytes ntp = hex("01");
    ntp.resize(1 + 200, 'n');
    Bytes info(5000, 'i'), values(9000, 'v'), wifi(3000, 'w');
    parseRecordAnswer(body({item(0x71, ntp), item(0xB3, info), item(0xB6, values), item(0x86, wifi)}), *r);
    EXPECT_EQ(kyvo::fieldTextLength(r->ntpServer), 63u);
    EXPECT_EQ(r->webSwitch, 0x55);
    EXPECT_EQ(kyvo::fieldTextLength(r->infoText), 2047u);
    EXPECT_EQ(kyvo::fieldTextLength(r->pollValues), 4095u);
    EXPECT_EQ(kyvo::fieldTextLength(r->wifiExtension), 1023u);
    EXPECT_EQ(r->customDefaults[0], 0); // the field behind the poll values is untouched
}

TEST(RecordParser, SerialSubItemCarriesDataBitsBeforeStopBits)
{
    auto r = emptyRecord();
    parseRecordAnswer(body({item(0x40, hex("00") + item(0x01, hex("01 00 08 00 00 32 04 00")) + item(0x04, hex("03")) +
                                         item(0x07, hex("01 03 e8")))}),
                      *r);
    EXPECT_EQ(r->serial.baudIndex, 1);
    EXPECT_EQ(r->serial.parityIndex, 0);
    EXPECT_EQ(r->serial.dataBits, 8);
    EXPECT_EQ(r->serial.stopBitsIndex, 0);
    EXPECT_EQ(r->serial.packingTimeMs.get(), 50);
    EXPECT_EQ(r->serial.packingLength.get(), 1024);
    EXPECT_EQ(r->serial.serialMode, 3);
    EXPECT_EQ(r->serial.commandCache, 1);
    EXPECT_EQ(r->serial.updatePeriodMs.get(), 1000);
}

TEST(RecordParser, ASerialBlockForAnotherPortIsIgnored)
{
    auto r = emptyRecord();
    parseRecordAnswer(body({item(0x40, hex("01") + item(0x04, hex("03")))}), *r);
    EXPECT_EQ(r->serial.serialMode, 0);
    EXPECT_EQ(r->channels[0].localPort.get(), 0);
}

TEST(RecordParser, ChannelSubItemsFollowTheirFieldRules)
{
    auto r = emptyRecord();
    const Bytes topic65(65, 't');
    parseRecordAnswer(body({item(0x41, hex("01") + item(0x01, hex("22 b7")) + item(0x02, hex("06")) +
                                           item(0x05, hex("aa bb cc")) + item(0x3D, topic65) + item(0x41, text("pub")) +
                                           item(0x51, Bytes(127, 'h')) + item(0x53, hex("02 01")) + item(0x55, hex("01 99")) +
                                           item(0x02, hex("06 06")))}),
                      *r);
    const ChannelBlock &c = r->channels[1];
    EXPECT_EQ(c.localPort.get(), 8887);
    EXPECT_EQ(c.workMode, 6);
    EXPECT_EQ(c.heartbeatLength, 3);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(c.heartbeatData, 3)), "aa bb cc");
    EXPECT_EQ(std::memcmp(c.subscribeTopics[0], topic65.data(), 65), 0); // 65 bytes, no terminator
    EXPECT_EQ(c.subscribeTopics[1][0], 0);
    EXPECT_EQ(kyvo::fieldText(c.publishTopics[0]), "pub");
    EXPECT_EQ(kyvo::fieldTextLength(c.httpServer), 127u);
    EXPECT_EQ(c.httpMethod, 2);
    EXPECT_EQ(c.httpHexConversion, 1);
    EXPECT_EQ(c.multicast, 1);
    EXPECT_EQ(r->channels[0].workMode, 0);
    parseRecordAnswer(body({item(0x41, hex("01") + item(0x53, hex("03")) + item(0x51, Bytes(128, 'h')))}), *r);
    EXPECT_EQ(c.httpMethod, 3);
    EXPECT_EQ(c.httpHexConversion, 1);
    EXPECT_EQ(c.httpServer[0], 'h'); // 128 bytes do not fit: unchanged
    parseRecordAnswer(body({item(0x41, hex("02") + item(0x02, hex("05")))}), *r);
    EXPECT_EQ(c.workMode, 6);
}

TEST(RecordParser, PollTableEntriesLandInTheirSlots)
{
    auto r = emptyRecord();
    const Bytes entry = hex("1b 00 01 03 00 00 01 00") + Bytes(16, 0) + hex("00 02 6b 30");
    const Bytes second = hex("1a 00 02 04 01 00 0a 02 ff ff ff ff 00 00 00 05 00 00 27 10 80 00 3a 98 01 01 61");
    parseRecordAnswer(body({item(0x5A, hex("00 02") + entry + second)}), *r);
    ASSERT_EQ(r->poll.entryCount.get(), 2);
    const PollEntry &a = r->poll.entries[0], &b = r->poll.entries[1];
    EXPECT_EQ(a.address, 1);
    EXPECT_EQ(a.function, 3);
    EXPECT_EQ(a.registerCount, 1);
    EXPECT_EQ(kyvo::fieldText(a.jsonName), "k0");
    EXPECT_EQ(b.startRegister.get(), 0x100);
    EXPECT_EQ(b.dataType, 2);
    EXPECT_EQ(std::int32_t(b.threshold1.get()), -1);
    EXPECT_EQ(b.scaleK.get(), 10000u);
    EXPECT_EQ(b.offsetB.get(), 0x80003A98u);
    EXPECT_EQ(b.urgent, 1);
    EXPECT_EQ(kyvo::fieldText(b.jsonName), "a");
    // An empty table sets the count only.
    parseRecordAnswer(body({item(0x5A, hex("00 00"))}), *r);
    EXPECT_EQ(r->poll.entryCount.get(), 0);
    EXPECT_EQ(kyvo::fieldText(r->poll.entries[1].jsonName), "a");
}

TEST(RecordParser, APollTableBeyondItsSlotsOrWithLongNamesIsCut)
{
    auto r = emptyRecord();
    Bytes table = hex("02 58"); // 600 entries announced
    for (int i = 0; i < 600; ++i) {
        const Bytes name(i == 0 ? 100 : 1, 'n');
        Bytes e{std::uint8_t(25 + name.size()), 0, 1, 3, 0, 0, 1, 0};
        e.resize(26, 0);
        e[25] = std::uint8_t(name.size());
        e.insert(e.end(), name.begin(), name.end());
        table.insert(table.end(), e.begin(), e.end());
    }
    r->poll.uploadChannel = 0x42;
    parseRecordAnswer(body({item(0x5A, table)}), *r);
    EXPECT_EQ(r->poll.entryCount.get(), kPollSlots);
    EXPECT_EQ(kyvo::fieldTextLength(r->poll.entries[0].jsonName), 64u);
    EXPECT_EQ(r->poll.uploadChannel, 0x42);
    // A table announcing more entries than it carries counts what it carries.
    parseRecordAnswer(body({item(0x5A, hex("00 05") + hex("1b 00 01 03 00 00 01 00") + Bytes(16, 0) + hex("00 02 6b 30"))}), *r);
    EXPECT_EQ(r->poll.entryCount.get(), 1);
}

TEST(RecordParser, OnACanGatewayItem5AIsTheCanSettings)
{
    auto r = emptyRecord();
    parseRecordAnswer(body({item(0x04, hex("00 00 00 01 01 00"))}), *r);
    ASSERT_TRUE(hasCanPort(*r));
    Bytes v = hex("0c 09");
    for (int i = 0; i < 9; ++i) v = v + hex("01 02 01 03 ff ff ff 9c 00 00 00 64");
    v = v + hex("10 09");
    for (int i = 0; i < 9; ++i) v = v + hex("01 88 00 00 12 34 01 02 03 04 05 06 07 08 00 c8");
    v = v + hex("10 00 10 0f 04 01 01 01 01 00 01 00 00 01 23 00 00 07 ff") + hex("00 00 00 05 00 00 00 06 00 00 00 07 01");
    parseRecordAnswer(body({item(0x5A, v)}), *r);
    const CanBlock &can = r->poll.can;
    EXPECT_EQ(can.filters[8].dataType, 1);
    EXPECT_EQ(std::int32_t(can.filters[8].minimum.get()), -100);
    EXPECT_EQ(can.filters[8].maximum.get(), 100u);
    EXPECT_EQ(can.senders[0].frame[0], 0x88);
    EXPECT_EQ(can.senders[8].delayMs.get(), 200);
    EXPECT_EQ(can.bitRateIndex, 16);
    EXPECT_EQ(can.brp.get(), 16);
    EXPECT_EQ(can.tseg1, 15);
    EXPECT_EQ(can.smartSender, 0);
    EXPECT_EQ(can.extendedIds, 1);
    EXPECT_EQ(can.acceptanceCode.get(), 0x123u);
    EXPECT_EQ(can.acceptanceMask.get(), 0x7FFu);
    EXPECT_EQ(r->canReceived.get(), 5u);
    EXPECT_EQ(r->canBusState, 1);
    EXPECT_EQ(r->poll.entryCount.get(), 0);
    // Records larger than 32 bytes: the whole item is ignored.
    parseRecordAnswer(body({item(0x5A, hex("21 01") + Bytes(33, 0) + hex("10 00") + Bytes(19, 0))}), *r);
    EXPECT_EQ(can.filters[0].dataType, 1);
}

TEST(RecordParser, IoItemsKeepRelayWordsInRecordOrder)
{
    auto r = emptyRecord();
    Bytes digital;
    for (int i = 0; i < 16; ++i) digital = digital + hex("01 fd ff ff ff");
    Bytes timers;
    for (int i = 0; i < 16; ++i) timers = timers + hex("01 00 00 70 80 00 00 03 e8 1f 01 02 03 04");
    parseRecordAnswer(body({item(0x92, hex("12 34 00 14")), item(0x96, digital), item(0x94, timers),
                            item(0x9D, hex("0f 00 11")), item(0x9E, hex("03 00 00 1e")), item(0x9F, Bytes(32, 'u')),
                            item(0x99, hex("01 aa bb cc dd 00 00 ea 60 05 07"))}),
                      *r);
    EXPECT_EQ(r->io.moduleAddress.get(), 0x1234u);
    EXPECT_EQ(r->io.debounceMs.get(), 20);
    EXPECT_EQ(r->io.digitalRules[15].action.get(), 0xFFFFFFFDu);
    EXPECT_EQ(r->io.timers[3].timeOfDayS.get(), 0x7080u);
    EXPECT_EQ(r->io.timers[3].expiryMs.get(), 1000u);
    EXPECT_EQ(r->io.timers[3].weekdays, 0x1F);
    EXPECT_EQ(r->io.timers[3].action.get(), 0x04030201u);
    EXPECT_EQ(r->io.powerOnMask.get(), 0x000F);
    EXPECT_EQ(r->io.retention, 0x11);
    EXPECT_EQ(r->io.timeoutMask.get(), 0x0003);
    EXPECT_EQ(r->io.commandTimeoutS.get(), 30);
    EXPECT_EQ(std::memcmp(r->io.upload.userId, Bytes(32, 'u').data(), 32), 0);
    EXPECT_EQ(r->io.upload.inputConditions.get(), 0xDDCCBBAAu);
    EXPECT_EQ(r->io.upload.intervalMs.get(), 60000u);
    EXPECT_EQ(r->io.upload.contentMask, 7);
}

TEST(RecordParser, StatusItemsAndEvents)
{
    auto r = emptyRecord();
    Bytes status(71, 0);
    status[11] = 0x01; // uptime 1
    status[25] = 16;
    status[68] = 0x64; // production time 100
    status[69] = 12;
    const auto events = parseRecordAnswer(
        body({item(0xB0, hex("7e 0b 09 08 1e 00 03 00")), item(0xB2, status),
              item(0x8F, hex("01 00 01 01 01 01 01 00 05 06 07 08 09 0a 0b 0c")), item(0xB5, text("ok 12ms")),
              item(0xB1, hex("00 00 00 01 00 00 00 02"))}),
        *r);
    EXPECT_TRUE(events.clockUpdated);
    EXPECT_EQ(r->clock[0], 0x7e);
    EXPECT_EQ(r->clock[6], 3);
    EXPECT_EQ(r->uptimeS.get(), 1u);
    EXPECT_EQ(r->partition, 16);
    EXPECT_EQ(r->productionTime.get(), 100u);
    EXPECT_EQ(r->resetReason, 12);
    ASSERT_TRUE(events.selfTest);
    EXPECT_EQ(*events.selfTest, "ok(5) ng(6) ok(7) ok(8) ok(9) ok(10) ok(11) ng(12)");
    ASSERT_TRUE(events.pingAnswer);
    EXPECT_EQ(*events.pingAnswer, text("ok 12ms"));
    // A counters item shorter than 36 bytes fills what it carries.
    EXPECT_EQ(r->serialReceived.get(), 1u);
    EXPECT_EQ(r->serialSent.get(), 2u);
    EXPECT_EQ(r->channelStatus[0].received.get(), 0u);
}

TEST(RecordParser, TheWalkStopsAtTheDeclaredLengthAndAtTheEnd)
{
    auto r = emptyRecord();
    Bytes b = body({item(0x11, hex("01")), item(0x05, hex("01"))});
    b[1] = 4; // the declared length covers the first item only
    parseRecordAnswer(b, *r);
    EXPECT_EQ(r->ipType, 1);
    EXPECT_EQ(r->userCode, 0);
    Bytes cut = body({item(0x1A, text("name"))});
    cut.pop_back();
    parseRecordAnswer(cut, *r);
    EXPECT_EQ(r->deviceName[0], 0);
}
