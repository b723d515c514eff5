// The save request: header, item order and the blocks.
#include "vorlet/record/record_parser.h"
#include "vorlet/record/save_request.h"

#include "common/fixed_field.h"
#include "tests/vorlet/record/record_test_util.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vorlet;
using namespace recordtest;
using testsupport::hex;

namespace {
struct Walked {
    std::vector<std::uint8_t> tags;
    std::map<std::uint8_t, Bytes> values;
    std::vector<Bytes> composites;
};

Walked walk(const Bytes &request)
{
    Walked w;
    const std::size_t bodyLength = kyvo::readBe16(request.data() + 4);
    walkTlv(kyvo::ByteView(request).subspan(7, bodyLength - 1), [&](const TlvItem &i) {
        w.tags.push_back(i.tag);
        if (i.tag == 0x40 || i.tag == 0x41) w.composites.emplace_back(i.value.begin(), i.value.end());
        else w.values[i.tag] = Bytes(i.value.begin(), i.value.end());
    });
    return w;
}

std::vector<std::uint8_t> subTags(const Bytes &composite)
{
    std::vector<std::uint8_t> tags;
    walkTlv(kyvo::ByteView(composite).subspan(1), [&](const TlvItem &i) { tags.push_back(i.tag); });
    return tags;
}

std::unique_ptr<ParameterRecord> sampleRecord()
{
    auto r = std::make_unique<ParameterRecord>();
    const std::uint8_t mac[6] = {0x00, 0x4B, 0x59, 0x0A, 0x00, 0x07};
    std::memcpy(r->mac, mac, 6);
    return r;
}
} // namespace

TEST(SaveRequest, HeaderItemsInOrderAndTheEnvelope)
{
    auto r = sampleRecord();
    const Bytes req = buildSaveRequest(*r, 1);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(req).first(4)), "ba 3a 01 04");
    EXPECT_EQ(req[6], 0x01);
    EXPECT_EQ(kyvo::readBe16(req.data() + 4), req.size() - 14);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(req).last(8)), "00 4b 59 0a 00 07 45 2e");
    const Walked w = walk(req);
    const std::vector<std::uint8_t> expected = {
        0x05, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x17, 0x18, 0x1A, 0x1B, 0x1C, 0x50, 0x51, 0x52, 0x53, 0x54,
        0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x70, 0x71, 0x72, 0x73, 0x80, 0x81, 0x82, 0x83, 0x84,
        0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0x40, 0x41, 0x41};
    EXPECT_EQ(w.tags, expected);
    const std::map<std::uint8_t, std::size_t> sizes = {
        {0x05, 1}, {0x12, 4}, {0x1C, 2}, {0x51, 4}, {0x55, 2}, {0x5C, 3}, {0x70, 2}, {0x71, 1}, {0x72, 3},
        {0x73, 1}, {0x84, 8}, {0x92, 4}, {0x94, 224}, {0x96, 80}, {0x97, 80}, {0x99, 11}, {0x9A, 81},
        {0x9C, 64}, {0x9D, 3}, {0x9E, 4}};
    for (const auto &[tag, size] : sizes) EXPECT_EQ(w.values.at(tag).size(), size) << std::hex << int(tag);
}

TEST(SaveRequest, EmptyTextsStillTravelWithLengthZero)
{
    auto r = sampleRecord();
    const Walked w = walk(buildSaveRequest(*r, 0));
    for (std::uint8_t tag : {0x17, 0x18, 0x1A, 0x1B, 0x56, 0x81, 0x82, 0x9F}) EXPECT_TRUE(w.values.at(tag).empty());
    EXPECT_EQ(w.values.at(0x5A), hex("00 00")); // an empty poll table
}

TEST(SaveRequest, SerialAndChannelBlocks)
{
    auto r = sampleRecord();
    r->serial.baudIndex = 1;
    r->serial.dataBits = 8;
    r->serial.packingTimeMs = 50;
    r->serial.packingLength = 1024;
    ChannelBlock &c = r->channels[1];
    c.workMode = 6;
    c.heartbeatLength = 2;
    c.heartbeatData[0] = 0xAB;
    c.heartbeatData[1] = 0xCD;
    c.httpMethod = 1;
    c.httpHexConversion = 1;
    kyvo::setFieldText(c.brokerHost, "broker");
    const Walked w = walk(buildSaveRequest(*r, 0));
    ASSERT_EQ(w.composites.size(), 3u);
    EXPECT_EQ(w.composites[0].size(), 34u); // 37 bytes with tag and length
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(w.composites[0]).first(12)), "00 01 00 08 01 00 08 00 00 32 04 00");
    EXPECT_EQ(subTags(w.composites[0]), (std::vector<std::uint8_t>{0x01, 0x02, 0x04, 0x06, 0x07}));
    const std::vector<std::uint8_t> channelTags = {
        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38,
        0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x51, 0x52, 0x53,
        0x54, 0x55};
    EXPECT_EQ(w.composites[1][0], 0);
    EXPECT_EQ(w.composites[2][0], 1);
    EXPECT_EQ(subTags(w.composites[2]), channelTags);
    std::map<std::uint8_t, Bytes> sub;
    walkTlv(kyvo::ByteView(w.composites[2]).subspan(1), [&](const TlvItem &i) { sub[i.tag] = Bytes(i.value.begin(), i.value.end()); });
    EXPECT_EQ(sub[0x05], hex("ab cd"));
    EXPECT_EQ(sub[0x08], Bytes{});
    EXPECT_EQ(sub[0x53], hex("01 01"));
    EXPECT_EQ(sub[0x31], text("broker"));
    EXPECT_EQ(sub[0x02], hex("06"));
}

