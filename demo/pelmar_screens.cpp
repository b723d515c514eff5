// The serial-server tool's screenshots for the demo: its main window after a
// broadcast search in the lab, a multi-port server selected, in Chinese and
// in English, with the advanced column open in the Chinese one.
#include "pelmar/app/app_options.h"

#include "pelmar/core/server_core.h"
#include "pelmar/model/conversions.h"
#include "pelmar/ui/server_window_controls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Lets the window work until done() or the time is up.
bool runUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (done()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// The row of the server with the most ports, which shows the most.
int widestRow(pelmar::ServerConfigDialog &window)
{
    const auto &table = window.core().devices();
    int best = -1, bestPorts = -1;
    for (std::size_t i = 0; i < pelmar::DeviceTable::kSlots; ++i) {
        const pelmar::DeviceEntry &e = table.at(i);
        if (!e.present) continue;
        const int ports = int(pelmar::usablePortCount(e));
        if (ports > bestPorts) {
            best = int(i);
            bestPorts = ports;
        }
    }
    return best;
}

bool pelmarScreen(const QString &folder, pelmar::Language language)
{
    QTemporaryDir settings;
    pelmar::ServerConfigDialog::Options options = pelmar::programOptions();
    options.languageFile = settings.filePath(QStringLiteral("kyvo.ini"));
    options.message = [](QWidget *, const QString &text, const QString &) {
        std::printf("pelmar message: %s\n", qPrintable(text));
    };
    pelmar::ServerConfigDialog window(std::move(options));
    window.show();
    window.chooseLanguage(language);
    window.startSearch();
    // The search's answers, then the item-by-item reading of short-frame servers.
    runUntil([] { return false; }, 2500);
    runUntil([&] { return window.core().readSequencesRunning() == 0; }, 8000);

    const int row = widestRow(window);
    std::size_t found = 0;
    for (std::size_t i = 0; i < pelmar::DeviceTable::kSlots; ++i)
        found += window.core().devices().at(i).present ? 1 : 0;
    std::printf("pelmar found %zu serial servers\n", found);
    if (row >= 0) {
        QTableView *list = window.controls().deviceList;
        const QModelIndex index = list->model()->index(row, 1);
        list->selectRow(row);
        Q_EMIT list->clicked(index);
    }
    const bool chinese = language == pelmar::Language::Chinese;
    if (chinese) window.toggleAdvanced();
    window.resize(window.sizeHint().expandedTo(QSize(1280, 820)));
    runUntil([] { return false; }, 300);
    const QString path =
        folder + (chinese ? QStringLiteral("/pelmar.png") : QStringLiteral("/pelmar-en.png"));
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok && found > 0;
}

} // namespace

bool pelmarScreens(const QString &folder)
{
    const bool chinese = pelmarScreen(folder, pelmar::Language::Chinese);
    const bool english = pelmarScreen(folder, pelmar::Language::English);
    return chinese && english;
}
