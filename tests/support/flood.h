// A hostile network for the lab's flood test and benchmark: datagrams that
// are random, truncated, oversized or almost valid for both tools, a sender
// thread that aims them at the ports of running programs, and what /proc
// tells about those programs (their UDP ports, their memory).
#pragma once

#include "vorlet/link/device_message.h"
#include "vorlet/link/link_frame.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <thread>
#include <vector>

namespace flood {

// One hostile datagram; a link frame whose MAC the sender makes new each time it goes.
struct Hostile
{
    QByteArray bytes;
    bool freshMac = false;
};

// The kinds cycle, so every run carries every kind in the same proportion.
class HostileDatagrams
{
public:
    explicit HostileDatagrams(unsigned seed) : m_rng(seed) {}

    Hostile next()
    {
        const std::uint32_t kind = m_kind++ % 10;
        return {make(kind), kind == 3 || kind == 4};
    }

    // Made ahead, so that sending is not slowed by making them.
    std::vector<Hostile> pool(std::size_t count)
    {
        std::vector<Hostile> out;
        out.reserve(count);
        while (out.size() < count)
            out.push_back(next());
        return out;
    }

private:
    QByteArray make(std::uint32_t kind)
    {
        switch (kind) {
        case 0:
            return random(1 + pick(1500));
        case 1:
            return truncated(); // a frame cut short
        case 2:
            return random(4096 + 1 + pick(4000)); // oversized for the serial servers' buffer
        case 3:
            return firstFragmentOfNewMac();
        case 4:
            return badFragment();
        case 5:
            return fakeRecordAnswer();
        case 6:
            return alert4096();
        case 7:
            return QByteArray::fromHex("0004") + random(2); // a stray TFTP acknowledgement
        case 8:
            return serverRecordLookalike();
        default:
            return wrongLength();
        }
    }

    std::uint32_t pick(std::uint32_t n)
    {
        return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(m_rng);
    }
    QByteArray random(std::size_t size)
    {
        QByteArray out(qsizetype(size), Qt::Uninitialized);
        for (char &c : out)
            c = char(pick(256));
        return out;
    }
    static QByteArray bytes(const vorlet::Bytes &b)
    {
        return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
    }
    vorlet::Mac newMac()
    {
        const std::uint32_t n = m_nextMac++;
        return {0x02,           0xF1, std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8),
                std::uint8_t(n)};
    }
    QByteArray frame(std::uint32_t total, std::uint16_t index, std::size_t payload, const vorlet::Mac &mac)
    {
        const QByteArray body = random(payload);
        return bytes(vorlet::buildLinkFrame(
            vorlet::kDeviceStart, vorlet::kDeviceEnd, total, index,
            vorlet::ByteView(reinterpret_cast<const std::uint8_t *>(body.data()), std::size_t(body.size())),
            vorlet::ByteView(mac.data(), mac.size())));
    }
    // A long message announced by a device never heard of again.
    QByteArray firstFragmentOfNewMac() { return frame(2048 + pick(78000), 0, 1024, newMac()); }
    // A fragment index or a count that does not fit its message.
    QByteArray badFragment()
    {
        const vorlet::Mac mac = newMac();
        return pick(2) ? frame(3000, std::uint16_t(200 + pick(60000)), 1024, mac) : frame(10, 0, 1024, mac);
    }
    QByteArray truncated()
    {
        const QByteArray whole = frame(1000, 0, 1000, newMac());
        return whole.left(1 + qsizetype(pick(std::uint32_t(whole.size() - 1))));
    }
    QByteArray wrongLength()
    {
        QByteArray f = frame(600, 0, 600, newMac());
        f[1 + qsizetype(pick(4))] = char(pick(256)); // the length fields lie
        return f;
    }
    // A complete answer to a record query from a MAC nobody asked.
    QByteArray fakeRecordAnswer()
    {
        const QByteArray body = random(100 + pick(800));
        const vorlet::Mac mac = newMac();
        const auto message = vorlet::buildDeviceMessage(
            0, vorlet::command::kQuery | vorlet::command::kAnswer,
            vorlet::ByteView(reinterpret_cast<const std::uint8_t *>(body.data()), std::size_t(body.size())),
            mac);
        QByteArray out;
        for (const auto &f : vorlet::deviceFrames(message, vorlet::ByteView(mac.data(), mac.size())))
            out = bytes(f); // one fragment: the message is shorter than 1024 bytes
        return out;
    }
    QByteArray alert4096()
    {
        QByteArray a = random(4096);
        a.replace(4, 12, QByteArrayView("flood alert\0", 12));
        return a;
    }
    // "H:R" and a record code, a few bytes off one of the record lengths. (A
    // whole record from a new MAC is a device to the tools, as it would be to
    // anyone: a flood of those fills the list, and the test would measure
    // that and not the tools.)
    QByteArray serverRecordLookalike()
    {
        static const int lengths[] = {372, 302, 1294, 684, 2336, 1582, 828, 26};
        const int offBy = int(pick(3)) + 1;
        QByteArray r = random(std::size_t(lengths[pick(8)] + (pick(2) ? offBy : -offBy)));
        r.replace(0, 4, QByteArrayView("H:RP", 4));
        return r;
    }

    std::mt19937 m_rng;
    std::uint32_t m_kind = 0;
    std::uint32_t m_nextMac = 1;
};

