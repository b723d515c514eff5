// The advanced dialogs, the repair window and the main window's help
// messages in both languages as pictures under the build folder, each
// fitting a 1366x768 screen at its default size.
#include "common/gbk_text.h"
#include "pelmar/advanced/cloud_dialog.h"
#include "pelmar/advanced/one_to_many_dialog.h"
#include "pelmar/advanced/scan_list_dialog.h"
#include "pelmar/files/message_box.h"
#include "pelmar/files/repair_dialog.h"
#include "pelmar/lang/language_table.h"
#include "pelmar/ui/server_config_dialog.h"
#include "tests/support/gallery.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace pelmar;

namespace {

void shootFitting(QWidget &dialog, const QString &name, const char *caption)
{
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_LE(dialog.width(), 1366) << name.toStdString();
    EXPECT_LE(dialog.height(), 728) << name.toStdString(); // a taskbar below
    testsupport::shoot(&dialog, name, caption);
}

LanguageTable table(const char *language)
{
    LanguageTable t;
    if (QLatin1String(language) == QLatin1String("en")) t.fillEnglish();
    return t;
}

} // namespace

TEST(AdvancedGallery, PortDialogsInBothLanguages)
{
    DeviceEntry entry;
    entry.oneToManyProtocol = 0;
    entry.ports[1].cloudEnable = 1;
    entry.ports[1].cloudId.set("12345678901234567890");
    entry.ports[1].cloudPassword.set("pass1234");
    entry.ports[1].cloudAddress = {10, 77, 0, 2};
    for (const char *language : {"zh", "en"}) {
        const LanguageTable t = table(language);
        OneToManyDialog oneToMany(entry, t);
        const bool english = t.language() == Language::English;
        shootFitting(oneToMany, QStringLiteral("OneToManyDialog-%1").arg(QLatin1String(language)),
                     english ? "Conversion protocol" : "转换协议");
        CloudDialog cloud(entry.ports[1], 2, t, [](QWidget *, const QString &) {});
        shootFitting(cloud, QStringLiteral("CloudDialog-%1").arg(QLatin1String(language)),
                     english ? "Cloud pass-through" : "云透传");
    }
}

TEST(AdvancedGallery, ScanListWithTheNetworksOfAReplyInBothLanguages)
{
    kyvo::ManualClock clock;
    for (const char *language : {"zh", "en"}) {
        const LanguageTable t = table(language);
        ScanListDialog list(t, &clock);
        list.startScan({1, 2, 3});
        list.takeReply(QByteArray("H:R\x9f") +
                       kyvo::toGbk(QString::fromUtf8("plant-floor-wifi&Workshop-2.4G&仓库无线&")) +
                       QByteArray("\x01\x02\x03\x00"
                                  "E.",
                                  6));
        ASSERT_EQ(list.list()->rowCount(), 3);
        shootFitting(list, QStringLiteral("ScanListDialog-%1").arg(QLatin1String(language)), "SCAN");
    }
}

TEST(AdvancedGallery, RepairWindowAndTheMainWindowsHelpMessagesInBothLanguages)
{
    QTemporaryDir dir;
    QStringList texts;
    ServerConfigDialog::Options o;
    o.core.localPort = 0;
    o.core.broadcastAddress = QStringLiteral("127.0.0.250");
    o.languageFile = dir.filePath(QStringLiteral("kyvo.ini"));
    o.adapters = QList<AdapterItem>{};
    o.message = [&](QWidget *, const QString &text, const QString &) { texts << text; };
    ServerConfigDialog window(std::move(o));
    window.toggleAdvanced();
    const ServerWindowControls &ui = window.controls();
    const std::pair<QLabel *, const char *> helps[] = {
        {ui.tips, "tips"}, {ui.helps[0], "onetomany"}, {ui.helps[3], "modbusidentity"}};
    for (const char *language : {"zh", "en"}) {
        for (const auto &[label, name] : helps) {
            texts.clear();
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
            ASSERT_EQ(texts.size(), 1) << name;
            QMessageBox *box = openMessageBox(&window, texts[0], {});
            shootFitting(
                *box, QStringLiteral("QMessageBox-%1-%2").arg(QLatin1String(name), QLatin1String(language)),
                texts[0].left(6).toUtf8().constData());
            box->close();
        }
        kyvo::ManualClock clock;
        RepairDialog repair([] {}, &clock, nullptr, RepairSession::kCountdown, window.language().language());
        repair.start();
        clock.advance(kyvo::Millis{1000});
        repair.poll();
        shootFitting(repair, QStringLiteral("RepairDialog-%1").arg(QLatin1String(language)),
                     QLatin1String(language) == QLatin1String("en") ? "Repairing" : "BUG正在修复中");
        ui.englishItem->trigger();
    }
}
