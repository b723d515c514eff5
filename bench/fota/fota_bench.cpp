// Time to upgrade a 4 MiB gateway image through the upgrade dialog, against
// a simulated gateway with immediate answers. Runs inside the lab.
#include "vorlet/maintenance/fota_dialog.h"

#include "common/netns.h"
#include "devsim/core/control.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "bench/lab_bench.h"

#include <cstdio>

using namespace vorlet;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    devsim::ControlClient control;
    const auto lab = bench::openLabBench("bench_fota", "bench/fota/run.sh", control);
    if (!lab) return kyvo::inPrivateNetworkNamespace() ? 1 : 77;
    const int runs = lab->runs;
    const auto mac = devsim::parseMac(lab->mac);

    constexpr std::uint32_t kSize = 4 * 1024 * 1024;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gw4m.bin"));
    QByteArray file(20, '\0');
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(file.data()) + 16, kSize);
    file += QByteArray(kSize, 'f');
    file += QByteArray("\0\0\x10\0", 4) + QByteArray(4096, 'w');
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(file);
    out.close();

    Language language;
    SearchSettings settings;
    Mac m{};
    std::copy(mac->begin(), mac->end(), m.begin());
    for (int run = 1; run <= runs; ++run) {
        FotaDialog dialog({lab->address, kDevicePort, m, "V10112", {}}, language, settings,
                          {[&](QWidget *, const QString &) { return path; }, [](QWidget *, const QString &) {}});
        dialog.chooseFile();
        QElapsedTimer timer;
        timer.start();
        dialog.startUpgrade();
        auto *status = static_cast<QLabel *>(findControl(&dialog, 1052));
        while (status->text() != QStringLiteral("升级成功") && timer.elapsed() < 300000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double seconds = double(timer.elapsed()) / 1000;
        const bool ok = status->text() == QStringLiteral("升级成功");
        std::printf("run %d: 4 MiB image %s in %.2f s (the 800 ms pause before the size announcement included), "
                    "%.0f KiB/s\n",
                    run, ok ? "upgraded" : "NOT upgraded", seconds, 4096 / seconds);
        std::fflush(stdout);
        if (!ok) return 1;
    }
    return 0;
}