TEST(SaveRequest, APollEntryTravelsIn28Bytes)
{
    auto r = sampleRecord();
    r->poll.entryCount = 1;
    PollEntry &e = r->poll.entries[0];
    e.address = 1;
    e.function = 3;
    e.registerCount = 1;
    kyvo::setFieldText(e.jsonName, "k0");
    EXPECT_EQ(pollTableValue(*r), hex("00 01 1b 00 01 03 00 00 01 00") + Bytes(16, 0) + hex("00 02 6b 30"));
}

TEST(SaveRequest, TheCanSettingsAre275BytesWithoutCounters)
{
    auto r = sampleRecord();
    r->capabilities[4] = 1;
    r->poll.can.brp = 16;
    r->canReceived = 99;
    const Bytes v = canSettingsValue(*r);
    EXPECT_EQ(v.size(), 275u);
    EXPECT_EQ(walk(buildSaveRequest(*r, 0)).values.at(0x5A), v);
}

TEST(SaveRequest, ARecordReadBackFromItsOwnRequestIsUnchanged)
{
    auto r = sampleRecord();
    kyvo::setFieldText(r->deviceName, "\xcd\xf8\xb9\xd8-01");
    kyvo::setFieldText(r->ntpServer, "ntp.example");
    r->ntpEnabled = 1;
    r->io.digitalRules[2].action = 0xFFFFFFFD;
    r->io.timers[5].timeOfDayS = 3600;
    r->io.upload.rules[1].rest[0] = 9;
    r->poll.entryCount = 2;
    kyvo::setFieldText(r->poll.entries[1].jsonName, "t1");
    r->poll.entries[1].offsetB = 0x80003A98;
    kyvo::setFieldText(r->channels[0].willTopic, "w");
    r->channels[0].registrationLength = 3;
    r->channels[0].registrationData[2] = 7;
    const Bytes req = buildSaveRequest(*r, 0);
    // Read back from the first item on (the prefix byte is not an item).
    Bytes lengthAndItems;
    kyvo::putBe16(lengthAndItems, std::uint16_t(req.size() - 15));
    lengthAndItems.insert(lengthAndItems.end(), req.begin() + 7, req.end() - 8);
    auto back = sampleRecord();
    parseRecordAnswer(lengthAndItems, *back);
    EXPECT_EQ(std::memcmp(back.get(), r.get(), sizeof(ParameterRecord)), 0);
}

TEST(SaveRequest, IoItemsCarryRelayWordsAndMasksLeastSignificantByteFirst)
{
    auto r = sampleRecord();
    r->io.moduleAddress = 0x00011234; // only the low 16 bits travel
    r->io.debounceMs = 20;
    r->io.digitalRules[0] = {1, {}};
    r->io.digitalRules[0].action = 0xFFFFFFFD;
    r->io.timers[0].enabled = 1;
    r->io.timers[0].timeOfDayS = 0x7080;
    r->io.timers[0].action = 0x7FFFFFFF;
    r->io.analogRules[0].value1 = 4000;
    r->io.analogRules[0].action = 0xAAAAAAAA;
    r->io.powerOnMask = 0x000F;
    r->io.retention = 0x11;
    r->io.timeoutMask = 0x0003;
    r->io.commandTimeoutS = 30;
    r->io.upload.inputConditions = 0xDDCCBBAA;
    r->io.upload.intervalMs = 60000;
    const Walked w = walk(buildSaveRequest(*r, 0));
    EXPECT_EQ(w.values.at(0x92), hex("12 34 00 14"));
    EXPECT_EQ(Bytes(w.values.at(0x96).begin(), w.values.at(0x96).begin() + 5), hex("01 fd ff ff ff"));
    EXPECT_EQ(Bytes(w.values.at(0x94).begin(), w.values.at(0x94).begin() + 14),
              hex("01 00 00 70 80 00 00 00 00 00 ff ff ff 7f"));
    EXPECT_EQ(Bytes(w.values.at(0x97).begin(), w.values.at(0x97).begin() + 10),
              hex("00 0f a0 00 00 00 aa aa aa aa"));
    EXPECT_EQ(w.values.at(0x9D), hex("0f 00 11"));
    EXPECT_EQ(w.values.at(0x9E), hex("03 00 00 1e"));
    EXPECT_EQ(w.values.at(0x99), hex("00 aa bb cc dd 00 00 ea 60 00 00"));
}
