// The upgrade dialog against a simulated gateway on loopback.
#include "vorlet/maintenance/fota_dialog.h"
#include "vorlet/maintenance/fota_runner.h"

#include "devsim/core/sim_host.h"
#include "devsim/gateway/gateway_sim.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_settings.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace vorlet;
using testsupport::waitFor;

namespace {

QByteArray firmwareFile(std::uint32_t firmware, std::uint32_t web)
{
    QByteArray f(20, '\0');
    f[15] = 7;
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(f.data()) + 16, firmware);
    for (std::uint32_t i = 0; i < firmware; ++i) f.append(char(i * 7 + 3));
    QByteArray w(4, '\0');
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(w.data()), web);
    f.append(w);
    for (std::uint32_t i = 0; i < web; ++i) f.append(char(i * 5 + 1));
    return f;
}

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

struct Fixture {
    quint16 port = testsupport::freeUdpPort();
    devsim::SimHost sim{[this] {
        devsim::SimNetwork::Options o;
        o.portMap[1111] = port;
        o.rateBitsPerSecond = 0;
        o.hubAddress = QHostAddress(QStringLiteral("127.0.0.250"));
        return o;
    }()};
    Language language;
    SearchSettings settings;
    QStringList messages;
    QString chosen;
    std::unique_ptr<FotaDialog> dialog;

    Fixture()
    {
        devsim::GatewayProfile p;
        p.address = testsupport::loopback(21);
        p.mac = devsim::Mac{0, 0x4B, 0x59, 0x7F, 0, 21};
        sim.add(std::make_unique<devsim::GatewaySim>(p));
        EXPECT_TRUE(sim.start());
        FotaTarget target{QStringLiteral("127.0.0.21"), port, Mac{0, 0x4B, 0x59, 0x7F, 0, 21}, "V10112", QStringLiteral("127.0.0.1")};
        FotaPrompts prompts{[this](QWidget *, const QString &) { return chosen; },
                            [this](QWidget *, const QString &text) { messages << text; }};
        dialog = std::make_unique<FotaDialog>(target, language, settings, prompts);
    }
    QString status() const { return static_cast<QLabel *>(findControl(dialog.get(), 1052))->text(); }
    devsim::UpgradeImage image()
    {
        return sim.get<devsim::UpgradeImage>([](devsim::SimNetwork &n) { return static_cast<devsim::GatewaySim &>(n.device(0)).upgrade(); });
    }
};

} // namespace

TEST(FotaDialog, UpgradesTheGatewayWithTheChosenFile)
{
    Fixture f;
    QTemporaryDir dir;
    const QByteArray file = firmwareFile(70000, 3000);
    f.chosen = writeFile(dir, "gw.bin", file);
    f.dialog->chooseFile();
    static_cast<QCheckBox *>(findControl(f.dialog.get(), 1047))->setChecked(true);
    EXPECT_EQ(f.settings.factory, 1); // the tick is kept as the "factory" setting at once
    f.dialog->startUpgrade();
    EXPECT_FALSE(findControl(f.dialog.get(), 1004)->isEnabled());
    ASSERT_TRUE(waitFor([&] { return f.status() == QStringLiteral("升级成功"); }, 20000)) << f.status().toStdString();
    EXPECT_TRUE(findControl(f.dialog.get(), 1004)->isEnabled());
    EXPECT_FALSE(findControl(f.dialog.get(), 1109)->isHidden());
    EXPECT_TRUE(findControl(f.dialog.get(), 1108)->isHidden());
    const devsim::UpgradeImage image = f.image();
    EXPECT_TRUE(image.factoryReset);
    EXPECT_EQ(image.imageType, 7);
    QByteArray expected = file.mid(20, 70000);
    expected.append(QByteArray(1024, '\0'));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(image.firmware.data()), qsizetype(image.firmware.size())), expected);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(image.web.data()), 3000), file.mid(20 + 70000 + 4));
    EXPECT_EQ(FotaDialog::rememberedPath(), f.chosen);
}

