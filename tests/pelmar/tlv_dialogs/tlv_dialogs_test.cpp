// The MQTT, MODBUS-cache and heartbeat dialogs against simulated serial
// servers on loopback (127.0.0.1 stands for the broadcast address): each
// reads a port, saves a change that a new dialog reads back, refuses what
// does not fit before sending, and reports silent and malformed answers.
#include "pelmar/advanced/tlv_dialogs/cache_dialog.h"
#include "pelmar/advanced/tlv_dialogs/heartbeat_dialog.h"
#include "pelmar/advanced/tlv_dialogs/mqtt_dialog.h"

#include "devsim/core/device_specs.h"
#include "devsim/core/sim_host.h"
#include "devsim/serial/server_sim.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace pelmar;
using testsupport::loopback;

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

class Servers
{
public:
    // Server 0: a 24-port long-record server, 1: an 8-port one, 2: a short-frame server.
    Servers()
    {
        devsim::SimNetwork::Options sim;
        sim.hubAddress = QHostAddress(loopback(1));
        sim.portMap[1111] = port;
        sim.portMap[69] = testsupport::freeUdpPort();
        sim.portMap[6969] = testsupport::freeUdpPort();
        sim.rateBitsPerSecond = 0;
        host = std::make_unique<devsim::SimHost>(sim);
        const std::pair<devsim::ServerFamily, int> kinds[] = {{devsim::ServerFamily::Multi2326, 24},
                                                              {devsim::ServerFamily::Multi1284, 8},
                                                              {devsim::ServerFamily::Short, 4}};
        for (const auto &[family, ports] : kinds) {
            devsim::ServerProfile p;
            p.family = family;
            p.ports = ports;
            p.address = loopback(2 + int(profiles.size()));
            p.mac = devsim::simulatedMac(0x5A, p.address);
            profiles.push_back(p);
            host->add(std::make_unique<devsim::ServerSim>(p));
        }
        QString error;
        EXPECT_TRUE(host->start(&error)) << error.toStdString();
    }

    SubDialogTarget target(std::size_t server, int portIndex) const
    {
        const devsim::ServerProfile &p = profiles[server];
        return {p.mac, QHostAddress(p.address).toString(), {}, portIndex, p.ports};
    }
    SubDialogOptions options(int timeoutMs = 3000)
    {
        SubDialogOptions o;
        o.exchange = {QStringLiteral("127.0.0.1"), port, 0, timeoutMs};
        o.saveSettleMs = 0;
        o.message = [this](QWidget *, const QString &text, std::function<void()> closed) {
            messages << text;
            if (closed) closed();
        };
        o.openDebugView = [this](QWidget *, std::function<void()> closed) {
            ++debugViews;
            closed();
        };
        return o;
    }
    devsim::SimDevice &device(std::size_t server, devsim::SimNetwork &n)
    {
        return *n.findByMac(profiles[server].mac);
    }
    QByteArray get(std::size_t server, const QString &path)
    {
        return host->get<QByteArray>(
            [&](devsim::SimNetwork &n) { return device(server, n).query(path).value_or(QByteArray()); });
    }
    long long counter(std::size_t server, const char *name)
    {
        return host->get<long long>(
            [&](devsim::SimNetwork &n) { return device(server, n).counters[QString::fromLatin1(name)]; });
    }
    void knob(std::size_t server, const char *name, const char *value)
    {
        host->call([&](devsim::SimNetwork &n) {
            device(server, n).knobs.set(QString::fromLatin1(name), QString::fromLatin1(value));
        });
    }

    quint16 port = testsupport::freeUdpPort();
    std::unique_ptr<devsim::SimHost> host;
    std::vector<devsim::ServerProfile> profiles;
    QStringList messages;
    int debugViews = 0;
};

// Waits until the dialog's exchange under way has ended.
bool settled(SubDialog &d)
{
    return testsupport::waitFor([&] { return !d.waiting(); }, 8000);
}

const LanguageTable &chinese()
{
    static const LanguageTable t;
    return t;
}

} // namespace

