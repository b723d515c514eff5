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

TEST(GatewayEndpoint, AFloodWhileTheWindowIsBusyCostsTheOldestMessages)
{
    GatewayEndpoint endpoint;
    QSignalSpy opened(&endpoint, &GatewayEndpoint::opened);
    endpoint.open(QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(testsupport::waitFor([&] { return opened.count() == 1; }));
    QSignalSpy received(&endpoint, &GatewayEndpoint::messageReceived);
    // 6000 complete one-fragment answers while the window's thread is busy (no events).
    constexpr int kSent = 6000;
    const Mac mac{0x00, 0x4B, 0x59, 0x00, 0x00, 0x01};
    QUdpSocket flood;
    for (int i = 0; i < kSent; ++i) {
        const Bytes message = buildDeviceMessage(0, 0x81, {}, mac);
        Bytes body(message);
        body[4] = std::uint8_t(i >> 8); // the length field tells the messages apart
        body[5] = std::uint8_t(i);
        const Bytes frame = deviceFrames(body, mac).front();
        flood.writeDatagram(reinterpret_cast<const char *>(frame.data()), qint64(frame.size()),
                            QHostAddress(QHostAddress::LocalHost), endpoint.localPort());
        if (i % 100 == 99) QThread::msleep(5); // the receive thread keeps up with the system's buffer
    }
    // A loaded machine may lose some datagrams before the worker sees them:
    // the checks count what the worker took in, not what was sent.
    testsupport::waitUntilSettled([&] { return endpoint.receivedDatagrams(); });
    ASSERT_TRUE(
        testsupport::waitFor([&] { return received.count() == int(GatewayEndpoint::kInboxMessages); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received.count(), int(GatewayEndpoint::kInboxMessages));
    EXPECT_GT(endpoint.queueDrops(), 0u);
    EXPECT_EQ(endpoint.queueDrops() + GatewayEndpoint::kInboxMessages, endpoint.receivedDatagrams());
    const auto number = [&](int at) {
        const QByteArray m = received.at(at).at(1).toByteArray();
        return std::uint8_t(m[4]) << 8 | std::uint8_t(m[5]);
    };
    // The oldest went: at least as many arrived before the first kept one as were dropped.
    EXPECT_GE(quint64(number(0)), endpoint.queueDrops());
    for (int i = 1; i < received.count(); ++i)
        ASSERT_LT(number(i - 1), number(i)) << i;
}
