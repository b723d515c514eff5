// Test entry: one QApplication (offscreen, on a 1366x768 laptop screen) for
// every test program, with the programs' accessible names, and a temporary
// settings folder so no test touches the user's files.
#include "tests/support/test_support.h"

#include "common/settings_paths.h"
#include "common/widgets/accessible_names.h"
#include "common/widgets/qt_translations.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The offscreen platform's screen is 800x600 unless a configuration file
// names another; windows are tried on the smallest screen they must fit.
void useLaptopScreen(const QTemporaryDir &dir)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen") return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString path = dir.filePath(QStringLiteral("screen.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(R"({"windowFrameMargins": true, "screens": [{"name": "laptop", "x": 0, "y": 0,)"
               R"( "width": 1366, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toLocal8Bit());
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir screen;
    useLaptopScreen(screen);
    QApplication app(argc, argv);
    kyvo::AccessibleNames::install(); // as the programs do
    QTemporaryDir settings;
    kyvo::setSettingsRootForTesting(settings.path());
    kyvo::setQtTranslationsFolder(settings.filePath(QStringLiteral("no-qt-translations")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
