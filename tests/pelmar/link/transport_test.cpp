// The main socket and the sub-dialog exchange against a peer on loopback.
#include "pelmar/link/main_socket.h"
#include "pelmar/link/tlv_exchange.h"
#include "pelmar/link/tlv_frame.h"

#include "tests/support/test_support.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QThread>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <atomic>

using namespace pelmar;
using testsupport::waitFor;

namespace {
const QHostAddress kLoopback(QStringLiteral("127.0.0.1"));

QByteArray bytes(const Bytes &b) { return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size())); }

// A peer that answers every datagram with `answer(request)`.
struct Peer {
    QUdpSocket socket;
    std::function<QByteArray(const QByteArray &)> answer;
    QList<QByteArray> received;
    Peer()
    {
        socket.bind(kLoopback, 0);
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                received << d.data();
                if (answer) socket.writeDatagram(answer(d.data()), d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
};
} // namespace

TEST(MainSocket, DeliversDatagramsWithTheirSourceAndDropsOversizedOnes)
{
    MainSocket socket;
    QSignalSpy opened(&socket, &MainSocket::opened);
    QSignalSpy received(&socket, &MainSocket::datagramReceived);
    socket.open(QStringLiteral("127.0.0.1"), 0);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    Peer peer;
    peer.answer = [](const QByteArray &request) {
        return request.size() == 1 ? QByteArray(6000, 'x') : request + "!";
    };
    socket.send(buildSearchRequest(), QStringLiteral("127.0.0.1"), peer.socket.localPort());
    ASSERT_TRUE(waitFor([&] { return received.count() == 1; }));
    EXPECT_EQ(received[0][0].toByteArray(), bytes(buildSearchRequest()) + "!");
    EXPECT_EQ(received[0][1].toString(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(received[0][2].toUInt(), peer.socket.localPort());

    socket.send(Bytes{1}, kyvo::Ipv4Endpoint{0x7F000001, peer.socket.localPort()}); // answered by 6000 bytes
    socket.send(Bytes{1, 2}, QStringLiteral("127.0.0.1"), peer.socket.localPort());
    ASSERT_TRUE(waitFor([&] { return received.count() == 2; }));
    EXPECT_EQ(received[1][0].toByteArray(), QByteArray("\x01\x02!", 3));
    EXPECT_EQ(socket.oversizedDatagrams(), 1u);
}

TEST(MainSocket, AFloodWhileTheWindowIsBusyCostsTheOldestDatagrams)
{
    MainSocket socket;
    QSignalSpy opened(&socket, &MainSocket::opened);
    socket.open(QStringLiteral("127.0.0.1"), 0);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    QSignalSpy received(&socket, &MainSocket::datagramReceived);
    // The window's thread is busy (no events) while 6000 datagrams arrive.
    constexpr int kSent = 6000;
    QUdpSocket flood;
    for (int i = 0; i < kSent; ++i) {
        flood.writeDatagram(QByteArray::number(i), kLoopback, socket.localPort());
        if (i % 100 == 99) QThread::msleep(5); // the receive thread keeps up with the system's buffer
    }
    // A loaded machine may lose some datagrams before the worker sees them:
    // the checks hold for whatever the worker took in.
    testsupport::waitUntilSettled([&] { return socket.queueDrops(); });
    ASSERT_TRUE(waitFor([&] { return received.count() == int(MainSocket::kInboxDatagrams); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received.count(), int(MainSocket::kInboxDatagrams));
    EXPECT_GT(socket.queueDrops(), 0u);
    // The oldest went: at least as many arrived before the first kept one as were dropped.
    EXPECT_GE(quint64(received.first()[0].toByteArray().toInt()), socket.queueDrops());
    for (int i = 1; i < received.count(); ++i)
        ASSERT_LT(received[i - 1][0].toByteArray().toInt(), received[i][0].toByteArray().toInt()) << i;
}

TEST(MainSocket, ReopeningMovesItToTheNewAddressAndReportsABindFailure)
{
    MainSocket socket;
    QSignalSpy opened(&socket, &MainSocket::opened);
    QSignalSpy failed(&socket, &MainSocket::bindFailed);
    socket.open({}, 0);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    socket.open(QStringLiteral("127.0.0.1"), 0);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 2; }));
    Peer peer;
    peer.answer = [](const QByteArray &) { return QByteArray("ok"); };
    QSignalSpy received(&socket, &MainSocket::datagramReceived);
    socket.send(Bytes{9}, QStringLiteral("127.0.0.1"), peer.socket.localPort());
    ASSERT_TRUE(waitFor([&] { return received.count() == 1; }));
    socket.open(QStringLiteral("192.0.2.77"), 0); // not an address of this host
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }));
    EXPECT_EQ(socket.localPort(), 0);
}

TEST(TlvExchange, ReturnsTheFirstReplyCutToTheAskedSize)
{
    Peer peer;
    peer.answer = [](const QByteArray &) { return bytes(buildTlvFrame(kTlvReplyCode, Bytes(40, 0x21), Mac{})); };
    TlvExchange exchange({}, TlvExchange::Options{QStringLiteral("127.0.0.1"), peer.socket.localPort(), 0, 3000});
    ASSERT_TRUE(exchange.isBound());
    QSignalSpy finished(&exchange, &TlvExchange::finished);
    const Bytes request = buildTlvFrame(kTlvReadCode, Bytes{0x21}, Mac{1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(exchange.exchangeTlv(request, 24));
    EXPECT_TRUE(exchange.busy());
    EXPECT_FALSE(exchange.exchangeTlv(request, 24)); // one request at a time
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }));
    EXPECT_EQ(finished[0][0].toByteArray().size(), 24);
    EXPECT_TRUE(finished[0][0].toByteArray().startsWith("h:"));
    EXPECT_EQ(peer.received.size(), 1);
    EXPECT_EQ(peer.received[0], bytes(request));
    EXPECT_FALSE(exchange.busy());
}

TEST(TlvExchange, GivesNothingWhenNoReplyComesInTime)
{
    Peer silent;
    TlvExchange exchange({}, TlvExchange::Options{QStringLiteral("127.0.0.1"), silent.socket.localPort(), 0, 150});
    QSignalSpy finished(&exchange, &TlvExchange::finished);
    ASSERT_TRUE(exchange.exchangeTlv(buildTlvFrame(kTlvReadCode, {}, Mac{}), 1024));
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }));
    EXPECT_TRUE(finished[0][0].toByteArray().isEmpty());
    EXPECT_EQ(silent.received.size(), 1);
}

TEST(MainSocket, WhenSentRunsOnceEveryEarlierDatagramHasLeft)
{
    MainSocket socket;
    QSignalSpy opened(&socket, &MainSocket::opened);
    socket.open(QStringLiteral("127.0.0.1"), 0);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    QUdpSocket listener; // read only below, so what arrived stays queued
    ASSERT_TRUE(listener.bind(kLoopback, 0));
    constexpr int kCount = 100;
    std::atomic<bool> done{false};
    for (int i = 0; i < kCount; ++i) socket.send(Bytes{std::uint8_t(i)}, QStringLiteral("127.0.0.1"), listener.localPort());
    socket.whenSent([&] { done = true; });
    ASSERT_TRUE(waitFor([&] { return done.load(); }));
    // Loopback delivers as the datagram is sent: all of them are queued by now, in order.
    QList<int> arrived;
    while (listener.hasPendingDatagrams()) arrived << std::uint8_t(listener.receiveDatagram().data().at(0));
    ASSERT_EQ(arrived.size(), kCount);
    for (int i = 0; i < kCount; ++i) EXPECT_EQ(arrived[i], i);
}