TEST(FotaDialog, FileProblemsAreShownAndNothingIsSent)
{
    Fixture f;
    QTemporaryDir dir;
    QByteArray cut = firmwareFile(5000, 10);
    cut.truncate(3000);
    for (const auto &[name, bytes, text] :
         {std::tuple{"cut.bin", cut, "file error!!!"},
          std::tuple{"huge.bin", QByteArray(int(kMaxFirmwareFile + 1), 'x'), "file is huge!!!"},
          std::tuple{"empty.bin", firmwareFile(0, 0), "文件中没有固件镜像（文件头声明的长度为 0）。"}}) {
        f.chosen = writeFile(dir, name, bytes);
        f.dialog->chooseFile();
        f.dialog->startUpgrade();
        ASSERT_FALSE(f.messages.isEmpty());
        EXPECT_EQ(f.messages.takeLast(), QString::fromUtf8(text));
    }
    f.chosen = dir.filePath(QStringLiteral("gone.bin"));
    f.dialog->chooseFile();
    f.dialog->startUpgrade();
    EXPECT_EQ(f.messages.takeLast(), QStringLiteral("can not open!!!"));
    QTest::qWait(50);
    EXPECT_EQ(f.sim.get<long long>([](devsim::SimNetwork &n) { return n.device(0).counters[QStringLiteral("upgrade-requests")]; }), 0);
    EXPECT_TRUE(findControl(f.dialog.get(), 1004)->isEnabled());
}

TEST(FotaDialog, AnAdapterAddressThatCannotBeBoundIsReported)
{
    Language english('e');
    SearchSettings settings;
    QStringList messages;
    FotaPrompts prompts{[](QWidget *, const QString &) { return QString(); },
                        [&](QWidget *, const QString &text) { messages << text; }};
    FotaDialog dialog({QStringLiteral("127.0.0.21"), 1, {}, "V10112", QStringLiteral("10.250.250.250")}, english, settings, prompts);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Bind Failed.")});
    EXPECT_EQ(static_cast<QPushButton *>(findControl(&dialog, 1004))->text(), QStringLiteral("Start"));
}

namespace {
struct NoSink final : FotaSink
{
    void sendDatagram(const Bytes &) override {}
    void showStatus(const std::string &, const std::string &) override {}
    void showPartition(const std::string &) override {}
    void showProgress(int, int) override {}
    void setStartEnabled(bool) override {}
    void showResult(bool) override {}
    void hideResult() override {}
};
} // namespace

// A size answer from another host, or from the device's address but another
// port than its first answer, must not move the transfer on.
TEST(FotaRunner, TakesAnswersOnlyFromItsDevice)
{
    QUdpSocket device, stranger;
    ASSERT_TRUE(device.bind(QHostAddress(QStringLiteral("127.0.0.21")), 0));
    ASSERT_TRUE(stranger.bind(QHostAddress(QStringLiteral("127.0.0.22")), 0));
    NoSink sink;
    FotaRunner runner(Mac{0, 0x4B, 0x59, 0x7F, 0, 21}, "V10112", sink);
    ASSERT_TRUE(runner.open(QStringLiteral("127.0.0.1")));
    runner.setDevice(device.localAddress(), device.localPort());
    const QByteArray image = firmwareFile(3000, 10);
    auto file = parseFirmwareFile(kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(image.constData()), std::size_t(image.size())));
    ASSERT_TRUE(std::holds_alternative<FirmwareFile>(file));
    runner.start(std::get<FirmwareFile>(std::move(file)), false);
    ASSERT_EQ(runner.session().state(), FotaSession::State::Requested);
    const QByteArray sizing = QByteArray::fromHex("ba3a000000" "0e0000" "0000" "452e");
    stranger.writeDatagram(sizing, QHostAddress(QStringLiteral("127.0.0.1")), runner.localPort());
    QTest::qWait(100);
    EXPECT_EQ(runner.session().state(), FotaSession::State::Requested);
    device.writeDatagram(sizing, QHostAddress(QStringLiteral("127.0.0.1")), runner.localPort());
    EXPECT_TRUE(waitFor([&] { return runner.session().state() == FotaSession::State::Sizing; }, 2000));
}
