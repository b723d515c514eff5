// The TLV settings' requests over literal bytes, what replies fill in, and
// the checks before a save.
#include "pelmar/advanced/tlv_dialogs/port_tlv_settings.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace pelmar;
using testsupport::hex;
using testsupport::toHex;

namespace {

const Mac kMac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

Bytes text(std::size_t n, char c = 'a')
{
    return Bytes(n, std::uint8_t(c));
}

// A reply frame around a body.
Bytes reply(const Bytes &body)
{
    return buildTlvFrame(kTlvReplyCode, body, kMac);
}

Bytes port(std::uint8_t index, const char *nestedHex)
{
    Bytes body;
    appendPortTlv(body, index, hex(nestedHex));
    return body;
}

} // namespace

TEST(PortTlvRequests, AreTheDevicesFixedFrames)
{
    struct Case
    {
        const char *name;
        Bytes frame;
        const char *expected;
    };
    CachePort cache{1, 44, 3, 0, 0x0102};
    HeartbeatSettings beat;
    beat.enable = 1;
    beat.packets[0] = hex("41 42 43");
    const Case cases[] = {
        {"mqtt read", mqttReadRequest(2, kMac),
         "68 3a 00 03 00 18 10 00 15 02 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 17 18 19 1a 1c 62 63 "
         "00 11 22 33 44 55 45 2e"},
        {"debug run", debugRunRequest(4, kMac),
         "68 3a 00 04 00 08 00 10 00 04 04 1b 01 01 00 11 22 33 44 55 45 2e"},
        // The port length counts the index byte, as in every port TLV.
        {"cache save", cacheSaveRequest(5, cache, kMac),
         "68 3a 00 04 00 15 01 10 00 11 05 1d 01 01 5e 01 2c 5f 01 03 61 01 00 64 02 01 02 "
         "00 11 22 33 44 55 45 2e"},
        {"heartbeat read", heartbeatReadRequest(2, kMac),
         "68 3a 00 03 00 0b 0c 10 00 02 00 60 10 00 02 01 60 00 11 22 33 44 55 45 2e"},
        {"heartbeat save (empty packet: length 0)", heartbeatSaveRequest(beat, 2, kMac),
         "68 3a 00 04 00 13 01 0c 01 01 10 00 06 00 60 03 41 42 43 10 00 03 01 60 00 "
         "00 11 22 33 44 55 45 2e"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(toHex(c.frame), c.expected) << c.name;
}

TEST(PortTlvRequests, CacheReadAndCloneCarryEveryPortOfTheDevice)
{
    const Bytes four = cacheReadRequest(4, kMac);
    EXPECT_EQ(four.size(), 50u);
    EXPECT_EQ(toHex(Bytes(four.begin() + 6, four.begin() + 15)), "10 00 06 00 1d 5e 5f 61 64");
    const Bytes all = cacheReadRequest(24, kMac);
    EXPECT_EQ(all.size(), 24u * 9 + 14);
    EXPECT_EQ(all[6 + 23 * 9 + 3], 23); // the last port's index

    const Bytes clone = cacheCloneRequest(8, CachePort{1, 2, 3, 1, 500}, kMac);
    ASSERT_EQ(clone.size(), 14u + 1 + 8 * 20);
    EXPECT_EQ(clone[6], 0x01);
    for (int i = 0; i < 8; ++i) {
        const auto at = clone.begin() + 7 + i * 20;
        EXPECT_EQ(toHex(Bytes(at, at + 20)),
                  "10 00 11 0" + std::to_string(i) + " 1d 01 01 5e 01 02 5f 01 03 61 01 01 64 02 01 f4");
    }
}

TEST(PortTlvRequests, MqttSaveSendsEveryValueInTheDevicesOrder)
{
    MqttSettings s;
    s.server = text(127);
    s.port = 1883;
    s.keepAlive = 60;
    s.cloud = kMqttCloudMaker;
    s.willMessage = text(2, 'm');
    const Bytes f = mqttSaveRequest(1, s, kMac);
    const std::string h = toHex(f);
    // 0x01, the port TLV, the server with length 127, then the rest with empty texts as length 0.
    EXPECT_EQ(h.substr(0, 32), "68 3a 00 04 00 b9 01 10 00 b5 01");
    EXPECT_EQ(toHex(Bytes(f.begin() + 11, f.begin() + 13)), "0a 7f");
    const std::string rest = toHex(Bytes(f.begin() + 13 + 127, f.end() - 8));
    EXPECT_EQ(rest, "0b 02 07 5b 0c 00 0d 00 0e 00 0f 02 00 3c 10 01 00 11 01 00 12 00 13 00 14 00 15 01 02 "
                    "16 00 17 00 18 00 19 01 00 1a 01 00 62 01 00 63 01 00 1c 02 6d 6d");
}

TEST(MqttSettingsCheck, ReportsTheFirstTextThatDoesNotFitInTheDialogsOrder)
{
    struct Case
    {
        Bytes MqttSettings::*member;
        std::size_t longest;
        const char *message;
    };
    const Case cases[] = {
        {&MqttSettings::server, 127, "服务器IP长度超过128"},
        {&MqttSettings::user, 64, "用户名长度超过 65"},
        {&MqttSettings::password, 64, "密码长度超过 65"},
        {&MqttSettings::clientId, 64, "设备ID超过 65"},
        {&MqttSettings::willTopic, 64, "遗嘱TOPIC 长度超过 65"},
        {&MqttSettings::willMessage, 64, "遗嘱MSG 65"},
        {&MqttSettings::subscribeTopic, 64, "订阅TOPIC长度超过 65"},
        {&MqttSettings::publishTopic, 64, "发布TOPIC长度超过 65"},
        {&MqttSettings::productKey, 64, "PRODUCT KEY 长度超过 65"},
        {&MqttSettings::deviceName, 64, "DEVICE NAME长度超过 65"},
        {&MqttSettings::deviceSecret, 64, "DEVICE SECRET长度超过 65"},
    };
    MqttSettings all;
    for (const Case &c : cases) {
        MqttSettings s;
        s.*(c.member) = text(c.longest);
        EXPECT_EQ(mqttCheck(s), "") << c.message;
        s.*(c.member) = text(c.longest + 1);
        EXPECT_EQ(mqttCheck(s), c.message);
        all.*(c.member) = text(c.longest + 1);
    }
    EXPECT_EQ(mqttCheck(all), cases[0].message);
}

TEST(MqttReply, FillsThePortsSettingsAndSkipsValuesOfOtherPortsOrLengths)
{
    Bytes nested = hex("0a 03 68 6f 73 0b 02 07 5b 10 01 02 15 01 01 0f 03 00 00 3c 1a 01 01");
    nested.push_back(0x0C);
    nested.push_back(70);
    nested.insert(nested.end(), 70, 'u');
    Bytes body;
    appendPortTlv(body, 1, nested);
    appendPortTlv(body, 0, hex("0d 02 70 77"));
    const MqttSettings s = mqttFromReply(reply(body), 1);
    EXPECT_EQ(s.server, hex("68 6f 73"));
    EXPECT_EQ(s.port, 1883);
    EXPECT_EQ(s.qos, 2);
    EXPECT_EQ(s.cloud, kMqttCloudAlibaba);
    EXPECT_EQ(s.enabled, 1);
    EXPECT_EQ(s.keepAlive, 0);       // three bytes: skipped
    EXPECT_TRUE(s.user.empty());     // 70 bytes: skipped
    EXPECT_TRUE(s.password.empty()); // port 0's
}

TEST(CacheReply, FillsEveryPortAndTheLearnedCommands)
{
    Bytes body = port(0, "1d 01 01 5e 01 0a 5f 01 02 61 01 01 64 02 01 2c 3e 03 01 03 00 1e 02 00 05");
    const Bytes second =
        port(2, "1d 01 01 5e 02 00 0a 3f 11 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 "
                "40 02 aa bb");
    body.insert(body.end(), second.begin(), second.end());
    CacheSettings s;
    s.learned[5] = hex("99");
    cacheFromReply(reply(body), s);
    EXPECT_EQ(s.ports[0], (CachePort{1, 10, 2, 1, 300}));
    EXPECT_EQ(s.ports[2], (CachePort{1, 0, 0, 0, 0})); // a two-byte period is skipped
    EXPECT_EQ(s.learnedCount[0], 5);
    EXPECT_EQ(learnedCommandsText(s), "01 03 00 \r\naa bb \r\n"); // 17 bytes skipped, slot 5 cleared
}

TEST(CacheClone, IsOfferedWhileNeighbouringPortsDiffer)
{
    struct Case
    {
        std::vector<CachePort> ports;
        int count;
        bool differ;
    };
    const CachePort a{1, 1, 1, 0, 0}, b{1, 2, 1, 0, 0};
    const Case cases[] = {
        {{a, a, b}, 3, true},
        {{a, a, a}, 3, false},
        {{a, b}, 1, false}, // one port
        {{a, a, b}, 2, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cachePortsDiffer(c.ports, c.count), c.differ) << c.count;

    const std::uint8_t flags[] = {kCacheFlagOn, kCacheFlagOn, kCacheFlagOn, kCacheFlagOff};
    EXPECT_TRUE(legacyFlagsDiffer(flags, 16));
    EXPECT_FALSE(legacyFlagsDiffer(flags, 3));
}

TEST(HeartbeatReply, SetsTheSwitchAndPacketsUpTo48Bytes)
{
    Bytes body = hex("0c 01 01");
    Bytes nested{0x60, 48};
    nested.insert(nested.end(), 48, 0x31);
    appendPortTlv(body, 0, nested);
    nested[1] = 49;
    nested.push_back(0x32);
    appendPortTlv(body, 1, nested);
    const HeartbeatSettings s = heartbeatFromReply(reply(body));
    EXPECT_EQ(s.enable, 1);
    EXPECT_EQ(s.packets[0].size(), 48u);
    EXPECT_TRUE(s.packets[1].empty());
    EXPECT_EQ(heartbeatCheck(s), "");
    HeartbeatSettings tooLong = s;
    tooLong.packets[23] = text(49);
    EXPECT_EQ(heartbeatCheck(tooLong), "heartbead size < 48");
}

TEST(PortTlvReply, BelongsToTheDeviceWhoseMacItCarries)
{
    EXPECT_TRUE(replyIsFrom(reply({}), kMac));
    EXPECT_FALSE(replyIsFrom(buildTlvFrame(kTlvReplyCode, {}, Mac{0, 0x11, 0x22, 0x33, 0x44, 0x56}), kMac));
    EXPECT_TRUE(replyIsFrom(hex("68 3a 00"), kMac)); // malformed: the dialog reports it
}
