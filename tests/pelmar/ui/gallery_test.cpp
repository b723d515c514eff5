// The gallery: the main window showing a short-frame, a WiFi362, a 24-port
// multi-port and a native two-port server, in Chinese and English, with and
// without the advanced column, and with an imported parameter file beside
// one-click, as PNG files under the build folder.
#include "tests/pelmar/ui/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QImage>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

QString galleryDir()
{
    const QString dir = QString::fromUtf8(KYVO_GALLERY_DIR);
    QDir().mkpath(dir);
    return dir;
}

// Writes the window's picture; the picture must hold more than a blank.
void shoot(QWidget *widget, const QString &name)
{
    QCoreApplication::processEvents();
    const QImage image = widget->grab().toImage();
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8) << name.toStdString();
    const QString path = galleryDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    ASSERT_TRUE(image.save(path)) << path.toStdString();
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
                shoot(b.window.get(), QStringLiteral("pelmar-%1-%2%3")
                                          .arg(QLatin1String(names[i]), QLatin1String(language),
                                               advanced ? QStringLiteral("-advanced") : QString()));
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
        shoot(b.window.get(), QStringLiteral("pelmar-oneclick-%1-advanced").arg(QLatin1String(language)));
        ui.englishItem->trigger();
    }
}
