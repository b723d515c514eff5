// The gateway debug monitor without windows: tags and prefixes, the sender
// table, the log line and file names, the filters and the log file.
#include "vorlet/io/monitor/debug_monitor.h"

#include "tests/support/test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlet;

namespace {

kyvo::ByteView view(const QByteArray &b)
{
    return {reinterpret_cast<const std::uint8_t *>(b.constData()), std::size_t(b.size())};
}

qint64 localMs(int year, int month, int day, int h, int m, int s, int ms)
{
    return QDateTime(QDate(year, month, day), QTime(h, m, s, ms)).toMSecsSinceEpoch();
}

kyvo::DebugDatagram datagram(const QByteArray &data, quint32 sender = 0xC0A80114, qint64 at = 0)
{
    return {data, sender, 1112, at ? at : localMs(2024, 3, 7, 14, 5, 9, 7)};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QByteArray kUartTx("uart tx:\x01\x03\x00\x00\x00\x01", 14);

} // namespace

TEST(MonitorCodec, TheStartOfADatagramChoosesItsFilterAndPrefix)
{
    struct Case
    {
        QByteArray data;
        DebugChannel channel;
        std::size_t prefix;
    } cases[] = {
        {kUartTx, DebugChannel::Uart, 8},
        {"uart rx:ok", DebugChannel::Uart, 8},
        {"uart", DebugChannel::Uart, 0},
        {"tcpA tx:GET /", DebugChannel::TcpA, 8},
        {"tcpB rx:", DebugChannel::TcpB, 8},
        {"mqtt rx:{}", DebugChannel::Other, 8},
        {"mqtt tx:x", DebugChannel::Other, 8},
        {"Modbus cache hit", DebugChannel::ModbusCache, 0},
        {"Modbus poll 01 03", DebugChannel::ModbusPoll, 0},
        {"extio: DI1=1", DebugChannel::Io, 0},
        {"uar", DebugChannel::Other, 0},
        {"UART tx:", DebugChannel::Other, 0},
        {"", DebugChannel::Other, 0},
    };
    for (const Case &c : cases) {
        const DebugTags tags = classifyDebugDatagram(view(c.data));
        EXPECT_EQ(tags.channel, c.channel) << c.data.constData();
        EXPECT_EQ(tags.prefixLength, c.prefix) << c.data.constData();
    }
}

TEST(MonitorCodec, TheLogLineHoldsTimeAddressLengthPrefixTextAndHex)
{
    std::string line;
    appendLogLine(line, "2024-03-07 14:05:09 007", 0xC0A80114, view(kUartTx), 8);
    EXPECT_EQ(line, std::string(
                        " 2024-03-07 14:05:09 007 192.168.1.20 6 uart tx: \x01\x03 01 03 00 00 00 01 \r\n"));
    line.clear();
    appendLogLine(line, "t", 0x0A000001, view("hello"), 0);
    EXPECT_EQ(line, " t 10.0.0.1 5  hello 68 65 6c 6c 6f \r\n");
    EXPECT_EQ(debugTimeText({2024, 3, 7, 9, 5, 3, 7}), "2024-03-07 09:05:03 007");
}

TEST(MonitorCodec, LogFileNamesFollowTheMode)
{
    const LocalStamp t{2024, 3, 7, 14, 5, 0, 0};
    EXPECT_EQ(logFileName(LogMode::OneFile, t), "log.txt");
    EXPECT_EQ(logFileName(LogMode::Hourly, t), "log-2024-03-07 14h.txt");
    EXPECT_EQ(logFileName(LogMode::Daily, t), "log-2024-03-07.txt");
}

TEST(MonitorCodec, SendersKeepTheirSlotAndThe129thCountsUnderTheFirst)
{
    GatewaySlots slots;
    for (std::uint32_t i = 0; i < GatewaySlots::kSlots; ++i)
        EXPECT_EQ(slots.number(0x0A000000 + i), int(i) + 1);
    EXPECT_EQ(slots.number(0x0A000005), 6);
    EXPECT_EQ(slots.number(0x0B000000), 1);
    EXPECT_EQ(slots.count(), GatewaySlots::kSlots);
    EXPECT_EQ(slots.address(0), 0x0A000000u);
}

TEST(DebugMonitor, FiltersDropRowsButEverySenderTakesItsSlot)
{
    DebugMonitor m;
    const QList<kyvo::DebugDatagram> batch{datagram(kUartTx, 1), datagram("mqtt rx:{}", 2),
                                           datagram("extio: DI1", 3), datagram("tcpA rx:x", 2)};
    m.filter.stopped = true;
    EXPECT_TRUE(m.accept(batch).empty());
    EXPECT_EQ(m.gateways().count(), 3u);

    m.filter.stopped = false;
    auto rows = m.accept(batch); // "io" starts unchecked
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].number, 1u);
    EXPECT_EQ(rows[2].number, 3u);
    EXPECT_EQ(rows[0].prefixLength, 8);

    m.filter.channels[std::size_t(DebugChannel::Other)] = false;
    m.filter.gateway = 2;
    rows = m.accept(batch);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].datagram, QByteArray("tcpA rx:x"));
    EXPECT_EQ(rows[0].number, 4u);
    m.clearRows();
    EXPECT_EQ(m.accept(batch).front().number, 1u);
}

