// A hostile network for the lab's flood test and benchmark: datagrams that
// are random, truncated, oversized or almost valid for both tools, a sender
// thread that aims them at the ports of running programs, and what /proc
// tells about those programs (their UDP ports, their memory).
#pragma once

#include "vorlet/link/device_message.h"
#include "vorlet/link/link_frame.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

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

// The kinds cycle, so every run carries every kind in the same proportion.
class HostileDatagrams
{
public:
    explicit HostileDatagrams(unsigned seed) : m_rng(seed) {}

    QByteArray next()
    {
        switch (m_kind++ % 10) {
        case 0: return random(1 + pick(1500));
        case 1: return truncated(); // a frame cut short
        case 2: return random(4096 + 1 + pick(4000)); // oversized for the serial servers' buffer
        case 3: return firstFragmentOfNewMac();
        case 4: return badFragment();
        case 5: return fakeRecordAnswer();
        case 6: return alert4096();
        case 7: return QByteArray::fromHex("0004") + random(2); // a stray TFTP acknowledgement
        case 8: return serverRecordLookalike();
        default: return wrongLength();
        }
    }

private:
    std::uint32_t pick(std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(m_rng); }
    QByteArray random(std::size_t size)
    {
        QByteArray out(qsizetype(size), Qt::Uninitialized);
        for (char &c : out) c = char(pick(256));
        return out;
    }
    static QByteArray bytes(const vorlet::Bytes &b)
    {
        return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
    }
    vorlet::Mac newMac()
    {
        const std::uint32_t n = m_nextMac++;
        return {0x02, 0xF1, std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)};
    }
    QByteArray frame(std::uint32_t total, std::uint16_t index, std::size_t payload, const vorlet::Mac &mac)
    {
        const QByteArray body = random(payload);
        return bytes(vorlet::buildLinkFrame(vorlet::kDeviceStart, vorlet::kDeviceEnd, total, index,
                                            vorlet::ByteView(reinterpret_cast<const std::uint8_t *>(body.data()),
                                                             std::size_t(body.size())),
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
        const auto message =
            vorlet::buildDeviceMessage(0, vorlet::command::kQuery | vorlet::command::kAnswer,
                                       vorlet::ByteView(reinterpret_cast<const std::uint8_t *>(body.data()),
                                                        std::size_t(body.size())),
                                       mac);
        QByteArray out;
        for (const auto &f : vorlet::deviceFrames(message, vorlet::ByteView(mac.data(), mac.size())))
            out = bytes(f); // one fragment: the message is shorter than 1024 bytes
        return out;
    }
    QByteArray alert4096()
    {
        QByteArray a = random(4096);
        a.replace(4, 12, "flood alert\0", 12);
        return a;
    }
    // "H:R" and a record code at one of the record lengths, with a MAC tail of its own.
    QByteArray serverRecordLookalike()
    {
        static const int lengths[] = {372, 302, 1294, 684, 2336, 26};
        QByteArray r = random(std::size_t(lengths[pick(6)]));
        r.replace(0, 4, "H:RP", 4);
        return r;
    }

    std::mt19937 m_rng;
    std::uint32_t m_kind = 0;
    std::uint32_t m_nextMac = 1;
};

// Sends hostile datagrams to 127.0.0.1 at the given ports from a thread of
// its own, at most perSecond datagrams a second (0: as fast as it can) and at
// most limit in all, until stopped.
class Flooder
{
public:
    Flooder(std::vector<quint16> ports, unsigned perSecond, std::uint64_t limit, unsigned seed = 7)
        : m_ports(std::move(ports)), m_perSecond(perSecond), m_limit(limit), m_seed(seed)
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
        HostileDatagrams source(m_seed);
        const auto start = std::chrono::steady_clock::now();
        while (!m_stop && m_sent < m_limit && !m_ports.empty()) {
            if (m_perSecond) {
                const auto due = start + std::chrono::microseconds(m_sent * 1000000 / m_perSecond);
                if (std::chrono::steady_clock::now() < due) {
                    std::this_thread::sleep_until(due);
                    continue;
                }
            }
            const QByteArray d = source.next();
            for (const quint16 port : m_ports) {
                sockaddr_in to{};
                to.sin_family = AF_INET;
                to.sin_port = htons(port);
                to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                ::sendto(fd, d.constData(), std::size_t(d.size()), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
            }
            ++m_sent;
        }
        ::close(fd);
    }

    std::vector<quint16> m_ports;
    unsigned m_perSecond;
    std::uint64_t m_limit;
    unsigned m_seed;
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_sent{0};
    std::thread m_thread;
};

// The local ports of the UDP sockets a process holds.
inline std::vector<quint16> udpPortsOf(qint64 pid)
{
    std::set<QByteArray> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.startsWith(QLatin1String("socket:[")))
            inodes.insert(target.mid(8, target.size() - 9).toLatin1());
    }
    std::vector<quint16> ports;
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly)) return ports;
    table.readLine(); // the heading
    while (!table.atEnd()) {
        const QList<QByteArray> f = table.readLine().simplified().split(' ');
        if (f.size() > 9 && inodes.count(f[9])) ports.push_back(quint16(f[1].split(':').value(1).toUInt(nullptr, 16)));
    }
    return ports;
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

} // namespace flood