TEST(MqttDialog, ReadsAPortSavesEveryFieldAndReadsTheChangeBack)
{
    Servers s;
    auto d = std::make_unique<MqttDialog>(s.target(0, 2), chinese(), s.options());
    EXPECT_EQ(d->windowTitle(), QStringLiteral("PORT3 MQTT"));
    EXPECT_FALSE(d->saveButton()->isEnabled()); // until the answer
    ASSERT_TRUE(settled(*d));
    EXPECT_TRUE(d->saveButton()->isEnabled());
    EXPECT_EQ(d->edit(0x0A)->text(), QStringLiteral("mqtt.example.net"));
    EXPECT_EQ(d->portEdit()->text(), QStringLiteral("1883"));

    d->edit(0x0A)->setText(QString(127, QLatin1Char('s')));
    d->edit(0x0C)->setText(u("用户"));
    d->portEdit()->setText(QStringLiteral("8883x")); // the leading number
    d->keepAliveEdit()->setText(QStringLiteral("abc"));
    d->qosList()->setCurrentIndex(2);
    d->versionList()->setCurrentIndex(3);
    d->alibabaBox()->click();
    d->makerBox()->click(); // clears the other cloud
    EXPECT_FALSE(d->alibabaBox()->isChecked());
    d->enableBox()->setChecked(true);
    d->save();
    EXPECT_EQ(d->statusText(), u("正在保存..."));
    ASSERT_TRUE(settled(*d));
    EXPECT_EQ(d->statusText(), u("保存成功"));
    EXPECT_EQ(s.get(0, QStringLiteral("port3.tlv.0a")), QByteArray(127, 's'));
    EXPECT_EQ(s.get(0, QStringLiteral("port3.tlv.0c")), QByteArray("\xd3\xc3\xbb\xa7")); // GBK
    EXPECT_EQ(s.get(0, QStringLiteral("port3.tlv.0b")), QByteArray("\x22\xb3", 2));
    EXPECT_EQ(s.get(0, QStringLiteral("port3.tlv.0f")), QByteArray(2, 0));
    EXPECT_EQ(s.get(0, QStringLiteral("port3.tlv.15")), QByteArray(1, 2));
    EXPECT_EQ(s.get(0, QStringLiteral("port2.tlv.1a")), QByteArray(1, 0)); // another port untouched

    auto again = std::make_unique<MqttDialog>(s.target(0, 2), chinese(), s.options());
    ASSERT_TRUE(settled(*again));
    const MqttSettings read = again->collect();
    EXPECT_EQ(read, d->collect());
    EXPECT_TRUE(again->makerBox()->isChecked());
    EXPECT_EQ(again->versionList()->currentIndex(), 3);
}

TEST(MqttDialog, RefusesTextsThatDoNotFitBeforeSendingAnything)
{
    Servers s;
    MqttDialog d(s.target(1, 0), chinese(), s.options());
    ASSERT_TRUE(settled(d));
    const long long saves = s.counter(1, "tlv-saves");
    d.edit(0x0A)->setText(QString(128, QLatin1Char('s')));
    d.edit(0x12)->setText(QString(65, QLatin1Char('t')));
    d.save();
    d.edit(0x0A)->clear();
    d.save();
    d.debugButton()->click();
    EXPECT_EQ(s.messages, QStringList({u("服务器IP长度超过128"), u("遗嘱TOPIC 长度超过 65"),
                                       u("如果想退出调试，请重启设备即可"), u("遗嘱TOPIC 长度超过 65")}));
    EXPECT_FALSE(d.waiting());
    EXPECT_EQ(s.counter(1, "tlv-saves"), saves);
    EXPECT_EQ(s.counter(1, "debug-runs"), 0);
}

TEST(MqttDialog, DebugRunStartsTheServerAndOpensTheDebugView)
{
    Servers s;
    MqttDialog d(s.target(1, 1), chinese(), s.options());
    ASSERT_TRUE(settled(d));
    d.debugButton()->click();
    EXPECT_FALSE(d.debugButton()->isEnabled());
    ASSERT_TRUE(settled(d));
    EXPECT_EQ(d.statusText(), u("启动成功"));
    EXPECT_EQ(s.counter(1, "debug-runs"), 1);
    EXPECT_EQ(s.debugViews, 1);
    EXPECT_TRUE(d.debugButton()->isEnabled());
}

