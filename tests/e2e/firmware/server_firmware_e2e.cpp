// Serial-server firmware upgrades inside the lab: TFTP on the main socket,
// the real probe of the target, and lost acknowledgements.
#include "pelmar/core/server_core.h"
#include "pelmar/files/firmware_upgrade_dialog.h"
#include "pelmar/lang/language_table.h"

#include "tests/support/lab.h"
#include "tests/support/test_support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstring>

using namespace pelmar;
using testsupport::labDevsim;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

using LabServer = testsupport::LabDevice;

LabServer server(int i)
{
    const auto all = testsupport::labDevices();
    return std::size_t(i) < all.size() ? all[std::size_t(i)] : LabServer{};
}

// Upgrades one server through the dialog; false when "Upgrade success" did not come.
bool upgrade(const LabServer &s, const QByteArray &file, int limitMs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("server.bin"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(file);
    f.close();
    LanguageTable language;
    ServerCore core;
    QSignalSpy opened(&core, &ServerCore::socketOpened);
    if (!waitFor([&] { return opened.count() >= 1; })) return false;
    FirmwareUpgrade upgrade(core, language);
    QStringList messages;
    FirmwareUpgradeDialog dialog(
        upgrade, language, s.address,
        {[&](QWidget *, const QString &, std::function<void(const QString &)> chosen) { chosen(path); },
         [&](QWidget *, const QString &t, const QString &) { messages << t; }});
    dialog.browse();
    dialog.start();
    const bool done =
        waitFor([&] { return dialog.statusLine()->text() == QStringLiteral("Upgrade success"); }, limitMs);
    EXPECT_TRUE(done) << dialog.statusLine()->text().toStdString() << " "
                      << messages.join(QLatin1Char(';')).toStdString();
    return done;
}

QByteArray image(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((unsigned(i) * 2654435761u) >> 24);
    return b;
}

} // namespace

TEST(ServerFirmware, AOneMebibyteImageArrivesByteForByte)
{
    LAB_ONLY();
    const LabServer s = server(0);
    const QByteArray file = image(1024 * 1024);
    ASSERT_TRUE(upgrade(s, file, 120000));
    EXPECT_EQ(labGet(s.mac, QStringLiteral("firmware-md5")),
              QCryptographicHash::hash(file, QCryptographicHash::Md5));
    EXPECT_EQ(labGet(s.mac, QStringLiteral("firmware-tsize")), QByteArray::number(1024 * 1024));
}

TEST(ServerFirmware, ADualImageFileSendsTheImageTheServerDoesNotRun)
{
    LAB_ONLY();
    const LabServer s = server(1);
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 tftp-slot 1").arg(s.mac)));
    QByteArray file(0x81004 + 5000, '\0');
    std::memcpy(file.data(), "ESP8266", 7);
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(file.data()) + 0x1000, 3000);
    file.replace(0x1004, 3000, image(3000));
    const QByteArray b = image(5000).toUpper();
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(file.data()) + 0x81000, 5000);
    file.replace(0x81004, 5000, b);
    ASSERT_TRUE(upgrade(s, file, 60000));
    EXPECT_EQ(labGet(s.mac, QStringLiteral("firmware-md5")),
              QCryptographicHash::hash(b, QCryptographicHash::Md5));
}

TEST(ServerFirmware, CompletesWithEveryFifthAcknowledgementLost)
{
    LAB_ONLY();
    const LabServer s = server(2);
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 drop-every 5").arg(s.mac)));
    const QByteArray file = image(20000);
    ASSERT_TRUE(upgrade(s, file, 120000));
    EXPECT_EQ(labGet(s.mac, QStringLiteral("firmware-md5")),
              QCryptographicHash::hash(file, QCryptographicHash::Md5));
    EXPECT_GT(testsupport::labCounter(s.mac, QStringLiteral("dropped")), 3);
}
