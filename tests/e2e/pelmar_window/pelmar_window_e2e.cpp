// The serial-server main window inside the lab: a real broadcast search,
// servers of several families chosen in the list, their baud rate, work
// mode, target host and IP changed and saved, each server holding the new
// values; a refused write, a restart and a factory reset; the WiFi scan,
// the one-to-many and cloud dialogs and the firmware repair, each checked on
// the simulator's side.
#include "pelmar/ui/server_config_dialog.h"

#include "pelmar/advanced/cloud_dialog.h"
#include "pelmar/advanced/one_to_many_dialog.h"
#include "pelmar/advanced/port_dialogs.h"
#include "pelmar/advanced/scan_list_dialog.h"
#include "pelmar/advanced/tlv_dialogs/mqtt_dialog.h"
#include "pelmar/advanced/tlv_dialogs/tlv_dialog_extensions.h"
#include "pelmar/advanced/wifi_dialogs.h"
#include "pelmar/files/repair_dialog.h"
#include "pelmar/ui/repair_key.h"

#include "common/gbk_text.h"
#include "common/ipv4.h"
#include "pelmar/model/conversions.h"
#include "pelmar/ui/address_field.h"
#include "tests/support/lab.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

using namespace pelmar;
using testsupport::labCounter;
using testsupport::labDevsim;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

// This program broadcasts: outside a namespace of the lab it does not run at all.
const bool kInLab = testsupport::exitUnlessInLab("pelmar_window_e2e");

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

template <typename W> W *control(ServerConfigDialog &w, int id)
{
    return qobject_cast<W *>(findControl(&w, id));
}

using LabServer = testsupport::LabDevice;

std::vector<LabServer> labServers()
{
    return testsupport::labDevices(QStringLiteral("server-"));
}

void choose(QComboBox *list, int index)
{
    list->setCurrentIndex(index);
    Q_EMIT list->activated(index);
}

int rowOf(ServerConfigDialog &w, const QString &mac)
{
    const auto m = devsim::parseMac(mac);
    const auto slot = w.core().devices().find(MacTail{(*m)[3], (*m)[4], (*m)[5]});
    return slot ? int(*slot) : -1;
}

void clickRow(ServerConfigDialog &w, int row)
{
    QTableView *list = w.controls().deviceList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 1)).center());
    QCoreApplication::processEvents();
}

// Types into an edit key by key and leaves it.
void type(ServerConfigDialog &w, QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    w.controls().search->setFocus(Qt::MouseFocusReason);
}

// Clicks a save button and waits for the server's answer in pane 2.
bool save(ServerConfigDialog &w, int button, const char *answer)
{
    w.core().setLanguage(Language::Chinese); // empties pane 2 from the last answer
    control<QPushButton>(w, button)->click();
    return waitFor([&] { return w.statusText(ServerCore::SavePane) == u(answer); }, 15000);
}

QByteArray octets(const char *dotted)
{
    const auto a = kyvo::parseIpv4(dotted);
    const auto o = kyvo::ipv4Octets(a.value_or(0));
    return QByteArray(reinterpret_cast<const char *>(o.data()), 4);
}

class WindowInTheLab : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LAB_ONLY();
        ASSERT_TRUE(kInLab);
        servers = labServers();
        ASSERT_GE(servers.size(), 5u);
        ServerConfigDialog::Options options;
        options.message = [this](QWidget *, const QString &text, const QString &) { messages << text; };
        options.alert = [this](QWidget *, const QString &text, std::function<void()> closed) {
            messages << text;
            if (closed) closed();
        };
        addOneToManyDialog(options);
        addCloudDialog(options);
        addWifiScan(options);
        addFirmwareRepair(options);
        SubDialogOptions dialogs; // the sub-dialogs' own socket on 8888, requests by broadcast
        dialogs.message = [this](QWidget *, const QString &text, std::function<void()> closed) {
            messages << text;
            if (closed) closed();
        };
        addPortTlvDialogs(options, dialogs);
        window = std::make_unique<ServerConfigDialog>(std::move(options));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QSignalSpy shown(&window->core(), &ServerCore::deviceShown);
        control<QPushButton>(*window, control::kSearch)->click();
        ASSERT_TRUE(waitFor(
            [&] {
                std::set<int> seen;
                for (const auto &s : shown)
                    seen.insert(s[0].toInt());
                return seen.size() == servers.size();
            },
            30000));
        ASSERT_TRUE(waitFor([&] { return window->core().readSequencesRunning() == 0; }));
        QTest::qWait(300); // the short-frame server's last replies
    }

    std::vector<LabServer> servers;
    std::unique_ptr<ServerConfigDialog> window;
    QStringList messages;
};

