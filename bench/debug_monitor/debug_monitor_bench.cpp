// The gateway debug monitor under a flood: a sender thread sends tagged
// datagrams to the window on loopback at a fixed rate with logging on; the
// benchmark prints what the socket delivered, the rows shown and logged,
// the longest pause of the window's event loop, and the memory over time.
#include "vorlet/io/monitor/dbg_window.h"

#include "common/settings_paths.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

using namespace vorlet;

namespace {

struct Args
{
    int rate = 50000; // datagrams per second
    int seconds = 10;
};

Args parseArgs()
{
    Args a;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--rate")) a.rate = args[i + 1].toInt();
        if (args[i] == QLatin1String("--seconds")) a.seconds = args[i + 1].toInt();
    }
    return a;
}

// kB of a /proc/self/status field (VmRSS, VmHWM).
long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The first figure of /proc/loadavg: the machine's load while the benchmark ran.
QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0) : QByteArray("?");
}

// Tagged lines like a busy gateway's, 40 to 70 bytes.
std::vector<std::string> sampleLines()
{
    return {std::string("uart tx:\x01\x03\x00\x00\x00\x02\xc4\x0b", 16),
            "uart rx:temperature=25.3;humidity=42.0;seq",
            "tcpA tx:GET /api/v1/values?port=1 HTTP/1.1",
            "tcpB rx:heartbeat 00-4B-59-4D-01-01",
            "mqtt tx:{\"temp\":25.3,\"hum\":42.0,\"seq\":1234}",
            "Modbus poll slave 1 fc 3 addr 0 n 2 ok",
            "Modbus cache hit 01 03 00 00 00 02"};
}

// Sends `rate` datagrams a second for `seconds` to 127.0.0.1:port, in
// bursts every millisecond; returns how many were handed to the system.
quint64 flood(quint16 port, const Args &a, std::atomic<bool> &started)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto lines = sampleLines();
    quint64 sent = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(a.seconds);
    started = true;
    for (auto tick = start; tick < end; tick += std::chrono::milliseconds(1)) {
        const double elapsed =
            std::chrono::duration<double>(tick + std::chrono::milliseconds(1) - start).count();
        const auto due = quint64(elapsed * a.rate);
        for (; sent < due; ++sent) {
            const std::string &l = lines[sent % lines.size()];
            if (::sendto(fd, l.data(), l.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to) < 0) break;
        }
        std::this_thread::sleep_until(tick + std::chrono::milliseconds(1));
    }
    ::close(fd);
    return sent;
}

// Times each event the window's thread handles, outermost level only (the
// receiver's worker thread passes through notify() too and is not timed).
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread()) return QApplication::notify(receiver, event);
        if (m_depth++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        QElapsedTimer t;
        t.start();
        const qint64 cpuBefore = threadCpuNs();
        const int type = int(event->type());
        const char *name = receiver->metaObject()->className();
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        const qint64 ns = t.nsecsElapsed();
        const qint64 cpu = threadCpuNs() - cpuBefore;
        if (ns > longestNs) {
            longestNs = ns;
            longestType = type;
            longestReceiver = name;
        }
        if (cpu > longestCpuNs) {
            longestCpuNs = cpu;
            longestCpuType = type;
        }
        return handled;
    }
    // The window thread's own processor time: on a machine shared with other
    // work the wall time of an event also holds the time it waited for a core.
    static qint64 threadCpuNs()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    qint64 longestCpuNs = 0;
    int longestCpuType = 0;
    qint64 longestNs = 0;
    int longestType = 0;
    const char *longestReceiver = "";

