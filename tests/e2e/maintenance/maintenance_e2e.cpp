// The maintenance dialogs, the TLS dialog and the matching vorlet-cli
// commands inside the lab: a broadcast search finds the gateways; the
// customised set is saved and cleared, the parameter image arrives on port
// 6111 in a backup file of the right size, the information text is
// refreshed, a scanned network is chosen into the window, and the gateway
// holds an uploaded TLS bundle byte for byte.
#include "vorlet/maintenance/devinfo_dialog.h"
#include "vorlet/maintenance/maintenance_wiring.h"
#include "vorlet/maintenance/wifisouch_dialog.h"
#include "vorlet/services/tls_dialog.h"
#include "vorlet/services/tls_wiring.h"

#include "tests/support/lab.h"
#include "tests/support/processes.h"
#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace vorlet;
using testsupport::labCounter;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

struct LabWindow
{
    LabWindow()
    {
        CvorletDlg::Options w;
        w.settingsPath = dir.filePath(QStringLiteral("hx.ini"));
        w.programPath = dir.filePath(QStringLiteral("program"));
        w.adapters = [] { return QList<kyvo::AdapterAddress>{}; };
        w.openUrl = [](const QUrl &) {};
        DeviceDialogEnvironment env;
        env.message = [this](QWidget *, const QString &text) { messages << text; };
        env.confirm = [this](QWidget *, const QString &text, std::function<void()> yes) {
            questions << text;
            yes();
        };
        env.openFile = [this](QWidget *, const QString &) { return chosen; };
        VipOptions image;
        image.backupPath = dir.filePath(QStringLiteral("hx-bk-cfg.bin"));
        addMaintenanceDialogs(w, env, image);
        addTlsDialog(w, env);
        window = std::make_unique<CvorletDlg>(std::move(w));
        window->show();
        window->onSearch();
        // The window selects the last device once its list settles (at most 100 ms after an answer).
        found = waitFor([&] {
            const int count = int(window->core().devices().count());
            return count >= 2 && window->selectedRow() == count - 1;
        });
        if (found) {
            const ParameterRecord &r = *window->selectedRecord();
            mac = devsim::macText(devsim::Mac{r.mac[0], r.mac[1], r.mac[2], r.mac[3], r.mac[4], r.mac[5]});
        }
    }
    bool acknowledged()
    {
        return waitFor([&] { return window->commands().writeAcknowledged(); });
    }
    template <typename D> D *open(int control)
    {
        QWidget *opener = findControl(window.get(), control);
        if (auto *button = qobject_cast<QPushButton *>(opener))
            button->click();
        else if (auto *link = qobject_cast<QLabel *>(opener))
            Q_EMIT link->linkActivated(QStringLiteral("#"));
        return window->findChild<D *>();
    }
    QString file(const char *name, const QByteArray &data)
    {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        f.write(data);
        return f.fileName();
    }

    QTemporaryDir dir;
    QStringList messages, questions;
    QString chosen, mac;
    std::unique_ptr<CvorletDlg> window;
    bool found = false;
};

} // namespace

TEST(MaintenanceLab, CustomSetAndParameterImage)
{
    LAB_ONLY();
    LabWindow lab;
    ASSERT_TRUE(lab.found);
    lab.window->controls().customDefaults->trigger();
    vip *d = lab.window->findChild<vip *>();
    ASSERT_NE(d, nullptr);
    const long long saves = labCounter(lab.mac, QStringLiteral("custom-saves"));
    const long long clears = labCounter(lab.mac, QStringLiteral("custom-clears"));
    d->saveCustom();
    ASSERT_TRUE(waitFor([&] { return lab.messages.size() == 1; }, 15000));
    EXPECT_EQ(lab.messages.last(), u("操作成功"));
    d->clearCustom();
    ASSERT_TRUE(waitFor([&] { return lab.messages.size() == 2; }, 15000));
    EXPECT_EQ(lab.messages.last(), u("操作成功"));
    EXPECT_EQ(labCounter(lab.mac, QStringLiteral("custom-saves")), saves + 1);
    EXPECT_EQ(labCounter(lab.mac, QStringLiteral("custom-clears")), clears + 1);
    EXPECT_EQ(labGet(lab.mac, QStringLiteral("B8")).left(2).toHex(), "8800");

    d->fetchImage(); // the image comes to port 6111, and the transfer ends 3 s after its last block
    ASSERT_TRUE(waitFor([&] { return lab.messages.size() == 3; }, 20000));
    QFile backup(lab.dir.filePath(QStringLiteral("hx-bk-cfg.bin")));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly)) << lab.messages.last().toStdString();
    EXPECT_EQ(backup.size(), 8192);
    EXPECT_EQ(backup.readAll(), labGet(lab.mac, QStringLiteral("image")));
}

