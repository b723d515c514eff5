// The gallery: the main window (serial gateway, CAN gateway, WiFi off) in
// Chinese and English, the range editor and the cross-router progress, as
// PNG files under the build folder for a person to look at.
#include "tests/vorlet/ui/window_fixture.h"

#include "tests/support/gallery.h"

#include "vorlet/services/service_panels.h"
#include "vorlet/ui/address_edit.h"
#include "vorlet/ui/route.h"
#include "vorlet/ui/search.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

using namespace vorlet;
using namespace uitest;
using testsupport::waitFor;

namespace {

using testsupport::galleryDir;
using testsupport::shoot;

WindowOptions galleryOptions()
{
    auto serial = gateway(5);
    serial.pollEntries = 8;
    auto can = gateway(6, true, false);
    auto wired = gateway(7, false, false);
    wired.ioModule = true;
    WindowOptions o;
    o.gateways = {serial, can, wired};
    o.panels = false;
    ServiceOptions services;
    services.showMessage = [](QWidget *, const QString &) {};
    services.runDialog = [](QDialog &) { return 0; };
    o.panelFactories = servicePanelFactories(services);
    return o;
}

TEST(Gallery, MainWindowInBothLanguages)
{
    WindowBench b(galleryOptions());
    ASSERT_TRUE(b.search());
    const std::pair<int, const char *> shots[] = {{0, "serial"}, {1, "can"}, {2, "wifi-off"}};
    for (const char *language : {"zh", "en"}) {
        for (const auto &[row, name] : shots) {
            b.select(row);
            shoot(b.window.get(),
                  QStringLiteral("main-%1-%2").arg(QLatin1String(name), QLatin1String(language)),
                  b.window->language().isEnglish() ? "SAVE" : "保存");
        }
        b.window->toggleLanguage();
    }
    EXPECT_TRUE(QFile::exists(galleryDir() + QStringLiteral("/main-can-en.png")));
}

TEST(Gallery, RangeEditorAndSearchProgress)
{
    WindowBench b(galleryOptions());
    b.window->settings().ranges.add(0xC0A80101u, 0xC0A801FEu);
    b.window->settings().ranges.add(0x0A4D0101u, 0x0A4D0F0Au);
    for (const char *language : {"zh", "en"}) {
        Q_EMIT b.control<QLabel>(1084)->linkActivated(QStringLiteral("#"));
        auto *editor = b.window->findChild<route *>();
        ASSERT_NE(editor, nullptr);
        editor->startEdit()->setText(QStringLiteral("172.16.0.1"));
        editor->endEdit()->setText(QStringLiteral("172.16.3.254"));
        editor->list()->topLevelItem(0)->setSelected(true);
        shoot(editor, QStringLiteral("route-%1").arg(QLatin1String(language)),
              b.window->language().isEnglish() ? "START IP" : "开始IP");
        editor->accept();
        delete editor;
        b.window->toggleLanguage();
    }

    // A sweep over loopback addresses only.
    b.window->settings().ranges.clear();
    b.window->settings().ranges.add(loopback(5), loopback(5) + 3000);
    b.control<QCheckBox>(1006)->click();
    b.control<QPushButton>(1003)->click();
    QPointer<search> progress = b.window->findChild<search *>();
    ASSERT_TRUE(progress);
    ASSERT_TRUE(waitFor([&] { return b.window->core().sweep()->done() >= 30; }));
    shoot(progress, QStringLiteral("search"), "Button1");
    progress->stop();
    ASSERT_TRUE(waitFor([&] { return progress.isNull(); }));
}

} // namespace

namespace {

// The widths of the window's groups and of the device list.
std::vector<int> groupWidths(const MainWindowControls &ui)
{
    return {ui.deviceList->width(),   ui.channels[0].group->width(), ui.channels[1].group->width(),
            ui.networkGroup->width(), ui.wifiGroup->width(),         ui.serialGroup->width(),
            ui.advancedGroup->width()};
}

} // namespace

TEST(WindowFit, DefaultSizeFitsALaptopInBothLanguagesWithStableGroups)
{
    WindowBench b(galleryOptions());
    ASSERT_TRUE(b.search());
    b.window->show();
    const MainWindowControls &ui = b.window->controls();
    for (const char *language : {"zh", "en"}) {
        const QString name = QStringLiteral("main-%1").arg(QLatin1String(language));
        testsupport::expectFitsLaptop(b.window.get(), name);
        const std::vector<int> widths = groupWidths(ui);
        for (int row : {0, 1, 2, 0}) {
            b.select(row);
            QComboBox *mode = ui.channels[0].workMode;
            for (int index = 0; index < mode->count(); ++index) {
                choose(mode, index);
                testsupport::expectFitsLaptop(b.window.get(), name + QStringLiteral(" mode %1").arg(index));
                EXPECT_EQ(groupWidths(ui), widths) << "device " << row << " mode " << index;
            }
        }
        b.window->toggleLanguage();
    }
}

TEST(WindowFit, TheDeviceListShowsEveryColumnAtTheDefaultSize)
{
    WindowBench b(galleryOptions());
    ASSERT_TRUE(b.search());
    b.window->show();
    const MainWindowControls &ui = b.window->controls();
    for (const char *language : {"zh", "en"}) {
        QCoreApplication::processEvents();
        QHeaderView *header = ui.deviceList->horizontalHeader();
        EXPECT_LE(header->length(), ui.deviceList->viewport()->width()) << language;
        EXPECT_FALSE(ui.deviceList->horizontalScrollBar()->isVisible()) << language;
        b.window->toggleLanguage();
    }
}
