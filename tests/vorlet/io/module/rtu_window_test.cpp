// "RTU设置" against a simulated gateway with an I/O module on loopback: live
// values on screen, relay commands reaching the module, settings saved into
// the gateway, the module firmware download and the ADC calibration.
#include "vorlet/io/module/module_wiring.h"

#include "tests/vorlet/ui/window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <atomic>

using namespace vorlet;
using namespace uitest;
using testsupport::waitFor;

namespace {

// The gateway's module runs on the test's time; the dialog on its own manual clock.
struct ModuleBench
{
    ModuleBench()
    {
        auto g = gateway(5);
        g.ioModule = true;
        g.ioClockMs = [this] { return moduleMs.load(); };
        WindowOptions o;
        o.gateways = {g};
        o.configure = [this](CvorletDlg::Options &w) {
            RtuEnvironment env;
            env.clock = &clock;
            env.message = [this](QWidget *, const QString &text) { messages << text; };
            env.openFile = [this](QWidget *, const QString &) { return chosen; };
            addIoModulePanel(w, env);
        };
        bench = std::make_unique<WindowBench>(o);
    }

    rtu *open()
    {
        if (!bench->search()) return nullptr;
        auto *button = bench->control<QPushButton>(kIoModuleButton);
        if (!button || !button->isEnabled()) return nullptr;
        button->click();
        return bench->window->findChild<rtu *>();
    }
    void advance(rtu *d, int ms)
    {
        clock.advance(kyvo::Millis{ms});
        d->poll();
    }
    // One status query answered, then one redraw.
    bool refresh(rtu *d)
    {
        QSignalSpy answered(&bench->window->core(), &GatewayCore::liveIoUpdated);
        advance(d, 500);
        if (!waitFor([&] { return answered.count() > 0; })) return false;
        advance(d, 100);
        return true;
    }
    QByteArray item(const char *path) { return bench->item(0, path); }

    std::atomic<std::int64_t> moduleMs{0};
    kyvo::ManualClock clock;
    QStringList messages;
    QString chosen;
    std::unique_ptr<WindowBench> bench;
};

} // namespace

TEST(IoModuleSim, RelaysFollowTheirCodesAndCountersClear)
{
    std::int64_t t = 0;
    devsim::IoModuleSim m([&t] { return t; });
    m.takeWrite(0x90, testsupport::hex("01 01 00 03 02 03 03 03 03 03 03 03 03 03 03 02"));
    EXPECT_EQ(testsupport::toHex(m.relays()), "01 01 00 00 01 00 00 00 00 00 00 00 00 00 00 01");
    t = 4000; // X1 (400 ms a half) has risen five times
    EXPECT_EQ(m.counter(0, t), 5);
    EXPECT_EQ(m.liveStatus({})[32 + 3], 5); // the low byte of X1's big-endian counter
    m.takeWrite(0x91, testsupport::hex("00"));
    EXPECT_EQ(m.counter(0, t), 0);
    EXPECT_EQ(m.counter(0, t + 800), 1);
    EXPECT_FALSE(m.takeWrite(0x92, testsupport::hex("00 01 00 14")));
}

TEST(RtuWindow, LiveValuesChangeOnScreenWhileTheDialogIsOpen)
{
    ModuleBench m;
    rtu *d = m.open();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    qobject_cast<QCheckBox *>(findControl(d, 1053))->setChecked(true);
    m.moduleMs = 500; // X1 active, one pulse, A1 rising
    ASSERT_TRUE(m.refresh(d));
    EXPECT_TRUE(d->inputShowsActive(0));
    EXPECT_EQ(d->counterText(0), QStringLiteral("1"));
    EXPECT_EQ(d->analogText(0, 0), QStringLiteral("511"));
    EXPECT_EQ(d->analogText(1, 0), QStringLiteral("0.623"));
    m.moduleMs = 900;
    ASSERT_TRUE(m.refresh(d));
    EXPECT_FALSE(d->inputShowsActive(0));
    EXPECT_TRUE(d->inputShowsActive(1));
    EXPECT_EQ(d->analogText(0, 0), QStringLiteral("921"));
    m.moduleMs = 1300;
    ASSERT_TRUE(m.refresh(d));
    EXPECT_EQ(d->counterText(0), QStringLiteral("2"));
    d->reject();
}

