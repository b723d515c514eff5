// The serial-server upgrade dialog on the main socket against a simulated
// server on loopback.
#include "pelmar/files/firmware_upgrade_dialog.h"

#include "devsim/core/sim_host.h"
#include "devsim/serial/server_sim.h"
#include "pelmar/core/server_core.h"
#include "pelmar/lang/language_table.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>

using namespace pelmar;
using testsupport::waitFor;

namespace {

// Answers every probe at once (or never, when told so).
class FakeProber final : public TargetProber
{
public:
    bool answer = true;
    QStringList targets;
    int flushes = 0;
    void flushAddressCache() override
    {
        ++flushes;
        QMetaObject::invokeMethod(this, &TargetProber::flushed, Qt::QueuedConnection);
    }
    void probe(const QString &target) override
    {
        targets << target;
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT probed(answer); }, Qt::QueuedConnection);
    }
};

struct Fixture
{
    quint16 devicePort = testsupport::freeUdpPort(), tftpPort = testsupport::freeUdpPort(),
            transferPort = testsupport::freeUdpPort();
    devsim::SimHost sim{[this] {
        devsim::SimNetwork::Options o;
        o.portMap = {{1111, devicePort}, {69, tftpPort}, {6969, transferPort}};
        o.rateBitsPerSecond = 0;
        o.hubAddress = QHostAddress(QStringLiteral("127.0.0.250"));
        return o;
    }()};
    LanguageTable language;
    std::unique_ptr<ServerCore> core;
    FakeProber *prober = nullptr;
    std::unique_ptr<FirmwareUpgrade> upgrade;
    std::unique_ptr<FirmwareUpgradeDialog> dialog;
    QStringList messages;
    QString chosen;
    QTemporaryDir dir;

    Fixture()
    {
        devsim::ServerProfile p;
        p.address = testsupport::loopback(31);
        p.mac = devsim::Mac{0, 0x4B, 0x5A, 0x7F, 0, 31};
        sim.add(std::make_unique<devsim::ServerSim>(p));
        EXPECT_TRUE(sim.start());
        ServerCore::Options o;
        o.devicePort = devicePort;
        o.localPort = 0;
        core = std::make_unique<ServerCore>(o);
        QSignalSpy opened(core.get(), &ServerCore::socketOpened);
        EXPECT_TRUE(waitFor([&] { return opened.count() >= 1; }));
        auto fake = std::make_unique<FakeProber>();
        prober = fake.get();
        upgrade = std::make_unique<FirmwareUpgrade>(*core, language, std::move(fake));
        upgrade->setTftpPortForTesting(tftpPort);
        dialog = std::make_unique<FirmwareUpgradeDialog>(
            *upgrade, language, QStringLiteral("127.0.0.31"),
            UpgradePrompts{[this](QWidget *, const QString &, std::function<void(const QString &)> answer) {
                               answer(chosen);
                           },
                           [this](QWidget *, const QString &text, const QString &caption) {
                               messages << caption + QLatin1Char('|') + text;
                           }});
    }
    QString file(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    const devsim::TftpReceiver &received()
    {
        static devsim::TftpReceiver copy;
        copy = sim.get<devsim::TftpReceiver>([](devsim::SimNetwork &n) {
            return static_cast<devsim::ServerSim &>(n.device(0)).firmwareUpload();
        });
        return copy;
    }
    void knob(const char *name, int value)
    {
        sim.call([&](devsim::SimNetwork &n) { n.device(0).knobs.extra[QString::fromLatin1(name)] = value; });
    }
};

QByteArray pattern(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(i * 7 + 1);
    return b;
}

} // namespace

TEST(FirmwareUpgrade, AnImageArrivesWholeAndTheDialogSaysSo)
{
    Fixture f;
    const QByteArray image = pattern(70001);
    f.chosen = f.file("srv.bin", image);
    f.dialog->browse();
    EXPECT_EQ(f.dialog->fileNameLabel()->text(), QStringLiteral("srv.bin"));
    f.dialog->start();
    EXPECT_FALSE(f.dialog->startButton()->isEnabled());
    ASSERT_TRUE(
        waitFor([&] { return f.dialog->statusLine()->text() == QStringLiteral("Upgrade success"); }, 20000))
        << f.dialog->statusLine()->text().toStdString();
    EXPECT_TRUE(f.dialog->startButton()->isEnabled());
    EXPECT_EQ(f.prober->targets, QStringList{QStringLiteral("127.0.0.31")}); // small images are probed first
    EXPECT_EQ(f.prober->flushes, 1);
    const auto &r = f.received();
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.fileName(), QByteArray("srv.bin"));
    EXPECT_EQ(r.announcedSize(), 70001u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(r.image().data()), qsizetype(r.image().size())),
              image);
    EXPECT_EQ(f.upgrade->lastPath(), f.chosen);
}