TEST_F(WindowInTheLab, EditedSettingsReachServersOfEveryFamily)
{
    const ServerWindowControls &ui = window->controls();
    int n = 0;
    for (const LabServer &s : servers) {
        SCOPED_TRACE((s.kind + QLatin1Char(' ') + s.address).toStdString());
        const int row = rowOf(*window, s.mac);
        ASSERT_GE(row, 0);
        clickRow(*window, row);
        ASSERT_EQ(window->shownDevice(), row);
        ++n;
        const QString host = QStringLiteral("lab-host-%1.example.net").arg(n);
        const QByteArray ip = "10.77.3." + QByteArray::number(n);
        choose(ui.baud, 6);     // 19200
        choose(ui.workMode, 1); // TCP_CLIENT
        type(*window, ui.targetHost, host);
        ui.ip->setText(QString::fromLatin1(ip));
        const DeviceEntry &e = window->core().devices().at(std::size_t(row));
        ASSERT_TRUE(save(*window, control::kSaveDevice, "配置成功"));
        // A short-frame server takes its ports with the port save, item by item.
        if (!portSaveWritesRecord(e) && !e.isWifi) {
            ASSERT_TRUE(save(*window, control::kSavePorts, "配置成功"));
        }
        EXPECT_TRUE(waitFor([&] { return labGet(s.mac, QStringLiteral("ip")) == octets(ip.constData()); }));
        EXPECT_TRUE(waitFor([&] { return labGet(s.mac, QStringLiteral("port1.baud")) == QByteArray(1, 7); }));
        EXPECT_EQ(labGet(s.mac, QStringLiteral("port1.workmode")), QByteArray(1, 2));
        EXPECT_TRUE(labGet(s.mac, QStringLiteral("port1.host")).startsWith(host.toLatin1()));
        if (s.kind == QLatin1String("server-short")) {
            // The first accepted item shows "配置成功"; the commit ends the sequence.
            EXPECT_TRUE(waitFor([&] { return labCounter(s.mac, QStringLiteral("commits")) == 2; }));
        }
        if (s.kind == QLatin1String("server-multi2326")) {
            EXPECT_EQ(labCounter(s.mac, QStringLiteral("record-writes")), 1); // its two 'y' parts, one write
        }
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
}

TEST_F(WindowInTheLab, ARefusedWriteRestartAndFactoryReset)
{
    const auto refusing = std::find_if(servers.begin(), servers.end(), [](const LabServer &s) {
        return s.kind == QLatin1String("server-native");
    });
    ASSERT_NE(refusing, servers.end());
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 refuse 1").arg(refusing->mac)));
    clickRow(*window, rowOf(*window, refusing->mac));
    EXPECT_TRUE(save(*window, control::kSaveDevice, "配置失败。请重新搜索设备，再试。"));
    labDevsim().command(QStringLiteral("knob %1 refuse 0").arg(refusing->mac));

    const LabServer &s = servers.front();
    clickRow(*window, rowOf(*window, s.mac));
    control<QPushButton>(*window, control::kRestart)->click();
    ASSERT_TRUE(waitFor([&] { return labCounter(s.mac, QStringLiteral("restarts")) == 1; }));
    control<QPushButton>(*window, control::kFactoryReset)->click();
    ASSERT_TRUE(waitFor([&] { return labCounter(s.mac, QStringLiteral("resets")) == 1; }));
    // The others were not asked: the MacTail selects the server among those the broadcast reaches.
    for (const LabServer &other : servers) {
        if (other.mac == s.mac) continue;
        EXPECT_EQ(labCounter(other.mac, QStringLiteral("restarts")), 0);
    }
}

const LabServer *serverOf(const std::vector<LabServer> &servers, const char *kind)
{
    for (const LabServer &s : servers)
        if (s.kind == QLatin1String(kind)) return &s;
    return nullptr;
}

TEST_F(WindowInTheLab, AScanFillsTheListAndTheChosenNetworkIsSaved)
{
    const LabServer *wifi = serverOf(servers, "server-wifi362");
    ASSERT_NE(wifi, nullptr);
    clickRow(*window, rowOf(*window, wifi->mac));
    const ServerWindowControls &ui = window->controls();
    ASSERT_TRUE(ui.wifiScan->isEnabled());
    ui.wifiScan->click();
    auto *list = window->findChild<ScanListDialog *>();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitFor([&] { return list->list()->rowCount() >= 4; }));
    const QTableWidgetItem *item = list->list()->item(2, 0);
    const QString chosen = item->text();
    const QPoint at = list->list()->visualItemRect(item).center();
    QTest::mouseClick(list->list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->list()->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(ui.staSsid->text(), chosen);
    ASSERT_TRUE(save(*window, control::kSaveDevice, "配置成功"));
    EXPECT_TRUE(waitFor(
        [&] { return labGet(wifi->mac, QStringLiteral("stassid")).startsWith(kyvo::toGbk(chosen)); }));
}

TEST_F(WindowInTheLab, OneToManyAndCloudSettingsTravelWithThePortSave)
{
    const LabServer *multi = serverOf(servers, "server-multi2326");
    ASSERT_NE(multi, nullptr);
    clickRow(*window, rowOf(*window, multi->mac));
    const ServerWindowControls &ui = window->controls();
    window->toggleAdvanced();
    if (!ui.oneToMany->isChecked()) ui.oneToMany->click();
    ui.addressSet->click();
    auto *addresses = window->findChild<OneToManyDialog *>();
    ASSERT_NE(addresses, nullptr);
    addresses->addressEdit(5)->setText(QStringLiteral("300"));
    addresses->mappedEdit(24)->setText(QStringLiteral("9"));
    addresses->accept();
    ASSERT_TRUE(save(*window, control::kSavePorts, "配置成功"));
    EXPECT_TRUE(
        waitFor([&] { return labGet(multi->mac, QStringLiteral("port5.o2maddr")) == QByteArray(1, 44); }));
    EXPECT_EQ(labGet(multi->mac, QStringLiteral("port24.o2mmapped")), QByteArray(1, 9));
    EXPECT_EQ(labGet(multi->mac, QStringLiteral("onetomany")), QByteArray(1, 1));
    // The long two-port native record carries the ports' cloud fields.
    const LabServer *native = serverOf(servers, "server-native");
    ASSERT_NE(native, nullptr);
    clickRow(*window, rowOf(*window, native->mac));
    ui.cloud->click();
    auto *cloud = window->findChild<CloudDialog *>();
    ASSERT_NE(cloud, nullptr);
    cloud->enableBox()->setChecked(true);
    cloud->idEdit()->setText(QStringLiteral("31415926535897932384"));
    cloud->passwordEdit()->setText(QStringLiteral("lab-pass"));
    cloud->accept();
    ASSERT_TRUE(save(*window, control::kSavePorts, "配置成功"));
    EXPECT_TRUE(waitFor([&] {
        return labGet(native->mac, QStringLiteral("port1.cloudid")) == QByteArray("31415926535897932384");
    }));
    EXPECT_EQ(labGet(native->mac, QStringLiteral("port1.cloudpwd")), QByteArray("lab-pass"));
}

TEST_F(WindowInTheLab, TheRepairSendsSixteenCommitFramesToItsServerOnly)
{
    const LabServer *old = serverOf(servers, "server-multi1284");
    ASSERT_NE(old, nullptr);
    clickRow(*window, rowOf(*window, old->mac));
    ASSERT_EQ(window->core().devices().at(std::size_t(window->shownDevice())).firmwareVersion.text(), "L253");
    std::map<QString, long long> commitsBefore;
    for (const LabServer &s : servers)
        commitsBefore[s.mac] = labCounter(s.mac, QStringLiteral("commits"));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, 37, 0xFFE3, 0);
    QKeyEvent b(QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier, 37, 0xFFE3, 0);
    for (QKeyEvent *e : {&down, &b, &up})
        QApplication::sendEvent(window.get(), e);
    auto *repair = window->findChild<RepairDialog *>();
    ASSERT_NE(repair, nullptr);
    ASSERT_TRUE(waitFor([&] { return labCounter(old->mac, QStringLiteral("repair-frames")) == 16; }, 6000));
    QTest::qWait(600); // no seventeenth
    EXPECT_EQ(labCounter(old->mac, QStringLiteral("repair-frames")), 16);
    for (const LabServer &other : servers) {
        const long long more = other.mac == old->mac ? 16 : 0; // the broadcast reached all; the MacTail chose
        EXPECT_EQ(labCounter(other.mac, QStringLiteral("commits")), commitsBefore[other.mac] + more)
            << other.kind.toStdString();
    }
    repair->close();
}