TEST(RtuWindow, RelayCommandsSwitchTheModulesRelays)
{
    ModuleBench m;
    rtu *d = m.open();
    ASSERT_NE(d, nullptr);
    d->relayButton(1)->click();
    ASSERT_TRUE(waitFor(
        [&] { return m.item("io.relays").toHex(' ') == "00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00"; }));
    d->switchAll(true);
    ASSERT_TRUE(waitFor([&] { return m.item("io.relays") == QByteArray(16, 1); }));
    d->relayButton(1)->click(); // shows on: opens Y2 only
    ASSERT_TRUE(waitFor([&] { return m.item("io.relays")[1] == 0; }));
    EXPECT_EQ(m.item("io.relays")[0], 1);
    EXPECT_EQ(m.bench->counter(0, "relay-commands"), 3);
}

TEST(RtuWindow, SettingsEditedAndSavedArriveByteForByte)
{
    ModuleBench m;
    rtu *d = m.open();
    ASSERT_NE(d, nullptr);
    auto edits = d->findChildren<QLineEdit *>();
    edits[0]->setText(QStringLiteral("300"));
    edits[1]->setText(QStringLiteral("50"));
    const std::pair<int, bool> checks[] = {
        {1033, false}, {1006, false}, {1007, true}, {3352, true}, {3353, false}};
    for (const auto &[id, on] : checks)
        qobject_cast<QCheckBox *>(findControl(d, id))->setChecked(on);
    qobject_cast<QPushButton *>(findControl(d, 1004))->click();
    m.bench->window->saveParameters();
    ASSERT_TRUE(waitFor([&] { return m.bench->counter(0, "saves") == 1; }));
    const std::pair<const char *, const char *> items[] = {
        {"92", "01 2c 00 32"}, {"93", "00"}, {"95", "00"}, {"98", "01"}, {"9B", "00"}, {"9D", "00 00 01"}};
    for (const auto &[tag, value] : items)
        EXPECT_EQ(m.item(tag).toHex(' '), value) << tag;
}

TEST(RtuWindow, TheModuleTakesTheFirmwareAndTheAcknowledgementEndsTheWait)
{
    ModuleBench m;
    rtu *d = m.open();
    ASSERT_NE(d, nullptr);
    QTemporaryDir dir;
    m.chosen = dir.filePath(QStringLiteral("io.bin"));
    QByteArray image(8192, 0);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);
    QFile file(m.chosen);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();
    for (int i = 0; i < rtu::kServiceClicks; ++i)
        d->clickBlankArea();
    d->chooseFirmware();
    d->startDownload();
    ASSERT_TRUE(waitFor([&] { return m.bench->window->commands().writeAcknowledged(); }));
    EXPECT_EQ(m.item("io.firmware"), image);
    m.advance(d, 100);
    EXPECT_EQ(m.messages, QStringList{u("下载成功")});
}

TEST(RtuWindow, TheCalibrationAnswerReachesTheSelfTestResult)
{
    ModuleBench m;
    rtu *d = m.open();
    ASSERT_NE(d, nullptr);
    QSignalSpy result(&m.bench->window->core(), &GatewayCore::selfTestResult);
    for (int i = 0; i < rtu::kServiceClicks; ++i)
        d->clickBlankArea();
    qobject_cast<QPushButton *>(findControl(d, 1012))->click();
    ASSERT_TRUE(waitFor([&] { return result.count() == 1; }));
    EXPECT_EQ(result[0][0].toString(), QStringLiteral("ok(25) ok(0) ok(0) ok(0) ok(0) ok(0) ok(0) ok(0)"));
}
