// The command messages byte for byte, and the pending operation with timer 3
// and the waits before sending, on a manual clock.
#include "vorlet/ui/command_session.h"
#include "vorlet/ui/device_commands.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlet;
using kyvo::Millis;
using testsupport::hex;
using testsupport::toHex;

namespace {

const Mac kMac{0x00, 0x4B, 0x59, 0x01, 0x02, 0x03};

TEST(DeviceCommandMessages, AreTheDesignsBytes)
{
    EXPECT_EQ(toHex(restartMessage(0, kMac)), "ba 3a 00 06 00 00 00 4b 59 01 02 03 45 2e");
    EXPECT_EQ(toHex(factoryResetMessage(1, kMac, false)), "ba 3a 01 05 00 01 00 00 4b 59 01 02 03 45 2e");
    EXPECT_EQ(toHex(factoryResetMessage(0, kMac, true)), "ba 3a 00 05 00 01 01 00 4b 59 01 02 03 45 2e");
    EXPECT_EQ(toHex(pingMessage(0, kMac)), "ba 3a 00 03 00 01 b5 00 4b 59 01 02 03 45 2e");

    const Bytes debug = debugMessage(0, kMac, true, "255.255.255.255");
    ASSERT_EQ(debug.size(), 15u + 19u);
    EXPECT_EQ(toHex(kyvo::ByteView(debug).first(11)), "ba 3a 00 04 00 14 00 07 00 10 01");
    EXPECT_EQ(std::string(debug.begin() + 11, debug.begin() + 26), "255.255.255.255");
    EXPECT_EQ(debugMessage(1, kMac, false, "10.0.0.1")[10], 0x00);

    const Bytes clock = clockMessage(0, kMac, DeviceTime{126, 2, 8, 14, 5, 9, 0});
    EXPECT_EQ(toHex(clock), "ba 3a 00 04 00 0c 00 b0 00 08 7e 02 08 0e 05 09 00 00 00 4b 59 01 02 03 45 2e");
}

TEST(DeviceCommandMessages, DebugOutputGoesToTheBoundAddressOnlyAcrossRouters)
{
    EXPECT_EQ(debugAddressText(1, 0x0A4D0001), "10.77.0.1");
    EXPECT_EQ(debugAddressText(1, 0), "255.255.255.255");          // bound to any address
    EXPECT_EQ(debugAddressText(0, 0x0A4D0001), "255.255.255.255"); // local segment
}

// Records what the session asks for.
struct Effects : CommandEffects
{
    struct Sent
    {
        Bytes message;
        kyvo::Ipv4Endpoint to;
    };
    std::vector<Sent> sent;
    std::vector<std::string> status;
    std::vector<Buttons> buttons;
    int generated = 0;
    void sendMessage(const Bytes &m, const kyvo::Ipv4Endpoint &to) override { sent.push_back({m, to}); }
    void sendComposed(Compose compose, const kyvo::Ipv4Endpoint &to) override
    {
        sent.push_back({compose(0x0A4D0001), to}); // as bound to 10.77.0.1
    }
    void showStatus(const char *text) override { status.emplace_back(text); }
    void setButtons(Buttons b) override { buttons.push_back(b); }
    void showGenerated() override { ++generated; }
};

const kyvo::Ipv4Endpoint kBroadcast{0xFFFFFFFFu, 1111};

struct SessionTest : ::testing::Test
{
    Effects fx;
    CommandSession session{fx};
    Millis t0{1000};
};

TEST_F(SessionTest, ARestartLeavesAfter500msAndFailsAfter3s)
{
    session.deviceCommand(PendingOperation::Restart, restartMessage(0, kMac), kBroadcast, t0);
    EXPECT_EQ(fx.status.back(), "正在重启...");
    EXPECT_EQ(fx.buttons.back(), CommandEffects::Buttons::SaveResetRestartDisabled);
    session.run(t0 + Millis{499});
    EXPECT_TRUE(fx.sent.empty());
    session.run(t0 + Millis{500});
    ASSERT_EQ(fx.sent.size(), 1u);
    EXPECT_EQ(fx.sent[0].to, kBroadcast);
    EXPECT_EQ(fx.sent[0].message.size(), 14u);
    session.run(t0 + Millis{2999});
    EXPECT_EQ(session.pending(), PendingOperation::Restart);
    session.run(t0 + Millis{3000});
    EXPECT_EQ(fx.status.back(), "重启失败");
    EXPECT_EQ(session.pending(), PendingOperation::None);
    EXPECT_EQ(fx.buttons.back(), CommandEffects::Buttons::AllEnabled);
    EXPECT_FALSE(session.nextDeadline());
}

// A sender shared with other sessions held the message back: the time-out
// waits for its leaving and counts from then, never ending sooner.
TEST_F(SessionTest, AHeldBackMessageTimesOutFromItsLeaving)
{
    struct Case
    {
        bool save;
        int leftAtMs, failsAtMs;
    };
    const Bytes request(4000, 0); // a save waits 1000 + 4000 / 4 ms
    const Case cases[] = {{false, 4000, 6500}, {false, 500, 3000}, {true, 2500, 4500}, {true, 0, 2000}};
    for (const Case &c : cases) {
        if (c.save) {
            session.save(request, kBroadcast, t0);
        } else {
            session.deviceCommand(PendingOperation::Restart, restartMessage(0, kMac), kBroadcast, t0);
            session.run(t0 + CommandSession::kCommandWait);
        }
        session.requestQueued();
        session.run(t0 + Millis{c.leftAtMs});
        session.requestLeft(t0 + Millis{c.leftAtMs});
        session.run(t0 + Millis{c.failsAtMs - 1});
        EXPECT_NE(session.pending(), PendingOperation::None) << c.failsAtMs;
        session.run(t0 + Millis{c.failsAtMs});
        EXPECT_EQ(session.pending(), PendingOperation::None) << c.failsAtMs;
    }
    // A message never reported as left is waited for only so long.
    session.deviceCommand(PendingOperation::Restart, restartMessage(0, kMac), kBroadcast, t0);
    session.run(t0 + CommandSession::kCommandWait);
    session.requestQueued();
    session.run(t0 + CommandSession::kCommandTimeout + CommandSession::kHeldBackLimit);
    EXPECT_EQ(session.pending(), PendingOperation::None);
}

TEST_F(SessionTest, DeepFactoryResetSucceedsOnItsAnswerAndFailsWithoutOne)
{
    session.deviceCommand(PendingOperation::DeepFactoryReset, factoryResetMessage(0, kMac, true), kBroadcast,
                          t0);
    EXPECT_EQ(fx.status.back(), "正在深度恢复出厂...");
    session.run(t0 + Millis{500});
    session.commandResult(0x85, {});
    EXPECT_EQ(fx.status.back(), "深度恢复出厂成功");
    session.run(t0 + Millis{5000}); // the stopped timer never fires
    EXPECT_EQ(fx.status.back(), "深度恢复出厂成功");

    session.deviceCommand(PendingOperation::DeepFactoryReset, factoryResetMessage(0, kMac, true), kBroadcast,
                          t0 + Millis{6000});
    session.run(t0 + Millis{9000});
    EXPECT_EQ(fx.status.back(), "深度恢复出厂失败");
}

TEST_F(SessionTest, ASaveIsSentAtOnceAndWaitsAQuarterOfItsLengthPlusOneSecond)
{
    EXPECT_EQ(CommandSession::saveTimeout(4000), Millis{2000});
    session.save(Bytes(4000, 0xBA), kBroadcast, t0);
    EXPECT_EQ(fx.status.back(), "正在保存...");
    EXPECT_EQ(fx.buttons.back(), CommandEffects::Buttons::SaveDisabled);
    ASSERT_EQ(fx.sent.size(), 1u);
    EXPECT_EQ(session.nextDeadline(), t0 + Millis{2000});
    session.run(t0 + Millis{1999});
    EXPECT_EQ(session.pending(), PendingOperation::Save);
    session.run(t0 + Millis{2000});
    EXPECT_EQ(fx.status.back(), "保存失败");
}

TEST_F(SessionTest, ASecondCommandOverwritesTheFirstAndALateAnswerEndsTheSecond)
{
    session.debugOutput(
        true, [](std::uint32_t local) { return debugMessage(1, kMac, true, debugAddressText(1, local)); },
        kBroadcast, t0);
    EXPECT_EQ(fx.status.back(), "正在启动调试...");
    session.deviceCommand(PendingOperation::FactoryReset, factoryResetMessage(0, kMac, false), kBroadcast,
                          t0 + Millis{300});
    session.run(t0 + Millis{800});
    ASSERT_EQ(fx.sent.size(), 2u); // both waits ran out: debug at 500, reset at 800
    EXPECT_EQ(fx.sent[0].message[3], 0x04);
    EXPECT_EQ(std::string(fx.sent[0].message.begin() + 11, fx.sent[0].message.begin() + 20), "10.77.0.1");
    EXPECT_EQ(fx.sent[1].message[3], 0x05);
    // The debug time-out (t0 + 2000) was replaced by the reset's (t0 + 3300).
    session.run(t0 + Millis{2500});
    EXPECT_EQ(session.pending(), PendingOperation::FactoryReset);
    session.commandResult(0x84, hex("07 00")); // the debug write's answer, arriving late
    EXPECT_EQ(fx.status.back(), "恢复出厂成功");
    EXPECT_EQ(session.pending(), PendingOperation::None);
}

TEST_F(SessionTest, AnAnswerWithNothingPendingOnlyEnablesTheButtons)
{
    session.commandResult(0x86, {});
    EXPECT_TRUE(fx.status.empty());
    EXPECT_EQ(fx.buttons, std::vector<CommandEffects::Buttons>{CommandEffects::Buttons::AllEnabled});
}

TEST_F(SessionTest, WriteAnswersSetTheAcknowledgementAndAnnounceAGeneratedSet)
{
    const auto ackAfter = [&](std::uint8_t code, const char *body) {
        session.clearWriteAcknowledgement();
        session.commandResult(code, hex(body));
        return session.writeAcknowledged();
    };
    EXPECT_TRUE(ackAfter(0x84, "74 00"));
    EXPECT_FALSE(ackAfter(0x84, "74 01"));
    EXPECT_TRUE(ackAfter(0x84, "b8 00"));
    EXPECT_TRUE(ackAfter(0x84, "8f 02"));
    EXPECT_FALSE(ackAfter(0x84, "8f 00"));
    EXPECT_FALSE(ackAfter(0x85, "74 00")); // only write answers
    EXPECT_FALSE(ackAfter(0x84, ""));
    EXPECT_EQ(fx.generated, 0);
    session.commandResult(0x84, hex("b8 09"));
    EXPECT_EQ(fx.generated, 1);
    session.commandResult(0x86, hex("b8 09"));
    EXPECT_EQ(fx.generated, 1);
}

TEST_F(SessionTest, TheClockIsBuiltWhenItLeavesAndHasNoTimeOut)
{
    int built = 0;
    session.setClock(
        [&] {
            ++built;
            return clockMessage(0, kMac, {});
        },
        kBroadcast, t0);
    EXPECT_EQ(fx.status.back(), "正在校准时间...");
    EXPECT_EQ(session.pending(), PendingOperation::None);
    session.run(t0 + Millis{99});
    EXPECT_EQ(built, 0);
    session.run(t0 + Millis{100});
    EXPECT_EQ(built, 1);
    EXPECT_EQ(session.pending(), PendingOperation::SetClock);
    EXPECT_FALSE(session.nextDeadline());
    session.commandResult(0x84, hex("b0 00"));
    EXPECT_EQ(fx.status.back(), "校准成功");
}

} // namespace