TEST_F(WindowInTheLab, MqttDialogSavesAPortOfTheServerItWasOpenedFor)
{
    const auto multi = std::find_if(servers.begin(), servers.end(), [](const LabServer &s) {
        return s.kind == QLatin1String("server-multi2326");
    });
    ASSERT_NE(multi, servers.end());
    clickRow(*window, rowOf(*window, multi->mac));
    choose(window->controls().portSelect, 1);
    window->toggleAdvanced();
    window->controls().mqtt->click();
    auto *dialog = window->findChild<MqttDialog *>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(waitFor([&] { return !dialog->waiting(); }));
    EXPECT_EQ(dialog->edit(0x0A)->text(), QStringLiteral("mqtt.example.net"));
    dialog->edit(0x0A)->setText(QStringLiteral("lab-broker.example.net"));
    dialog->save();
    ASSERT_TRUE(waitFor([&] { return !dialog->waiting(); }));
    EXPECT_EQ(dialog->statusText(), u("保存成功"));
    EXPECT_EQ(labGet(multi->mac, QStringLiteral("port2.tlv.0a")), "lab-broker.example.net");
    EXPECT_EQ(labGet(multi->mac, QStringLiteral("port1.tlv.0a")), "mqtt.example.net");
}

TEST(PelmarProgram, StartsAndRunsInTheLab)
{
    LAB_ONLY();
    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    program.setProcessEnvironment(env);
    program.start(QString::fromUtf8(PELMAR_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(5000));
    EXPECT_FALSE(program.waitForFinished(1500)); // still running
    program.terminate();
    if (!program.waitForFinished(5000)) program.kill();
    program.waitForFinished(5000);
    // It keeps its language choice in its own settings folder.
    EXPECT_TRUE(QFile::exists(home.path() + QStringLiteral("/kyvo/pelmar/kyvo.ini")) ||
                QFile::exists(home.path() + QStringLiteral("/pelmar/kyvo.ini")));
}

} // namespace
