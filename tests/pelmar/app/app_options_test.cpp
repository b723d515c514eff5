// The program's window: the firmware upgrade behind its menu item, and the
// product selection item opening our page (recorded, never opened here),
// the debug view a debug run opens.
#include "pelmar/app/app_options.h"

#include "pelmar/files/firmware_upgrade_dialog.h"
#include "pelmar/ui/server_window_controls.h"
#include "tests/support/test_support.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

// The program's options on loopback, with the settings in `dir`.
ServerConfigDialog::Options loopbackProgramOptions(const QTemporaryDir &dir)
{
    ServerConfigDialog::Options options = programOptions();
    options.core.localPort = 0;
    options.core.broadcastAddress = QStringLiteral("127.0.0.250");
    options.languageFile = dir.filePath(QStringLiteral("kyvo.ini"));
    options.adapters = QList<AdapterItem>{};
    return options;
}

} // namespace

TEST(PelmarProgram, TheUpgradeMenuItemOpensTheUpgradeDialogOnTheMenuTarget)
{
    QTemporaryDir dir;
    ServerConfigDialog::Options options = loopbackProgramOptions(dir);
    ServerConfigDialog window(std::move(options));
    ASSERT_TRUE(window.controls().upgradeItem->isEnabled());
    window.controls().upgradeItem->trigger();
    FirmwareUpgradeDialog *dialog = nullptr;
    ASSERT_TRUE(testsupport::waitFor([&] {
        dialog = window.findChild<FirmwareUpgradeDialog *>();
        return dialog != nullptr;
    }));
    EXPECT_EQ(dialog->targetEdit()->text(), QStringLiteral("192.168.1.253"));
    dialog->close(); // nothing is started: the target lies outside loopback
}

TEST(PelmarProgram, TheProductSelectionItemOpensTheProgramsPage)
{
    QTemporaryDir dir;
    QList<QUrl> opened;
    ServerConfigDialog::Options options = loopbackProgramOptions(dir);
    options.openUrl = [&](const QUrl &url) { opened << url; };
    ServerConfigDialog window(std::move(options));
    QAction *item = window.controls().productItem;
    ASSERT_TRUE(window.menuBar()->actions().contains(item));
    EXPECT_EQ(item->text(), QString::fromUtf8("凯沃物联串口服务器选型"));
    item->trigger();
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QString::fromLatin1(kProductSelectionPage))});
}

TEST(PelmarProgram, ADebugRunOpensTheDebugViewInTheWindowsLanguageAndReportsItsClose)
{
    QTemporaryDir dir;
    ServerConfigDialog::Options options = loopbackProgramOptions(dir);
    ServerConfigDialog window(std::move(options));
    auto *asking = new QDialog(&window); // stands for the MQTT dialog
    int closed = 0;
    DebugViewOptions view;
    view.port = 0;
    debugViewOpener(view)(asking, [&] { ++closed; });
    auto *dialog = asking->findChild<DebugViewDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(closed, 0);
    dialog->reject();
    EXPECT_EQ(closed, 1);

    QDialog alone; // no main window: nothing opens, the caller is told at once
    debugViewOpener(view)(&alone, [&] { ++closed; });
    EXPECT_EQ(alone.findChild<DebugViewDialog *>(), nullptr);
    EXPECT_EQ(closed, 2);
}
