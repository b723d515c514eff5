// "RTU设置" inside the lab: a broadcast search finds a gateway with an I/O
// module, the dialog's live values change on screen as the module's do, a
// relay command switches the module's relay, and edited settings saved from
// the main window arrive in the gateway byte for byte.
#include "vorlet/io/module/module_wiring.h"

#include "tests/support/lab.h"
#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace vorlet;
using testsupport::labGet;
using testsupport::waitFor;

TEST(IoModule, LiveValuesRelaysAndSettingsAgainstTheGateway)
{
    LAB_ONLY();
    QTemporaryDir dir;
    QStringList messages;
    CvorletDlg::Options w;
    w.settingsPath = dir.filePath(QStringLiteral("hx.ini"));
    w.programPath = dir.filePath(QStringLiteral("program"));
    w.adapters = [] { return QList<kyvo::AdapterAddress>{}; };
    w.openUrl = [](const QUrl &) {};
    RtuEnvironment env;
    env.message = [&messages](QWidget *, const QString &text) { messages << text; };
    addIoModulePanel(w, env);
    CvorletDlg window(std::move(w));
    window.show();
    window.onSearch();
    ASSERT_TRUE(waitFor([&] { return window.core().devices().count() >= 1 && window.selectedRecord(); }));
    const ParameterRecord &record = *window.selectedRecord();
    const QString mac = devsim::macText(devsim::Mac{record.mac[0], record.mac[1], record.mac[2],
                                                    record.mac[3], record.mac[4], record.mac[5]});

    auto *button = qobject_cast<QPushButton *>(findControl(&window, kIoModuleButton));
    ASSERT_TRUE(button && button->isEnabled());
    button->click();
    rtu *d = window.findChild<rtu *>();
    ASSERT_NE(d, nullptr);

    // The analogue inputs move all the time: three different values in turn.
    qobject_cast<QCheckBox *>(findControl(d, 1053))->setChecked(true);
    QStringList seen{d->analogText(0, 0)};
    ASSERT_TRUE(waitFor([&] {
        if (d->analogText(0, 0) != seen.last()) seen << d->analogText(0, 0);
        return seen.size() >= 3;
    })) << seen.join(QLatin1Char(' ')).toStdString();

    QSignalSpy answers(&window.core(), &GatewayCore::commandResult);
    d->relayButton(4)->click();
    ASSERT_TRUE(
        waitFor([&] { return labGet(mac, QStringLiteral("io.relays")).mid(4, 1) == QByteArray(1, 1); }));
    // The relay's answer comes before the save, so that it cannot end the save.
    ASSERT_TRUE(waitFor([&] { return answers.count() == 1; }));

    auto edits = d->findChildren<QLineEdit *>();
    edits[0]->setText(QStringLiteral("513"));
    edits[1]->setText(QStringLiteral("35"));
    qobject_cast<QCheckBox *>(findControl(d, 1007))->setChecked(true);
    qobject_cast<QCheckBox *>(findControl(d, 3352))->setChecked(true);
    qobject_cast<QCheckBox *>(findControl(d, 3353))->setChecked(false);
    qobject_cast<QPushButton *>(findControl(d, 1004))->click();
    window.saveParameters();
    const QString saved = QString::fromUtf8("保存成功,重启后生效！！！");
    ASSERT_TRUE(waitFor([&] { return window.statusText() == saved; }, 20000))
        << window.statusText().toStdString();
    EXPECT_EQ(testsupport::labCounter(mac, QStringLiteral("saves")), 1);
    EXPECT_EQ(labGet(mac, QStringLiteral("92")).toHex(' '), "02 01 00 23");
    EXPECT_EQ(labGet(mac, QStringLiteral("98")).toHex(' '), "01");
    EXPECT_EQ(labGet(mac, QStringLiteral("9D")).toHex(' '), "00 00 01");
    EXPECT_TRUE(messages.isEmpty());
}
