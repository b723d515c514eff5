// The debug-output receiver on loopback, and the ring of recent rows.
#include "common/debug_receiver.h"
#include "common/ring_table_model.h"

#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QUdpSocket>

#include <gtest/gtest.h>

using kyvo::DebugDatagram;
using kyvo::DebugReceiver;

namespace {

struct Listener
{
    explicit Listener(DebugReceiver::Options o = {}) : receiver(withFreePort(std::move(o)))
    {
        QObject::connect(&receiver, &DebugReceiver::datagramsArrived, [this](const QList<DebugDatagram> &b) {
            batches.push_back(int(b.size()));
            got += b;
        });
        receiver.start();
        EXPECT_TRUE(testsupport::waitFor([&] { return receiver.isListening(); }));
    }
    static DebugReceiver::Options withFreePort(DebugReceiver::Options o)
    {
        o.port = 0;
        o.address = QHostAddress(QStringLiteral("127.0.0.1"));
        return o;
    }
    void send(const QByteArray &data)
    {
        sender.writeDatagram(data, QHostAddress(QStringLiteral("127.0.0.1")), receiver.localPort());
    }
    QStringList texts() const
    {
        QStringList out;
        for (const DebugDatagram &d : got)
            out << QString::fromLatin1(d.data);
        return out;
    }

    DebugReceiver receiver;
    QUdpSocket sender;
    QList<DebugDatagram> got;
    std::vector<int> batches;
};

} // namespace

TEST(DebugReceiver, HandsOverDatagramsInOrderWithSenderAndArrivalTime)
{
    DebugReceiver::Options o;
    o.wallClock = [] { return qint64(1709791509007); };
    Listener l(o);
    ASSERT_TRUE(l.sender.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    for (const char *text : {"one", "two", "three"})
        l.send(QByteArray(text));
    ASSERT_TRUE(testsupport::waitFor([&] { return l.got.size() == 3; }));
    EXPECT_EQ(l.texts(),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_EQ(l.got[0].sender, testsupport::loopback(1));
    EXPECT_EQ(l.got[0].senderPort, l.sender.localPort());
    EXPECT_EQ(l.got[2].arrivalMs, 1709791509007);
}

TEST(DebugReceiver, CutsDatagramsToTheLongestItTakes)
{
    DebugReceiver::Options o;
    o.maxDatagram = 512;
    Listener l(o);
    l.send(QByteArray(600, 'x'));
    ASSERT_TRUE(testsupport::waitFor([&] { return l.got.size() == 1; }));
    EXPECT_EQ(l.got[0].data, QByteArray(512, 'x'));
}

TEST(DebugReceiver, HeldDatagramsWaitThenArriveInOrderInBoundedBatches)
{
    DebugReceiver::Options o;
    o.batchLimit = 2;
    Listener l(o);
    l.receiver.setHeld(true);
    for (int i = 0; i < 5; ++i)
        l.send(QByteArray::number(i));
    ASSERT_TRUE(testsupport::waitFor([&] { return l.receiver.receivedCount() == 5; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(l.got.isEmpty());
    l.receiver.setHeld(false);
    ASSERT_TRUE(testsupport::waitFor([&] { return l.got.size() == 5; }));
    EXPECT_EQ(l.texts().join(QLatin1Char(',')), QStringLiteral("0,1,2,3,4"));
    EXPECT_EQ(l.batches, (std::vector<int>{2, 2, 1}));
}

TEST(DebugReceiver, AFullQueueGivesAwayTheOldestAndCountsThem)
{
    DebugReceiver::Options o;
    o.queueCapacity = 2;
    Listener l(o);
    l.receiver.setHeld(true);
    for (int i = 0; i < 5; ++i)
        l.send(QByteArray::number(i));
    ASSERT_TRUE(testsupport::waitFor([&] { return l.receiver.receivedCount() == 5; }));
    l.receiver.setHeld(false);
    ASSERT_TRUE(testsupport::waitFor([&] { return l.got.size() == 2; }));
    EXPECT_EQ(l.texts().join(QLatin1Char(',')), QStringLiteral("3,4"));
    EXPECT_EQ(l.receiver.droppedCount(), 3u);
}

TEST(DebugReceiver, APortHeldByAnotherProgramIsReported)
{
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    DebugReceiver::Options o;
    o.port = other.localPort();
    o.address = QHostAddress(QStringLiteral("127.0.0.1"));
    DebugReceiver receiver(o);
    bool failed = false;
    QObject::connect(&receiver, &DebugReceiver::bindFailed, [&] { failed = true; });
    receiver.start();
    ASSERT_TRUE(testsupport::waitFor([&] { return failed; }));
    EXPECT_FALSE(receiver.isListening());
}

namespace {
struct Sized
{
    int id;
    std::size_t bytes;
};
class SizedModel : public kyvo::RingTableModel<Sized>
{
public:
    SizedModel(std::size_t rows, std::size_t bytes)
        : RingTableModel(rows, bytes, [](const Sized &s) { return s.bytes; })
    {}
    int columnCount(const QModelIndex & = {}) const override { return 1; }
    QVariant data(const QModelIndex &, int) const override { return {}; }
    QString ids() const
    {
        QStringList out;
        for (int i = 0; i < rowCount(); ++i)
            out << QString::number(row(i).id);
        return out.join(QLatin1Char(','));
    }
};
} // namespace

TEST(RingTableModel, KeepsTheMostRecentRowsWithinItsRowAndByteBounds)
{
    struct Case
    {
        std::size_t maxRows, maxBytes;
        std::vector<std::vector<Sized>> batches;
        const char *kept;
        quint64 evicted;
    } cases[] = {
        {3, 1000, {{{1, 1}, {2, 1}}, {{3, 1}, {4, 1}}}, "2,3,4", 1},
        {3, 1000, {{{1, 1}}, {{2, 1}, {3, 1}, {4, 1}, {5, 1}}}, "3,4,5", 2},
        {10, 10, {{{1, 4}, {2, 4}}, {{3, 4}}}, "2,3", 1},
        {10, 10, {{{1, 4}}, {{2, 20}}}, "2", 1}, // one row over the bytes is still shown
    };
    for (const Case &c : cases) {
        SizedModel m(c.maxRows, c.maxBytes);
        for (auto batch : c.batches)
            m.append(std::move(batch));
        EXPECT_EQ(m.ids(), QString::fromLatin1(c.kept));
        EXPECT_EQ(m.evictedCount(), c.evicted);
    }
}

TEST(RingTableModel, GatheredRowsArriveTogetherAfterTheInterval)
{
    SizedModel m(3, 1000);
    m.setGatherInterval(5);
    int insertions = 0;
    QObject::connect(&m, &QAbstractItemModel::rowsInserted, [&] { ++insertions; });
    for (int id = 1; id <= 5; ++id)
        m.appendSoon({{id, 1}});
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.gatheredCount(), 3u); // never more than the list keeps
    ASSERT_TRUE(testsupport::waitFor([&] { return m.rowCount() == 3; }));
    EXPECT_EQ(m.ids(), QStringLiteral("3,4,5"));
    EXPECT_EQ(insertions, 1);
    EXPECT_EQ(m.evictedCount(), 2u);
}