// Sends the pool's datagrams over and over to 127.0.0.1 at the given ports
// from a thread of its own, at most perSecond datagrams a second (0: as fast
// as it can) and at most limit in all, until stopped.
class Flooder
{
public:
    Flooder(std::vector<Hostile> pool, std::vector<quint16> ports, unsigned perSecond, std::uint64_t limit)
        : m_pool(std::move(pool)), m_ports(std::move(ports)), m_perSecond(perSecond), m_limit(limit)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~Flooder() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    std::uint64_t sent() const { return m_sent.load(); }

private:
    void run()
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (fd < 0) return;
        std::uint32_t nextMac = 0x80000000u;
        const auto start = std::chrono::steady_clock::now();
        while (!m_stop && m_sent < m_limit && !m_ports.empty() && !m_pool.empty()) {
            if (m_perSecond) {
                const auto due = start + std::chrono::microseconds(m_sent * 1000000 / m_perSecond);
                if (std::chrono::steady_clock::now() < due) {
                    std::this_thread::sleep_until(due);
                    continue;
                }
            }
            Hostile &h = m_pool[m_sent % m_pool.size()];
            if (h.freshMac && h.bytes.size() > 8) { // the MAC's last four bytes, before the end byte
                char *mac = h.bytes.data() + h.bytes.size() - 5;
                for (int i = 0; i < 4; ++i)
                    mac[i] = char(nextMac >> (24 - 8 * i));
                ++nextMac;
            }
            const QByteArray &d = h.bytes;
            for (const quint16 port : m_ports) {
                sockaddr_in to{};
                to.sin_family = AF_INET;
                to.sin_port = htons(port);
                to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                ::sendto(fd, d.constData(), std::size_t(d.size()), 0, reinterpret_cast<sockaddr *>(&to),
                         sizeof to);
            }
            ++m_sent;
        }
        ::close(fd);
    }

    std::vector<Hostile> m_pool;
    std::vector<quint16> m_ports;
    unsigned m_perSecond;
    std::uint64_t m_limit;
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_sent{0};
    std::thread m_thread;
};

// The UDP sockets a process holds: their local ports and the datagrams the
// system dropped because their receive buffers were full.
struct UdpSockets
{
    std::vector<quint16> ports;
    std::uint64_t systemDrops = 0;
};
inline UdpSockets udpSocketsOf(qint64 pid)
{
    std::set<QByteArray> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
        char target[64] = {};
        const ssize_t n =
            ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof target - 1);
        const QByteArray link(target, n > 0 ? qsizetype(n) : 0);
        if (link.startsWith("socket:[") && link.endsWith(']')) inodes.insert(link.mid(8, link.size() - 9));
    }
    UdpSockets sockets;
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly)) return sockets;
    table.readLine(); // the heading
    while (!table.atEnd()) {
        const QList<QByteArray> f = table.readLine().simplified().split(' ');
        if (f.size() < 13 || !inodes.count(f[9])) continue;
        sockets.ports.push_back(quint16(f[1].split(':').value(1).toUInt(nullptr, 16)));
        sockets.systemDrops += f[12].toULongLong();
    }
    return sockets;
}

// A field of /proc/PID/status in KiB ("VmRSS", "VmHWM"), 0 once the process is gone.
inline qint64 statusKb(qint64 pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// One command-line tool's search, watched from outside.
struct ToolRun
{
    QString program;
    int waitMs = 0;
    QProcess process;
    QElapsedTimer sinceSocket; // the search starts with the socket
    std::vector<quint16> ports;
    qint64 searchMs = -1, peakKb = 0;
    std::uint64_t systemDrops = 0;
    QByteArray out, err;

    bool start()
    {
        process.start(program, {QStringLiteral("search"), QStringLiteral("--wait"), QString::number(waitMs)});
        return process.waitForStarted();
    }
    // The MACs ("00-4B-59-4D-01-01") the output lists.
    int listed(const QStringList &macs) const
    {
        const QString text =
            QString::fromLocal8Bit(out).toUpper().replace(QLatin1Char(':'), QLatin1Char('-'));
        int n = 0;
        for (const QString &mac : macs)
            n += text.contains(mac.toUpper()) ? 1 : 0;
        return n;
    }
};

// Waits (at most 10 s in all) for each tool's socket; the ports of all of them.
inline std::vector<quint16> waitForSockets(const std::vector<ToolRun *> &tools)
{
    std::vector<quint16> all;
    QElapsedTimer clock;
    clock.start();
    for (ToolRun *t : tools) {
        while (t->ports.empty() && clock.elapsed() < 10000 && t->process.state() == QProcess::Running)
            if ((t->ports = udpSocketsOf(t->process.processId()).ports).empty()) QThread::msleep(2);
        t->sinceSocket.start();
        all.insert(all.end(), t->ports.begin(), t->ports.end());
    }
    return all;
}

// Follows the tools to their end (killed after limitMs): search time, peak
// memory, the system's drops at their sockets, their output.
inline void watchUntilDone(const std::vector<ToolRun *> &tools, qint64 limitMs)
{
    QElapsedTimer clock;
    clock.start();
    for (bool running = true; running && clock.elapsed() < limitMs;) {
        running = false;
        for (ToolRun *t : tools) {
            if (t->searchMs >= 0) continue;
            const qint64 pid = t->process.processId();
            t->peakKb = std::max(t->peakKb, statusKb(pid, "VmHWM"));
            t->systemDrops = std::max(t->systemDrops, udpSocketsOf(pid).systemDrops);
            t->out += t->process.readAllStandardOutput();
            if (t->process.waitForFinished(5))
                t->searchMs = t->sinceSocket.elapsed();
            else
                running = true;
        }
    }
    for (ToolRun *t : tools) {
        if (t->searchMs < 0) t->process.kill();
        t->process.waitForFinished();
        t->out += t->process.readAllStandardOutput();
        t->err = t->process.readAllStandardError();
    }
}

} // namespace flood