TEST(MaintenanceLab, InformationTextScanAndTlsUpload)
{
    LAB_ONLY();
    LabWindow lab;
    ASSERT_TRUE(lab.found);
    auto *info = lab.open<devinfo>(kDeviceInfoButton);
    ASSERT_NE(info, nullptr);
    for (int i = 0; i < devinfo::kRevealClicks; ++i)
        info->clickUptime();
    qobject_cast<QCheckBox *>(findControl(info, 1051))->setChecked(true);
    ASSERT_TRUE(waitFor([&] { return !info->infoText().isEmpty(); }, 15000));
    const QString first = info->infoText();
    ASSERT_TRUE(waitFor([&] { return info->infoText() != first; }, 15000)) << first.toStdString();
    info->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    lab.window->controls().ssid->setText(QStringLiteral("Home"));
    auto *scan = lab.open<wifisouch>(kWifiScanLink);
    ASSERT_NE(scan, nullptr);
    scan->scan();
    ASSERT_TRUE(waitFor([&] { return scan->list()->rowCount() == 6; }, 15000));
    scan->list()->selectRow(3);
    scan->choose();
    EXPECT_EQ(lab.window->controls().ssid->text(), u("Home;访客网络"));
    EXPECT_EQ(lab.window->controls().bssid->text(), QStringLiteral("5c02147e9a11"));

    auto *certificates = lab.open<tls>(kTlsLink);
    ASSERT_NE(certificates, nullptr);
    const QByteArray ca(1200, 'c'), cert(900, 'e'), key(300, 'k');
    lab.chosen = lab.file("ca.crt", ca);
    certificates->import(tls::Ca);
    lab.chosen = lab.file("client.crt", cert);
    certificates->import(tls::Cert);
    lab.chosen = lab.file("client.key", key);
    certificates->import(tls::Key);
    certificates->upload(); // a local search: broadcast, after the question
    EXPECT_EQ(lab.questions.size(), 1);
    ASSERT_TRUE(waitFor([&] { return lab.messages.size() == 1; }, 15000));
    EXPECT_EQ(lab.messages.last(), u("保存成功"));
    EXPECT_EQ(labGet(lab.mac, QStringLiteral("tls.bundle")),
              ca + QByteArray("\0;", 2) + cert + QByteArray("\0;", 2) + key);
}

TEST(MaintenanceLab, TheCommandLineTools)
{
    LAB_ONLY();
    const auto devices = testsupport::labDevices(QStringLiteral("gateway"));
    ASSERT_FALSE(devices.empty());
    const QString cli = QStringLiteral(VORLET_CLI_BIN), mac = devices.back().mac;
    const auto run = [&](QStringList args) {
        return testsupport::runTool(cli, args << QStringLiteral("--mac") << mac << QStringLiteral("--wait")
                                              << QStringLiteral("1500"));
    };
    const auto info = run({QStringLiteral("info")});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains(QStringLiteral("Total Memery:2048 kb"))) << info.out.toStdString();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("backup.bin"));
    const auto backup = run({QStringLiteral("backup"), file});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    EXPECT_EQ(QFile(file).size(), 8192);
    const long long saves = labCounter(mac, QStringLiteral("custom-saves"));
    EXPECT_EQ(run({QStringLiteral("custom-defaults"), QStringLiteral("save")}).exitCode, 0);
    EXPECT_EQ(labCounter(mac, QStringLiteral("custom-saves")), saves + 1);
    const auto scan = run({QStringLiteral("wifi-scan"), QStringLiteral("--json")});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(scan.out.toUtf8()).array().size(), 6);
    QFile ca(dir.filePath(QStringLiteral("ca.crt")));
    ASSERT_TRUE(ca.open(QIODevice::WriteOnly));
    ca.write(QByteArray(500, 'a'));
    ca.close();
    const auto upload =
        run({QStringLiteral("tls"), QStringLiteral("upload"), QStringLiteral("--ca"), ca.fileName()});
    EXPECT_EQ(upload.exitCode, 0) << upload.err.toStdString();
    EXPECT_EQ(labGet(mac, QStringLiteral("tls.bundle")), QByteArray(500, 'a') + QByteArray("\0;\0;", 4));
}
