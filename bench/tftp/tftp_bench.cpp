// Our TFTP firmware transfer against the tftp-hpa client: the same 4 MiB
// file to the same simulated server, timed from the write request to the
// last block. Runs inside the lab.
#include "pelmar/core/server_core.h"
#include "pelmar/files/firmware_upgrade_dialog.h"
#include "pelmar/lang/language_table.h"

#include "common/netns.h"
#include "devsim/core/control.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include "bench/lab_bench.h"

#include <cstdio>

using namespace pelmar;

namespace {

void spin(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

// Seconds from the write request to "Upgrade success"; negative on failure.
double ours(const QString &target, const QString &path)
{
    LanguageTable language;
    ServerCore core;
    bool opened = false;
    QObject::connect(&core, &ServerCore::socketOpened, [&] { opened = true; });
    spin([&] { return opened; }, 5000);
    FirmwareUpgrade upgrade(core, language);
    FirmwareUpgradeDialog dialog(
        upgrade, language, target,
        {[&](QWidget *, const QString &, std::function<void(const QString &)> chosen) { chosen(path); },
         [](QWidget *, const QString &, const QString &) {}});
    dialog.browse();
    dialog.start();
    // The clock starts once the write request is out (after the 2 s pause); one
    // turn of the event loop may already have carried the first blocks.
    using State = FirmwareTransfer::State;
    spin(
        [&] {
            const State s = upgrade.transfer().state();
            return s == State::RequestSent || s == State::Transferring || s == State::Halted;
        },
        10000);
    QElapsedTimer t;
    t.start();
    spin([&] { return dialog.statusLine()->text() == QStringLiteral("Upgrade success"); }, 300000);
    return dialog.statusLine()->text() == QStringLiteral("Upgrade success") ? double(t.nsecsElapsed()) / 1e9
                                                                            : -1;
}

double tftpHpa(const QString &target, const QString &path)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("tftp"),
            {QStringLiteral("-m"), QStringLiteral("binary"), target, QStringLiteral("-c"),
             QStringLiteral("put"), path, QStringLiteral("server.bin")});
    if (!p.waitForFinished(300000) || p.exitCode() != 0) return -1;
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    devsim::ControlClient control;
    const auto lab = bench::openLabBench("bench_tftp", "bench/tftp/run.sh", control);
    if (!lab) return kyvo::inPrivateNetworkNamespace() ? 1 : 77;
    const int runs = lab->runs;
    const QString target = lab->address, mac = lab->mac;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("server4m.bin"));
    QByteArray file(4 * 1024 * 1024, '\0');
    for (int i = 0; i < file.size(); ++i)
        file[i] = char(i * 13);
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(file);
    out.close();

    double bestOurs = 1e9, bestTheirs = 1e9;
    for (int run = 1; run <= runs; ++run) {
        const double a = ours(target, path);
        const auto ourSize = control.command(QStringLiteral("get %1 firmware-size").arg(mac));
        const double b = tftpHpa(target, path);
        const auto theirSize = control.command(QStringLiteral("get %1 firmware-size").arg(mac));
        std::printf(
            "run %d: ours %.3f s (%s bytes received), tftp-hpa %.3f s (%s bytes received), ratio "
            "ours/tftp-hpa %.2f\n",
            run, a,
            ourSize ? qPrintable(QString::fromLatin1(QByteArray::fromHex(ourSize->value(0).toLatin1())))
                    : "?",
            b,
            theirSize ? qPrintable(QString::fromLatin1(QByteArray::fromHex(theirSize->value(0).toLatin1())))
                      : "?",
            b > 0 ? a / b : 0.0);
        std::fflush(stdout);
        if (a < 0 || b < 0) return 1;
        bestOurs = std::min(bestOurs, a);
        bestTheirs = std::min(bestTheirs, b);
    }
    std::printf("best of %d: ours %.3f s, tftp-hpa %.3f s, ratio %.2f (4 MiB, 512-byte blocks, lock-step)\n",
                runs, bestOurs, bestTheirs, bestOurs / bestTheirs);
    return 0;
}
