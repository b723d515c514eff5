// Gateway firmware upgrades inside the lab, through the upgrade dialog.
#include "vorlet/maintenance/fota_dialog.h"

#include "devsim/core/sim_device.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_settings.h"
#include "tests/support/lab.h"
#include "tests/support/test_support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

using namespace vorlet;
using testsupport::labDevsim;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

using LabGateway = testsupport::LabDevice;

LabGateway gateway(int i)
{
    const auto all = testsupport::labDevices();
    return std::size_t(i) < all.size() ? all[std::size_t(i)] : LabGateway{};
}

QByteArray imageFile(std::uint32_t firmware, std::uint32_t web)
{
    QByteArray f(20, '\0');
    f[15] = 2;
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(f.data()) + 16, firmware);
    QByteArray fw(int(firmware), '\0');
    for (std::uint32_t i = 0; i < firmware; ++i) fw[int(i)] = char((i * 2654435761u) >> 24);
    f += fw;
    QByteArray w(4, '\0');
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(w.data()), web);
    f += w + QByteArray(int(web), 'w');
    return f;
}

// Runs one upgrade through the dialog; returns the firmware part of the file.
QByteArray upgrade(const LabGateway &g, std::uint32_t size, int limitMs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gw.bin"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    const QByteArray bytes = imageFile(size, 1500);
    file.write(bytes);
    file.close();
    Language language;
    SearchSettings settings;
    const auto mac = devsim::parseMac(g.mac);
    Mac m{};
    std::copy(mac->begin(), mac->end(), m.begin());
    FotaDialog dialog({g.address, kDevicePort, m, "V10112", {}}, language, settings,
                      {[&](QWidget *, const QString &) { return path; }, [](QWidget *, const QString &) {}});
    dialog.chooseFile();
    dialog.startUpgrade();
    const auto status = [&] { return static_cast<QLabel *>(findControl(&dialog, 1052))->text(); };
    EXPECT_TRUE(waitFor([&] { return status() == QStringLiteral("升级成功"); }, limitMs)) << status().toStdString();
    return bytes.mid(20, int(size));
}

QByteArray md5(QByteArray firmware)
{
    firmware.append(QByteArray(1024, '\0')); // the kilobyte the upgrade adds
    return QCryptographicHash::hash(firmware, QCryptographicHash::Md5);
}

} // namespace

TEST(GatewayFirmware, ATwoMebibyteImageArrivesByteForByte)
{
    LAB_ONLY();
    const LabGateway g = gateway(0);
    const QByteArray firmware = upgrade(g, 2 * 1024 * 1024, 120000);
    EXPECT_EQ(labGet(g.mac, QStringLiteral("firmware-md5")), md5(firmware));
    EXPECT_EQ(testsupport::labCounter(g.mac, QStringLiteral("upgrades")), 1);
}

TEST(GatewayFirmware, CompletesWithEveryFifthAnswerLost)
{
    LAB_ONLY();
    const LabGateway g = gateway(1);
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 drop-every 5").arg(g.mac)));
    const QByteArray firmware = upgrade(g, 24 * 1024, 120000);
    EXPECT_EQ(labGet(g.mac, QStringLiteral("firmware-md5")), md5(firmware));
    EXPECT_GT(testsupport::labCounter(g.mac, QStringLiteral("dropped")), 3);
}
