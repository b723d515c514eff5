// The gallery: the main window showing a short-frame, a WiFi362, a 24-port
// multi-port and a native two-port server, in Chinese and English, with and
// without the advanced column, and with an imported parameter file beside
// one-click, as PNG files under the build folder.
#include "tests/pelmar/ui/window_fixture.h"

#include "tests/support/gallery.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QScreen>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

using testsupport::galleryDir;

const char *searchCaption(const ServerConfigDialog &window)
{
    return window.language().language() == Language::English ? "Search Device" : "搜索设备";
}

} // namespace

TEST(Gallery, TheMainWindowForEachKindOfServerInBothLanguages)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Short, 4, false, 1), server(ServerFamily::Wifi362, 2, true),
                 server(ServerFamily::Multi2326, 24, true), server(ServerFamily::Native, 2, true)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    const char *names[] = {"short4", "wifi362", "multi24", "native2"};
    for (const char *language : {"zh", "en"}) {
        for (bool advanced : {false, true}) {
            if (advanced != b.window->advancedVisible()) {
                b.window->toggleAdvanced();
                QCoreApplication::processEvents();
            }
            for (std::size_t i = 0; i < o.servers.size(); ++i) {
                b.select(i);
                testsupport::shoot(b.window.get(),
                                   QStringLiteral("pelmar-%1-%2%3")
                                       .arg(QLatin1String(names[i]), QLatin1String(language),
                                            advanced ? QStringLiteral("-advanced") : QString()),
                                   searchCaption(*b.window));
            }
        }
        b.window->controls().englishItem->trigger();
    }
    EXPECT_TRUE(QFile::exists(galleryDir() + QStringLiteral("/pelmar-native2-en-advanced.png")));
}

TEST(Gallery, OneClickWithAnImportedFileAndTheModbusAddressRow)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Multi2326, 24, true), server(ServerFamily::Short, 4, false, 1)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    const ServerWindowControls &ui = b.window->controls();
    b.window->toggleAdvanced();
    b.select(0);
    const QString path = b.parameterFolder() + QStringLiteral("/multi24.ini");
    b.fileAnswers << path << path;
    ui.exportItem->trigger();
    ui.importItem->trigger();
    ASSERT_TRUE(ui.oneClick->isEnabled());
    b.select(1);
    if (!ui.modbusTcpToRtu->isChecked()) ui.modbusTcpToRtu->click();
    QTest::mouseClick(ui.modbusMarker, Qt::LeftButton, {}, ui.modbusMarker->rect().center());
    ASSERT_TRUE(ui.modbusAddressRow->isVisibleTo(ui.portGroup));
    for (const char *language : {"zh", "en"}) {
        testsupport::shoot(b.window.get(),
                           QStringLiteral("pelmar-oneclick-%1-advanced").arg(QLatin1String(language)),
                           searchCaption(*b.window));
        ui.englishItem->trigger();
    }
}

TEST(WindowFit, TheWindowAndItsAdvancedColumnFitALaptopInBothLanguages)
{
    BenchOptions o;
    o.servers = {server(ServerFamily::Multi2326, 24, true), server(ServerFamily::Native, 2, true)};
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    ServerConfigDialog &window = *b.window;
    window.show();
    const auto toggle = [&] {
        window.toggleAdvanced();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    for (const char *language : {"zh", "en"}) {
        const QString name = QStringLiteral("pelmar-%1").arg(QLatin1String(language));
        for (std::size_t row : {std::size_t(1), std::size_t(0)}) {
            b.select(row);
            testsupport::expectFitsLaptop(&window, name);
        }
        // ">>" opens the column from whatever width the window has, "<<" gives it back.
        const int available = window.screen()->availableGeometry().width();
        for (int width : {window.width(), window.minimumSizeHint().width(), available - 40}) {
            window.resize(width, window.height());
            QCoreApplication::processEvents();
            const int before = window.width();
            toggle();
            ASSERT_TRUE(window.advancedVisible());
            testsupport::expectFitsLaptop(&window, name + QStringLiteral(" advanced from %1").arg(before));
            EXPECT_GE(window.width(), before) << name.toStdString();
            toggle();
            EXPECT_EQ(window.width(), before) << name.toStdString();
        }
        window.controls().englishItem->trigger();
    }
}
