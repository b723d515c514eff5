// The gateway batch on a manual clock: the answers are the core's signals,
// so each device's operation, time-out and text is seen exactly.
#include "vorlet/ui/gateway_batch.h"

#include "vorlet/record/device_list.h"
#include "vorlet/ui/check_texts.h"

#include "tests/support/test_support.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace vorlet;
using State = kyvo::BatchRunner::State;

namespace {

Mac macOf(int device)
{
    return {0x00, 0x4B, 0x59, 0x7F, 0x00, std::uint8_t(device)};
}

struct BatchTest : ::testing::Test
{
    kyvo::ManualClock clock;
    GatewayCore core;

    void addDevices(int count)
    {
        for (int i = 0; i < count; ++i) {
            const auto index = core.devices().add(macOf(i), 0x7F000001u + std::uint32_t(i));
            ASSERT_TRUE(index);
            core.devices().at(*index).ipType = 1; // DHCP: no static address to check
        }
    }
    std::unique_ptr<GatewayBatch> batch(GatewayBatch::Operation operation, int devices, std::size_t parallel,
                                        QByteArray file = {})
    {
        std::vector<std::size_t> rows;
        for (int i = 0; i < devices; ++i)
            rows.push_back(std::size_t(i));
        GatewayBatch::Options o;
        o.parallel = parallel;
        o.clock = &clock;
        o.configFile = std::move(file);
        return std::make_unique<GatewayBatch>(core, operation, rows, std::move(o));
    }
    void answer(int device, int code = 0x86)
    {
        Q_EMIT core.commandResult(code, device, QByteArray("\x00\x00", 2), macOf(device));
    }
    void advance(GatewayBatch &b, int ms)
    {
        clock.advance(kyvo::Millis(ms));
        b.poll();
    }
    // Until the endpoint's sender has let every message of the batch go
    // (their time-outs count from then).
    static bool left(const GatewayBatch &b)
    {
        return testsupport::waitFor([&] {
            for (std::size_t row = 0; row < b.runner().size(); ++row)
                if (auto *op = static_cast<CommandOperation *>(b.operationOf(row));
                    op && op->runner().messageLeaving())
                    return false;
            return true;
        });
    }
    static std::vector<State> states(const GatewayBatch &b)
    {
        std::vector<State> s;
        for (std::size_t i = 0; i < b.runner().size(); ++i)
            s.push_back(b.runner().row(i).state);
        return s;
    }
};

TEST_F(BatchTest, AtMostNRunAndEachAnswerEndsOnlyItsOwnDevice)
{
    addDevices(5);
    auto b = batch(GatewayBatch::Operation::Restart, 5, 2);
    std::size_t most = 0;
    QObject::connect(b.get(), &GatewayBatch::rowChanged,
                     [&] { most = std::max(most, b->runner().running()); });
    b->start();
    EXPECT_EQ(states(*b),
              (std::vector{State::Running, State::Running, State::Waiting, State::Waiting, State::Waiting}));
    answer(4); // not running: nothing of it is taken
    answer(1);
    EXPECT_EQ(states(*b),
              (std::vector{State::Running, State::Done, State::Running, State::Waiting, State::Waiting}));
    EXPECT_EQ(b->runner().row(1).text, "重启成功");
    for (const int device : {0, 2, 3, 4})
        answer(device);
    EXPECT_TRUE(b->runner().allSucceeded());
    EXPECT_EQ(most, 2u);
}

TEST_F(BatchTest, ASilentDeviceTimesOutAloneWhileTheOthersGoOn)
{
    addDevices(3);
    auto b = batch(GatewayBatch::Operation::FactoryReset, 3, 2);
    b->start();
    advance(*b, 500);
    ASSERT_TRUE(left(*b)); // both commands have left
    answer(1);
    EXPECT_EQ(b->runner().row(2).state, State::Running); // at once, not after the silent one's time-out
    advance(*b, 100);
    answer(2);
    EXPECT_EQ(b->runner().row(2).state, State::Done);
    EXPECT_EQ(b->runner().row(0).state, State::Running);
    advance(*b, 2399); // 2999 ms after its start
    EXPECT_EQ(b->runner().row(0).state, State::Running);
    advance(*b, 1);
    EXPECT_EQ(b->runner().row(0).state, State::Failed);
    EXPECT_EQ(b->runner().row(0).text, "恢复出厂失败");
    EXPECT_TRUE(b->runner().finished());
}

TEST_F(BatchTest, CancelStartsNothingMoreAndLetsTheRunningOnesFinish)
{
    addDevices(4);
    auto b = batch(GatewayBatch::Operation::Restart, 4, 2);
    b->start();
    advance(*b, 100);
    std::vector<std::unique_ptr<QSignalSpy>> sent;
    for (std::size_t row : {0u, 1u})
        sent.push_back(std::make_unique<QSignalSpy>(
            &static_cast<CommandOperation *>(b->operationOf(row))->runner(), &CommandRunner::messageSent));
    b->cancel();
    EXPECT_EQ(states(*b), (std::vector{State::Running, State::Running, State::Cancelled, State::Cancelled}));
    advance(*b, 400); // the running ones still send their command
    EXPECT_EQ(sent[0]->count(), 1);
    EXPECT_EQ(sent[1]->count(), 1);
    answer(0);
    answer(1);
    answer(2); // a cancelled device's answer changes nothing
    EXPECT_EQ(states(*b), (std::vector{State::Done, State::Done, State::Cancelled, State::Cancelled}));
    EXPECT_EQ(b->operationOf(2), nullptr);
    EXPECT_TRUE(b->runner().finished());
}

TEST_F(BatchTest, AQuickSetRefusedForOneDeviceGoesOnWithTheNext)
{
    addDevices(3);
    // A file shorter than the address settings leaves each device's own.
    ParameterRecord &unusable = core.devices().at(1);
    unusable.ipType = 0;
    std::fill(std::begin(unusable.ipAddress), std::end(unusable.ipAddress), 0);
    auto b = batch(GatewayBatch::Operation::QuickSet, 3, 1, QByteArray("\x01\x02\x03\x04", 4));
    b->start();
    answer(0, 0x84);
    EXPECT_EQ(b->runner().row(0).text, "保存成功,重启后生效！！！");
    EXPECT_EQ(b->runner().row(1).state, State::Failed);
    EXPECT_EQ(b->runner().row(1).text,
              addressFaultText(AddressFault::Address, unusable, false).toStdString());
    EXPECT_EQ(b->runner().row(2).state, State::Running);
    answer(2, 0x84);
    EXPECT_EQ(b->runner().summary().done, 2u);
    EXPECT_TRUE(b->runner().finished());
}

TEST_F(BatchTest, FinishedIsSignalledOnceAfterTheLastRow)
{
    addDevices(2);
    auto b = batch(GatewayBatch::Operation::DeepFactoryReset, 2, 8);
    QSignalSpy finished(b.get(), &GatewayBatch::finished);
    b->start();
    answer(0);
    answer(1);
    EXPECT_EQ(finished.count(), 0); // queued: the owner may delete the batch then
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(b->runner().row(1).text, "深度恢复出厂成功");
}

} // namespace