TEST(DebugLog, RowsGoToTheHourlyFileWhichStaysOpenUntilTheHourChanges)
{
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("log-2024-03-07 14h.txt")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("kept\r\n");
    old.close();

    DebugMonitor m;
    m.log().setSettings({true, dir.path(), LogMode::Hourly});
    std::vector<std::string> printed;
    m.setLineSink([&](const std::string &l) { printed.push_back(l); });
    m.accept({datagram(kUartTx), datagram("b", 0xC0A80115, localMs(2024, 3, 7, 14, 59, 59, 999))});
    EXPECT_TRUE(m.log().isOpen());
    m.accept({datagram("c", 0xC0A80115, localMs(2024, 3, 7, 14, 59, 59, 999))});
    const QString first = dir.filePath(QStringLiteral("log-2024-03-07 14h.txt"));
    EXPECT_EQ(m.log().openPath(), first);
    m.accept({datagram("d", 0xC0A80115, localMs(2024, 3, 7, 15, 0, 0, 0))});
    EXPECT_EQ(m.log().openPath(), dir.filePath(QStringLiteral("log-2024-03-07 15h.txt")));

    EXPECT_EQ(readAll(first), QByteArray("kept\r\n") + QByteArray::fromStdString(printed[0]) +
                                  " 2024-03-07 14:59:59 999 192.168.1.21 1  b 62 \r\n"
                                  " 2024-03-07 14:59:59 999 192.168.1.21 1  c 63 \r\n");
    EXPECT_EQ(m.log().linesWritten(), 4u);
    m.log().setSettings({false, dir.path(), LogMode::Hourly});
    EXPECT_FALSE(m.log().isOpen());
}

TEST(DebugLog, AFileThatCannotBeWrittenIsRememberedUntilAWriteSucceeds)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("later"));
    DebugMonitor m;
    m.log().setSettings({true, folder, LogMode::OneFile});
    EXPECT_EQ(m.accept({datagram("a"), datagram("b")}).size(), 2u); // the rows are still shown
    EXPECT_EQ(m.log().failedPath(), QDir(folder).filePath(QStringLiteral("log.txt")));
    EXPECT_EQ(m.log().linesLost(), 2u);
    ASSERT_TRUE(QDir().mkpath(folder));
    m.accept({datagram("c")});
    EXPECT_TRUE(m.log().failedPath().isEmpty());
    EXPECT_EQ(m.log().linesWritten(), 1u);
}

TEST(DebugLog, AShortFolderPathOrLoggingOffWritesNothing)
{
    DebugMonitor m;
    m.log().setSettings({true, QStringLiteral("ab"), LogMode::OneFile});
    EXPECT_FALSE(m.log().active());
    m.accept({datagram("a")});
    EXPECT_EQ(m.log().linesWritten() + m.log().linesLost(), 0u);
}
