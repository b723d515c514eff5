// The main window with the channel panels, for tests: its files in a
// temporary folder, no adapters, no browser, the panels' messages recorded
// and their dialogs answered by the test's script.
#pragma once

#include "vorlet/services/service_wiring.h"
#include "vorlet/ui/main_window.h"

#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace servicetest {

// messages, script and whileShown must outlive the window; whileShown runs
// while a panel's message is up, as the events of a box's own loop would.
inline vorlet::CvorletDlg::Options panelWindowOptions(const QTemporaryDir &dir, QStringList &messages,
                                                      std::function<void(QDialog &)> &script,
                                                      const std::function<void()> *whileShown = nullptr)
{
    vorlet::CvorletDlg::Options w;
    w.settingsPath = dir.filePath(QStringLiteral("hx.ini"));
    w.programPath = dir.filePath(QStringLiteral("program"));
    w.adapters = [] { return QList<kyvo::AdapterAddress>{}; };
    w.openUrl = [](const QUrl &) {};
    vorlet::ServiceOptions services;
    services.showMessage = [&messages, whileShown](QWidget *, const QString &text) {
        messages << text;
        if (whileShown && *whileShown) (*whileShown)();
    };
    services.runDialog = [&script](QDialog &dialog) {
        if (script) script(dialog);
        return dialog.result();
    };
    vorlet::addServicePanels(w, services);
    return w;
}

} // namespace servicetest
