// Firmware upgrades of many devices through the command-line tools: 50
// simulated serial servers and 50 gateways each take a 1 MiB image, first one
// device alone, then all one by one and in batches of 8 and of 50 at a time.
// Each figure is the whole command (search included), so the search alone is
// timed too and the ratios are given with and without it. Runs inside the lab.
#include "common/bytes.h"
#include "common/netns.h"
#include "devsim/core/control.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "bench/lab_bench.h"

#include <cstdio>

namespace {

constexpr int kImageBytes = 1024 * 1024;
constexpr double kTarget = 3.0; // a batch of 50 at 50 at a time, against one single upgrade

struct Tool
{
    const char *program;
    const char *devices; // what devsim's list calls them (a prefix of the kind)
    QString image;
    QStringList macs;
};

// A serial server takes any image; a gateway's names its length in a header
// and ends with a block of its own, as the upgrade dialog's files do.
QByteArray serverImage()
{
    QByteArray image(kImageBytes, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 13);
    return image;
}

QByteArray gatewayImage()
{
    QByteArray image(20, '\0');
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(image.data()) + 16, kImageBytes);
    image += QByteArray(kImageBytes, 'f');
    image += QByteArray("\0\0\x10\0", 4) + QByteArray(4096, 'w');
    return image;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Seconds the command took, negative when it failed (its output then shown).
double timed(const Tool &tool, const QStringList &args, QString *lastLine = nullptr)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QString::fromUtf8(tool.program), args);
    const bool finished = process.waitForFinished(3600 * 1000);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const QString err = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (lastLine) *lastLine = (err.isEmpty() ? out : err).section(QLatin1Char('\n'), -1);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return seconds;
    std::fprintf(stderr, "%s %s failed after %.1f s:\n%s\n%s\n", tool.program,
                 qPrintable(args.join(QLatin1Char(' '))), seconds, qPrintable(out.right(2000)),
                 qPrintable(err.right(2000)));
    return -1;
}

double batch(const Tool &tool, int parallel)
{
    QString summary;
    const double seconds =
        timed(tool,
              {QStringLiteral("upgrade"), QStringLiteral("--all"), QStringLiteral("--parallel"),
               QString::number(parallel), QStringLiteral("--file"), tool.image},
              &summary);
    std::printf("  %d at a time: %.2f s (%s)\n", parallel, seconds, qPrintable(summary));
    std::fflush(stdout);
    return seconds;
}

// False when a command failed.
bool measure(const Tool &tool)
{
    const QString name = QString::fromUtf8(tool.program).section(QLatin1Char('/'), -1);
    std::printf("%s: %lld %s, %d KiB image\n", qPrintable(name), qlonglong(tool.macs.size()), tool.devices,
                kImageBytes / 1024);
    const double search = timed(tool, {QStringLiteral("search")});
    const double single = timed(tool, {QStringLiteral("upgrade"), QStringLiteral("--mac"), tool.macs.value(0),
                                       QStringLiteral("--file"), tool.image});
    std::printf("  search alone: %.2f s; one single upgrade: %.2f s\n", search, single);
    if (search < 0 || single < 0) return false;
    bool ok = true;
    double fifty = -1;
    for (const int parallel : {1, 8, 50}) {
        const double seconds = batch(tool, parallel);
        ok = ok && seconds > 0;
        if (seconds > 0)
            std::printf("    ratio to one single upgrade %.2f; without the search %.2f\n", seconds / single,
                        (seconds - search) / (single - search));
        if (parallel == 50) fifty = seconds;
    }
    if (fifty > 0)
        std::printf("  target (50 at a time <= %.0fx one single upgrade): %s\n", kTarget,
                    fifty <= kTarget * single ? "met" : "MISSED");
    std::fflush(stdout);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    devsim::ControlClient control;
    const auto lab = bench::openLabBench("bench_batch_upgrade", "bench/batch_upgrade/run.sh", control);
    if (!lab) return kyvo::inPrivateNetworkNamespace() ? 1 : 77;
    QTemporaryDir dir;
    Tool tools[] = {{PELMAR_CLI_BIN, "serial servers", dir.filePath(QStringLiteral("server.bin")), {}},
                    {VORLET_CLI_BIN, "gateways", dir.filePath(QStringLiteral("gateway.bin")), {}}};
    if (!write(tools[0].image, serverImage()) || !write(tools[1].image, gatewayImage())) return 1;
    for (const QString &line : control.command(QStringLiteral("list")).value_or(QStringList())) {
        const QStringList device = line.split(QLatin1Char(' ')); // kind address MAC
        tools[device.value(0).startsWith(QLatin1String("gateway")) ? 1 : 0].macs << device.value(2);
    }
    bool ok = true;
    for (const Tool &tool : tools)
        ok = measure(tool) && ok;
    return ok ? 0 : 1;
}