TEST(SubDialogs, ReportSilentMalformedAndForeignAnswersWithTheirTexts)
{
    struct Case
    {
        const char *knob, *value;
        bool foreign; // the reply comes from another address than the device's
        const char *status, *message;
    };
    const Case cases[] = {
        {"silent", "1", false, "读取参数失败！", nullptr}, {"tlv-malformed", "1", false, "", "长度太短"},
        {"tlv-malformed", "2", false, "", "协议头错误"},   {"tlv-malformed", "3", false, "", "协议尾错误"},
        {"silent", "0", true, "读取参数失败！", nullptr},
    };
    for (const Case &c : cases) {
        Servers s;
        s.knob(1, c.knob, c.value);
        SubDialogTarget target = s.target(1, 0);
        if (c.foreign) target.deviceAddress = QStringLiteral("127.0.0.9");
        std::vector<std::unique_ptr<SubDialog>> dialogs;
        dialogs.push_back(std::make_unique<MqttDialog>(target, chinese(), s.options(300)));
        dialogs.push_back(std::make_unique<ModbusCacheDialog>(target, chinese(), s.options(300)));
        dialogs.push_back(std::make_unique<HeartbeatDialog>(target, chinese(), s.options(300)));
        for (auto &d : dialogs) {
            ASSERT_TRUE(settled(*d));
            EXPECT_EQ(d->statusText(), u(c.status)) << c.knob << c.value;
        }
        // One box of a kind at a time: the recorder closes each at once.
        const QStringList expected = c.message ? QStringList(3, u(c.message)) : QStringList();
        EXPECT_EQ(s.messages, expected) << c.knob << c.value;
    }
}

TEST(SubDialogs, SaysSavesAndRunsFailWhenTheServerStaysSilent)
{
    Servers s;
    MqttDialog mqtt(s.target(1, 0), chinese(), s.options(300));
    ModbusCacheDialog cache(s.target(1, 0), chinese(), s.options(300));
    HeartbeatDialog beat(s.target(1, 0), chinese(), s.options(300));
    for (SubDialog *d : std::initializer_list<SubDialog *>{&mqtt, &cache, &beat})
        ASSERT_TRUE(settled(*d));
    s.knob(1, "silent", "1");
    const std::pair<std::function<void()>, const char *> runs[] = {
        {[&] { mqtt.save(); }, "保存失败！"},  {[&] { mqtt.debugButton()->click(); }, "启动失败"},
        {[&] { cache.save(); }, "保存失败！"}, {[&] { cache.debugButton()->click(); }, "启动失败"},
        {[&] { beat.save(); }, "保存失败！"},
    };
    for (const auto &[run, text] : runs) {
        run();
        for (SubDialog *d : std::initializer_list<SubDialog *>{&mqtt, &cache, &beat})
            ASSERT_TRUE(settled(*d));
        const bool found =
            mqtt.statusText() == u(text) || cache.statusText() == u(text) || beat.statusText() == u(text);
        EXPECT_TRUE(found) << text;
    }
    EXPECT_EQ(s.debugViews, 0);
}

TEST(ModbusCacheDialog, OnlineSavesWrappedNumbersClonesAndOffersCloneOnlyWhilePortsDiffer)
{
    Servers s;
    ModbusCacheDialog d(s.target(1, 2), chinese(), s.options());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("PORT3 MODBUS"));
    ASSERT_TRUE(settled(d));
    EXPECT_EQ(d.periodEdit()->text(), QStringLiteral("1"));
    EXPECT_FALSE(d.cloneButton()->isEnabled()); // all ports alike

    d.periodEdit()->clear();
    QTest::keyClicks(d.periodEdit(), QStringLiteral("300"));
    EXPECT_TRUE(d.cloneButton()->isEnabled());
    d.delayEdit()->setText(QStringLiteral("1500"));
    d.enableBox()->click();
    d.save();
    ASSERT_TRUE(settled(d));
    EXPECT_EQ(d.statusText(), u("保存成功"));
    EXPECT_EQ(s.get(1, QStringLiteral("port3.tlv.5e")), QByteArray(1, 44)); // 300 modulo 256
    EXPECT_EQ(s.get(1, QStringLiteral("port3.tlv.64")), QByteArray("\x05\xdc", 2));
    EXPECT_EQ(s.get(1, QStringLiteral("port3.tlv.1d")), QByteArray(1, 1));

    ModbusCacheDialog reread(s.target(1, 2), chinese(), s.options());
    ASSERT_TRUE(settled(reread));
    EXPECT_EQ(reread.periodEdit()->text(), QStringLiteral("44"));
    EXPECT_TRUE(reread.cloneButton()->isEnabled());
    EXPECT_EQ(reread.learnedCommands()->toPlainText(),
              QStringLiteral("01 03 00 00 00 0a \n")); // the edit keeps lines, not their ends
    reread.clone();
    ASSERT_TRUE(settled(reread));
    EXPECT_EQ(reread.statusText(), u("克隆成功"));
    EXPECT_FALSE(reread.cloneButton()->isEnabled());
    for (int port = 1; port <= 8; ++port)
        EXPECT_EQ(s.get(1, QStringLiteral("port%1.tlv.5e").arg(port)), QByteArray(1, 44)) << port;
    EXPECT_EQ(s.get(1, QStringLiteral("port9.tlv.5e")), QByteArray(1, 1)); // beyond the device's ports
}

