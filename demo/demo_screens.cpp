// Screenshots for the demo: each tool's main window after a search in the
// lab, saved as PNG files. Refuses to run outside the lab (it broadcasts).
#include "vorlet/app/app_options.h"

#include "common/netns.h"
#include "common/settings_paths.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void runFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget &window, const QString &path)
{
    window.resize(window.sizeHint().expandedTo(QSize(1200, 760)));
    runFor(300);
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}

bool vorletScreen(const QString &folder, char letter)
{
    vorlet::CvorletDlg::Options options = vorlet::programOptions();
    QTemporaryDir settings;
    options.settingsPath = settings.filePath(QStringLiteral("hx.ini"));
    vorlet::SearchSettings s;
    s.lang = letter;
    vorlet::saveSearchSettings(s, options.settingsPath);
    vorlet::CvorletDlg window(std::move(options));
    window.show();
    window.onSearch();
    runFor(2500);
    if (window.core().devices().count() > 0) window.controls().deviceList->selectRow(0);
    std::printf("vorlet found %zu gateways\n", window.core().devices().count());
    const bool saved =
        save(window, folder + (letter == 'e' ? QStringLiteral("/vorlet-en.png") : QStringLiteral("/vorlet.png")));
    return saved && window.core().devices().count() > 0;
}

// The offscreen platform says for every window that it cannot pass size
// hints on; for pictures that is no news, and it is not shown.
QtMessageHandler g_previousHandler = nullptr;

void quietOffscreenNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

#ifdef KYVO_DEMO_PELMAR
bool pelmarScreens(const QString &folder); // pelmar_screens.cpp
#endif

int main(int argc, char **argv)
{
    g_previousHandler = qInstallMessageHandler(quietOffscreenNotes);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kyvo-demo"));
    if (!kyvo::inPrivateNetworkNamespace()) {
        std::fprintf(stderr, "demo-screens searches by broadcast: run it through tools/demo\n");
        return 77;
    }
    const QString folder = app.arguments().value(1, QStringLiteral("demo"));
    QDir().mkpath(folder);
    QTemporaryDir root;
    kyvo::setSettingsRootForTesting(root.path()); // the demo leaves the user's settings alone
    bool ok = vorletScreen(folder, 'c') && vorletScreen(folder, 'e');
#ifdef KYVO_DEMO_PELMAR
    ok = pelmarScreens(folder) && ok;
#endif
    return ok ? 0 : 1;
}
