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
    // Answers that start with a zero byte (TFTP's rule), so that a rule takes them.
    peer.answer = [](const QByteArray &request) {
        return request.size() == 1 ? QByteArray(6000, '\0') : QByteArray(1, '\0') + request;
    };
    socket.send(buildSearchRequest(), QStringLiteral("127.0.0.1"), peer.socket.localPort());
    ASSERT_TRUE(waitFor([&] { return received.count() == 1; }));
    EXPECT_EQ(received[0][0].toByteArray(), QByteArray(1, '\0') + bytes(buildSearchRequest()));
    EXPECT_EQ(received[0][1].toString(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(received[0][2].toUInt(), peer.socket.localPort());

    socket.send(Bytes{1}, kyvo::Ipv4Endpoint{0x7F000001, peer.socket.localPort()}); // answered by 6000 bytes
    socket.send(Bytes{1, 2}, QStringLiteral("127.0.0.1"), peer.socket.localPort());
    ASSERT_TRUE(waitFor([&] { return received.count() == 2; }));
    EXPECT_EQ(received[1][0].toByteArray(), QByteArray("\0\x01\x02", 3));
    EXPECT_EQ(socket.oversizedDatagrams(), 1u);
}

TEST(MainSocket, AFloodWhileTheWindowIsBusyCostsTheOldestOtherDatagramsNeverTheAnswers)
{
    MainSocket socket;
    QSignalSpy opened(&socket, &MainSocket::opened);
    socket.open(QStringLiteral("127.0.0.1"), 0);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    QSignalSpy received(&socket, &MainSocket::datagramReceived);
    QUdpSocket flood;
    // Records (answers), TFTP-like datagrams (another handler's) and
    // datagrams no rule takes; the number follows the first four bytes.
    const auto send = [&](const char *head, int number, qsizetype size) {
        QByteArray d = QByteArray(head, 4) + QByteArray::number(number);
        d.resize(size, ' ');
        flood.writeDatagram(d, kLoopback, socket.localPort());
    };
    // The window's thread is busy (no events) while they arrive.
    constexpr int kAnswers = 20, kOthers = 6000;
    for (int i = 0; i < kAnswers; ++i)
        send("H:RP", i, 372);
    for (int i = 0; i < kOthers; ++i) {
        send("\0\4\0\1", i, 20);
        send("junk", i, 20);
        if (i % 50 == 49) QThread::msleep(5); // the receive thread keeps up with the system's buffer
    }
    // A loaded machine may lose some datagrams before the worker sees them:
    // the checks hold for whatever the worker took in.
    testsupport::waitUntilSettled([&] { return socket.queueDrops() + socket.junkDatagrams(); });
    const int kept = kAnswers + int(MainSocket::kInboxDatagrams);
    ASSERT_TRUE(waitFor([&] { return received.count() == kept; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(received.count(), kept);
    EXPECT_EQ(socket.answerDrops(), 0u);
    EXPECT_GT(socket.queueDrops(), 0u);
    EXPECT_GT(socket.junkDatagrams(), 0u);
    const auto number = [&](int at) { return received[at][0].toByteArray().mid(4).trimmed().toInt(); };
    for (int i = 0; i < kAnswers; ++i)
        ASSERT_TRUE(received[i][0].toByteArray().startsWith("H:RP") && number(i) == i) << i;
    // The oldest went: at least as many arrived before the first kept one as were dropped.
    EXPECT_GE(quint64(number(kAnswers)), socket.queueDrops());
    for (int i = kAnswers + 1; i < received.count(); ++i)
        ASSERT_TRUE(received[i][0].toByteArray().startsWith('\0') && number(i - 1) < number(i)) << i;
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
    peer.answer = [](const QByteArray &) { return QByteArray("\0ok", 3); };
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