TEST(ModbusCacheDialog, LegacyModeEditsOnlyTheFlagsOfPortsOneToFour)
{
    Servers s;
    ModbusCacheDialog d(
        s.target(2, 1), chinese(),
        ModbusCacheDialog::LegacyFlags{kCacheFlagOff, kCacheFlagOn, kCacheFlagOff, kCacheFlagOff},
        s.options());
    EXPECT_FALSE(d.waiting()); // nothing is read
    EXPECT_TRUE(d.enableBox()->isChecked());
    EXPECT_TRUE(d.periodEdit()->isHidden());
    EXPECT_TRUE(d.debugButton()->isHidden());
    EXPECT_EQ(d.saveButton()->text(), u("确定"));
    EXPECT_TRUE(d.cloneButton()->isEnabled());
    d.enableBox()->click();
    EXPECT_FALSE(d.cloneButton()->isEnabled());
    d.enableBox()->click();
    d.clone();
    EXPECT_EQ(d.legacyFlags(),
              (ModbusCacheDialog::LegacyFlags{kCacheFlagOn, kCacheFlagOn, kCacheFlagOn, kCacheFlagOn}));
    QSignalSpy accepted(&d, &QDialog::accepted);
    d.save();
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(s.counter(2, "datagrams-in"), 0);
}

TEST(HeartbeatDialog, SavesHexOrTextPacketsAndRefusesWhatIsNoHexOrTooLong)
{
    Servers s;
    HeartbeatDialog d(s.target(1, 0), chinese(), s.options());
    ASSERT_TRUE(settled(d));
    EXPECT_TRUE(d.hexBox()->isChecked());
    d.enableBox()->setChecked(true);
    d.packetEdit(0)->setText(QStringLiteral("41 42 43"));
    d.packetEdit(1)->setText(QStringLiteral("4142 4"));
    d.packetEdit(9)->setText(QStringLiteral("ff")); // beyond the 8 ports: not sent
    d.save();
    ASSERT_TRUE(settled(d));
    EXPECT_EQ(d.statusText(), u("保存成功"));
    EXPECT_EQ(s.get(1, QStringLiteral("tlv.0c")), QByteArray(1, 1));
    EXPECT_EQ(s.get(1, QStringLiteral("port1.tlv.60")), QByteArray("ABC"));
    EXPECT_EQ(s.get(1, QStringLiteral("port2.tlv.60")), QByteArray("AB\x04"));
    EXPECT_EQ(s.get(1, QStringLiteral("port3.tlv.60")), QByteArray());
    EXPECT_EQ(s.get(1, QStringLiteral("port10.tlv.60")), QByteArray());

    d.hexBox()->setChecked(false);
    EXPECT_EQ(d.packetEdit(0)->text(), QStringLiteral("ABC"));
    d.hexBox()->setChecked(true);
    EXPECT_EQ(d.packetEdit(0)->text(), QStringLiteral("41 42 43 "));

    const long long saves = s.counter(1, "tlv-saves");
    d.packetEdit(2)->setText(QStringLiteral("12G4"));
    d.save();
    d.packetEdit(2)->setText(QString(98, QLatin1Char('3'))); // 49 bytes
    d.save();
    d.packetEdit(2)->setText(QString(96, QLatin1Char('3'))); // 48 bytes
    d.save();
    ASSERT_TRUE(settled(d));
    EXPECT_EQ(s.messages,
              QStringList({QStringLiteral("Please type hex number"), QStringLiteral("heartbead size < 48")}));
    EXPECT_EQ(s.counter(1, "tlv-saves"), saves + 1);

    HeartbeatDialog reread(s.target(1, 0), chinese(), s.options());
    ASSERT_TRUE(settled(reread));
    EXPECT_TRUE(reread.enableBox()->isChecked());
    EXPECT_EQ(reread.packetEdit(1)->text(), QStringLiteral("41 42 04 "));
    EXPECT_EQ(reread.packetEdit(2)->text().size(), 48 * 3);
}
