// The TLV dialogs opened from the main window for the shown server and port,
// the legacy cache flags written back into the entry, the help markers, and
// the gallery of the dialogs in both languages.
#include "pelmar/advanced/tlv_dialogs/cache_dialog.h"
#include "pelmar/advanced/tlv_dialogs/heartbeat_dialog.h"
#include "pelmar/advanced/tlv_dialogs/mqtt_dialog.h"
#include "pelmar/advanced/tlv_dialogs/tlv_dialog_extensions.h"

#include "tests/pelmar/ui/window_fixture.h"
#include "tests/support/gallery.h"

using namespace windowtest;
using devsim::ServerFamily;

namespace {

// A main window whose dialogs reach the bench's servers on loopback.
struct DialogBench
{
    explicit DialogBench(std::vector<devsim::ServerProfile> servers) : bench(BenchOptions{std::move(servers)})
    {
        SubDialogOptions dialogs;
        dialogs.exchange = {QStringLiteral("127.0.0.1"), bench.port, 0, 3000};
        dialogs.saveSettleMs = 0;
        dialogs.message = [this](QWidget *, const QString &text, std::function<void()> closed) {
            messages << text;
            if (closed) closed();
        };
        ServerConfigDialog::Options o;
        addPortTlvDialogs(o, dialogs);
        extensions = o.extensions;
        bench.options.extensions = extensions;
        bench.open();
        EXPECT_TRUE(bench.search());
    }
    template <typename D> D *opened()
    {
        const auto all = bench.window->findChildren<D *>();
        return all.isEmpty() ? nullptr : all.last();
    }
    void clickLabel(QLabel *label) { QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center()); }

    WindowBench bench;
    std::map<int, ServerConfigDialog::Extension> extensions;
    QStringList messages;
};

bool settled(SubDialog *d)
{
    return d && testsupport::waitFor([&] { return !d->waiting(); }, 8000);
}

} // namespace

TEST(TlvDialogsInTheWindow, OpenForTheShownServerAndPort)
{
    DialogBench b({server(ServerFamily::Multi2326, 24, true)});
    const ServerWindowControls &ui = b.bench.window->controls();
    b.bench.select(0);
    b.bench.choosePort(2);
    b.bench.window->toggleAdvanced();
    ASSERT_TRUE(ui.mqtt->isEnabled());
    ui.mqtt->click();
    auto *mqtt = b.opened<MqttDialog>();
    ASSERT_TRUE(settled(mqtt));
    EXPECT_EQ(mqtt->windowTitle(), QStringLiteral("PORT3 MQTT"));
    EXPECT_EQ(mqtt->target().mac, b.bench.entry(0).mac);
    EXPECT_EQ(mqtt->target().portCount, 24);
    EXPECT_EQ(mqtt->edit(0x0A)->text(), QStringLiteral("mqtt.example.net"));
    mqtt->close();

    ASSERT_TRUE(ui.heartbeatPackets->isVisible());
    b.clickLabel(ui.heartbeatPackets);
    ASSERT_TRUE(settled(b.opened<HeartbeatDialog>()));
    b.opened<HeartbeatDialog>()->close();

    b.extensions[control::kModbusCache].open(*b.bench.window, &b.bench.entry(0));
    auto *cache = b.opened<ModbusCacheDialog>();
    ASSERT_TRUE(settled(cache));
    EXPECT_TRUE(cache->online());

    ui.standardMqtt->click();
    EXPECT_EQ(b.bench.entry(0).ports[2].standardMqtt, 1);
}

TEST(TlvDialogsInTheWindow, LegacyCacheEditsTheEntrysFlagsOfPortsOneToFour)
{
    DialogBench b({server(ServerFamily::Native, 16, true)});
    b.bench.select(0);
    DeviceEntry &e = b.bench.entry(0);
    const auto open = [&] { b.extensions[control::kModbusCache].open(*b.bench.window, &e); };
    b.bench.choosePort(4); // port 5: nothing opens
    open();
    EXPECT_EQ(b.opened<ModbusCacheDialog>(), nullptr);
    b.bench.choosePort(1);
    e.ports[1].modbusCacheByte = kCacheFlagOff;
    open();
    auto *cache = b.opened<ModbusCacheDialog>();
    ASSERT_NE(cache, nullptr);
    EXPECT_FALSE(cache->online());
    cache->enableBox()->click();
    cache->saveButton()->click();
    EXPECT_EQ(e.ports[1].modbusCacheByte, kCacheFlagOn);
    EXPECT_EQ(e.ports[4].modbusCacheByte, 0);
}

TEST(TlvDialogsInTheWindow, HelpMarkersExplainMqttAndTheCache)
{
    DialogBench b({server(ServerFamily::Multi1284, 8, false)});
    b.bench.window->toggleAdvanced();
    for (QLabel *help : b.bench.window->controls().helps) {
        const int id = help->property(kControlIdProperty).toInt();
        if (id == kMqttHelp || id == kModbusCacheHelp) b.clickLabel(help);
    }
    EXPECT_EQ(b.messages,
              QStringList({mqttHelpText(Language::Chinese), modbusCacheHelpText(Language::Chinese)}));
    EXPECT_TRUE(b.messages.value(0).startsWith(u("支持标准的MQTT")));
}

TEST(TlvDialogsGallery, EveryDialogInBothLanguages)
{
    DialogBench b({server(ServerFamily::Multi2326, 24, true)});
    SubDialogOptions o;
    o.exchange = {QStringLiteral("127.0.0.1"), b.bench.port, 0, 3000};
    const SubDialogTarget target = subDialogTarget(*b.bench.window, b.bench.entry(0));
    for (Language language : {Language::Chinese, Language::English}) {
        LanguageTable t;
        t.fill(language);
        const QString suffix = language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
        std::vector<std::pair<std::unique_ptr<SubDialog>, QString>> dialogs;
        dialogs.emplace_back(std::make_unique<MqttDialog>(target, t, o), QStringLiteral("mqttdialog"));
        dialogs.emplace_back(std::make_unique<ModbusCacheDialog>(target, t, o),
                             QStringLiteral("modbuscachedialog"));
        dialogs.emplace_back(
            std::make_unique<ModbusCacheDialog>(target, t, ModbusCacheDialog::LegacyFlags{kCacheFlagOn}, o),
            QStringLiteral("modbuscachedialog-legacy"));
        dialogs.emplace_back(std::make_unique<HeartbeatDialog>(target, t, o),
                             QStringLiteral("heartbeatdialog"));
        for (auto &[dialog, name] : dialogs) {
            ASSERT_TRUE(settled(dialog.get()));
            dialog->show();
            // Every dialog fits a 1366x768 screen.
            EXPECT_LE(dialog->width(), 1366) << name.toStdString();
            EXPECT_LE(dialog->height(), 728) << name.toStdString();
            const bool legacy = name.endsWith(QStringLiteral("legacy")); // its button is "确定"
            const bool english = language == Language::English;
            testsupport::shoot(dialog.get(), name + QLatin1Char('-') + suffix,
                               legacy ? (english ? "OK" : "确定") : (english ? "Save" : "保存"));
        }
    }
}