private:
    int m_depth = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);
    QTemporaryDir settings, logs;
    kyvo::setSettingsRootForTesting(settings.path());
    const Args a = parseArgs();

    dbg::Options options;
    options.port = 0; // a free port on every address; only loopback sends to it
    options.chooseFolder = [&](QWidget *, const QString &) { return logs.path(); };
    dbg window(Language(), options);
    window.resize(1200, 660);
    window.show();
    QElapsedTimer wait;
    wait.start();
    while (!window.isListening() && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!window.isListening()) {
        std::fprintf(stderr, "bench_debug_monitor: the monitor's socket did not open\n");
        return 1;
    }
    window.controls().logFile->click();
    window.controls().log->setChecked(true);
    // Shown and painted once (fonts loaded) before the run.
    wait.restart();
    while (wait.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);

    // The window's event loop: the longest gap between ticks of a 1 ms timer.
    QElapsedTimer clock;
    qint64 lastTickNs = 0, longestGapNs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTickNs) longestGapNs = std::max(longestGapNs, now - lastTickNs);
        lastTickNs = now;
    });
    std::vector<std::pair<double, long>> memory; // seconds, VmRSS kB
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        memory.push_back({double(clock.elapsed()) / 1000.0, statusKb("VmRSS:")});
    });

    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    quint64 sent = 0;
    const long rssBefore = statusKb("VmRSS:");
    app.longestNs = 0;
    app.longestCpuNs = 0;
    const qint64 cpuStart = TimingApplication::threadCpuNs();
    clock.start();
    probe.start(1);
    sampler.start(1000);
    std::thread sender([&] {
        sent = flood(window.localPort(), a, started);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // the probe wakes it every ms
    sender.join();
    const qint64 sendEndMs = clock.elapsed();
    qint64 caughtUpMs = sendEndMs;
    // What the socket still holds reaches the window.
    quint64 seen = 0;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const quint64 now = window.receiver().receivedCount();
        if (now != seen || window.monitor().rowsShown() != now) {
            quiet.restart();
            caughtUpMs = clock.elapsed();
        }
        seen = now;
    }
    probe.stop();
    sampler.stop();

    const quint64 received = window.receiver().receivedCount();
    const quint64 shown = window.monitor().rowsShown();
    const quint64 logged = window.monitor().log().linesWritten();
    qint64 fileLines = 0;
    for (const QString &name : QDir(logs.path()).entryList(QDir::Files)) {
        QFile f(QDir(logs.path()).filePath(name));
        if (f.open(QIODevice::ReadOnly))
            while (!f.atEnd())
                fileLines += f.readLine().endsWith("\r\n") ? 1 : 0;
    }
    std::printf("debug monitor, %d datagrams/s for %d s, logging on, list of %zu rows:\n", a.rate, a.seconds,
                options.maxRows);
    std::printf("  sent %llu, delivered by the socket %llu (%.2f %%), queue drops %llu\n",
                (unsigned long long)sent, (unsigned long long)received,
                sent ? 100.0 * double(received) / double(sent) : 0.0,
                (unsigned long long)window.receiver().droppedCount());
    std::printf("  rows shown %llu, rows logged %llu, lines in the log files %lld, lines not logged %llu, "
                "rows in the list %d\n",
                (unsigned long long)shown, (unsigned long long)logged, (long long)fileLines,
                (unsigned long long)window.monitor().log().linesLost(), window.rowCount());
    std::printf(
        "  the window had shown every delivered datagram %.1f s after the sender ended; load average %s\n",
        double(caughtUpMs - sendEndMs) / 1000.0, loadAverage().constData());
    std::printf("  longest pause of the window's event loop %.1f ms; longest single event %.1f ms (type %d, "
                "to a %s)\n",
                double(longestGapNs) / 1e6, double(app.longestNs) / 1e6, app.longestType,
                app.longestReceiver);
    std::printf(
        "  the window thread's processor time: %.1f s in all, longest single event %.1f ms (type %d)\n",
        double(TimingApplication::threadCpuNs() - cpuStart) / 1e9, double(app.longestCpuNs) / 1e6,
        app.longestCpuType);
    std::printf("  memory (VmRSS): before %ld kB", rssBefore);
    for (const auto &[s, kb] : memory)
        std::printf(", %.0f s %ld kB", s, kb);
    std::printf("; peak (VmHWM) %ld kB\n", statusKb("VmHWM:"));
    const bool allLogged = logged == received && qint64(logged) == fileLines;
    std::printf("  every delivered datagram logged: %s\n", allLogged ? "yes" : "NO");
    return allLogged ? 0 : 1;
}