TEST(FirmwareUpgrade, ADualImageFileSendsTheOtherImage)
{
    Fixture f;
    QByteArray file(0x81004 + 900, '\0');
    std::memcpy(file.data(), "ESP8266", 7);
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(file.data()) + 0x1000, 600);
    file.replace(0x1004, 600, QByteArray(600, 'a'));
    kyvo::writeBe32(reinterpret_cast<std::uint8_t *>(file.data()) + 0x81000, 900);
    file.replace(0x81004, 900, QByteArray(900, 'b'));
    f.knob("tftp-slot", 2); // the device runs slot 2: image A goes
    f.chosen = f.file("esp.bin", file);
    f.dialog->browse();
    f.dialog->start();
    ASSERT_TRUE(
        waitFor([&] { return f.dialog->statusLine()->text() == QStringLiteral("Upgrade success"); }, 20000));
    const auto &r = f.received();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(r.image().data()), qsizetype(r.image().size())),
              QByteArray(600, 'a'));
    EXPECT_EQ(r.requestSuffix(), (kyvo::Bytes{0, 0, 0x03, 0x84, 0, 0, 0x02, 0x58}));
}

TEST(FirmwareUpgrade, RefusalsAndDeviceErrorsAreShown)
{
    Fixture f;
    f.dialog->pathEdit()->clear();
    f.dialog->start();
    EXPECT_EQ(f.messages.takeLast(), QStringLiteral("信息|请先打开一个文件!"));
    f.dialog->pathEdit()->setText(f.dir.filePath(QStringLiteral("gone.bin")));
    f.dialog->start();
    EXPECT_EQ(f.messages.takeLast(), QStringLiteral("信息|") + f.dir.filePath(QStringLiteral("gone.bin")) +
                                         QStringLiteral("无法打开文件"));
    f.dialog->pathEdit()->setText(f.file("big.bin", QByteArray(10485761, 'x')));
    f.dialog->start();
    EXPECT_EQ(f.messages.takeLast(), QStringLiteral("信息|文件太大，请打开一个小于1M的文件"));
    f.dialog->pathEdit()->setText(f.file("one.bin", QByteArray(1, 'x')));
    f.dialog->start();
    EXPECT_EQ(f.messages.takeLast(), QStringLiteral("信息|文件太小，不是固件文件"));
    EXPECT_EQ(f.prober->flushes, 0);
    EXPECT_TRUE(f.dialog->startButton()->isEnabled());

    f.knob("tftp-error", 1);
    f.dialog->pathEdit()->setText(f.file("ok.bin", pattern(1000)));
    f.dialog->start();
    ASSERT_TRUE(waitFor([&] { return !f.messages.isEmpty(); }, 20000));
    EXPECT_EQ(f.messages.takeLast(), QStringLiteral("信息|传输错误"));
    EXPECT_FALSE(f.dialog->startButton()->isEnabled());
}

TEST(FirmwareUpgrade, ATargetThatNeverAnswersTheProbeIsNotSentTo)
{
    Fixture f;
    f.prober->answer = false;
    f.dialog->pathEdit()->setText(f.file("ok.bin", pattern(1000)));
    f.dialog->start();
    ASSERT_TRUE(
        waitFor([&] { return f.dialog->statusLine()->text() == QStringLiteral("ping 失败"); }, 20000));
    EXPECT_EQ(f.prober->targets.size(), 14);
    EXPECT_TRUE(f.dialog->startButton()->isEnabled());
    EXPECT_EQ(f.sim.get<long long>([](devsim::SimNetwork &n) {
        return n.device(0).counters[QStringLiteral("tftp-requests")];
    }),
              0);
}

TEST(FirmwareUpgrade, TheUpgradeGoesOnWhenTheDialogCloses)
{
    Fixture f;
    f.dialog->pathEdit()->setText(f.file("ok.bin", pattern(300000)));
    f.dialog->start();
    f.dialog.reset();
    ASSERT_TRUE(waitFor([&] { return f.received().complete(); }, 30000));
    EXPECT_EQ(f.received().image().size(), 300000u);
    FirmwareUpgradeDialog again(*f.upgrade, f.language, QStringLiteral("127.0.0.31"));
    EXPECT_TRUE(
        again.pathEdit()->text().endsWith(QStringLiteral("ok.bin"))); // the last path is offered again
}

TEST(FirmwareUpgrade, TheFileChooserAndTheBoxesOpenWithoutANestedLoop)
{
    Fixture f;
    FirmwareUpgradeDialog dialog(*f.upgrade, f.language, QStringLiteral("127.0.0.31"),
                                 UpgradePrompts::standard());
    dialog.show();
    // A prompt that ran its own event loop would still be inside the call when this runs.
    bool inside = false, nested = false;
    const auto watch = [&] {
        QTimer::singleShot(0, &dialog, [&] {
            nested = nested || inside;
            if (QWidget *modal = QApplication::activeModalWidget()) modal->close();
        });
    };
    watch();
    inside = true;
    dialog.pathEdit()->clear();
    dialog.start();
    inside = false;
    auto *box = dialog.findChild<QMessageBox *>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("请先打开一个文件!"));
    box->close();

    const QString path = f.file("srv.bin", pattern(100));
    watch();
    inside = true;
    dialog.browse();
    inside = false;
    auto *chooser = dialog.findChild<QFileDialog *>();
    ASSERT_NE(chooser, nullptr);
    chooser->selectFile(path);
    static_cast<QDialog *>(chooser)->accept(); // QFileDialog::accept checks the file first
    EXPECT_FALSE(nested);
    EXPECT_EQ(dialog.pathEdit()->text(), path);
    EXPECT_EQ(dialog.fileNameLabel()->text(), QStringLiteral("srv.bin"));
}
