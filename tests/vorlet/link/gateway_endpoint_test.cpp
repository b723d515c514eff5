// The endpoint's bound address, as the debug command reports it to the device, and
// its bounded hand-over of messages to the window's thread.
#include "vorlet/link/device_message.h"
#include "vorlet/link/gateway_endpoint.h"

#include "tests/support/test_support.h"

#include <QSignalSpy>
#include <QThread>
#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace vorlet;

TEST(GatewayEndpoint, ReportsTheAddressItIsBoundToAndZeroWhenUnbound)
{
    GatewayEndpoint endpoint;
    QSignalSpy opened(&endpoint, &GatewayEndpoint::opened);
    endpoint.open(QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(testsupport::waitFor([&] { return opened.count() == 1; }));
    EXPECT_EQ(endpoint.localAddress(), 0x7F000001u);
    EXPECT_NE(endpoint.localPort(), 0);

    endpoint.open();
    ASSERT_TRUE(testsupport::waitFor([&] { return opened.count() == 2; }));
    EXPECT_EQ(endpoint.localAddress(), 0u);
}

TEST(GatewayEndpoint, AFloodWhileTheWindowIsBusyCostsTheOldestOtherMessagesNeverTheAnswers)
{
    GatewayEndpoint endpoint;
    QSignalSpy opened(&endpoint, &GatewayEndpoint::opened);
    endpoint.open(QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(testsupport::waitFor([&] { return opened.count() == 1; }));
    QSignalSpy received(&endpoint, &GatewayEndpoint::messageReceived);
    QUdpSocket flood;
    // The length field tells the messages apart.
    const auto send = [&](std::uint8_t code, int number, std::uint8_t macEnd) {
        const Mac mac{0x00, 0x4B, 0x59, 0x00, 0x00, macEnd};
        Bytes message = buildDeviceMessage(0, code, {}, mac);
        message[4] = std::uint8_t(number >> 8);
        message[5] = std::uint8_t(number);
        const Bytes frame = deviceFrames(message, mac).front();
        flood.writeDatagram(reinterpret_cast<const char *>(frame.data()), qint64(frame.size()),
                            QHostAddress(QHostAddress::LocalHost), endpoint.localPort());
    };
    // While the window's thread is busy (no events): search answers, then
    // 6000 command answers and as many messages no handler takes.
    constexpr int kAnswers = 20, kOthers = 6000;
    for (int i = 0; i < kAnswers; ++i)
        send(0x81, i, std::uint8_t(i));
    for (int i = 0; i < kOthers; ++i) {
        send(0x84, i, 1);
        send(0x87, i, 1);
        if (i % 50 == 49) QThread::msleep(5); // the receive thread keeps up with the system's buffer
    }
    // A loaded machine may lose some datagrams before the worker sees them:
    // the checks count what the worker took in, not what was sent.
    testsupport::waitUntilSettled([&] { return endpoint.receivedDatagrams(); });
    const int kept = kAnswers + int(GatewayEndpoint::kInboxMessages);
    ASSERT_TRUE(testsupport::waitFor([&] { return received.count() == kept; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received.count(), kept);
    EXPECT_EQ(endpoint.answerDrops(), 0u);
    EXPECT_GT(endpoint.queueDrops(), 0u);
    EXPECT_EQ(endpoint.queueDrops() + kept + endpoint.junkMessages(), endpoint.receivedDatagrams());
    const auto code = [&](int at) { return std::uint8_t(received.at(at).at(1).toByteArray()[3]); };
    const auto number = [&](int at) {
        const QByteArray m = received.at(at).at(1).toByteArray();
        return std::uint8_t(m[4]) << 8 | std::uint8_t(m[5]);
    };
    for (int i = 0; i < kAnswers; ++i)
        ASSERT_TRUE(code(i) == 0x81 && number(i) == i) << i;
    // The oldest went: at least as many arrived before the first kept one as were dropped.
    EXPECT_GE(quint64(number(kAnswers)), endpoint.queueDrops());
    for (int i = kAnswers + 1; i < received.count(); ++i)
        ASSERT_TRUE(code(i) == 0x84 && number(i - 1) < number(i)) << i;
}
