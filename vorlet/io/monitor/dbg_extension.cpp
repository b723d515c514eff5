// The debug monitor as an extension of the main window.
#include "vorlet/io/monitor/dbg_extension.h"

#include <memory>

namespace vorlet {

void addDebugMonitor(CvorletDlg::Options &options, dbg::Options monitor)
{
    auto window = std::make_shared<std::unique_ptr<dbg>>();
    CvorletDlg::Extension extension;
    extension.needsDevice = false;
    extension.open = [window, monitor](CvorletDlg &main, ParameterRecord *) {
        if (!*window) {
            *window = std::make_unique<dbg>(main.language(), monitor);
            // Closing the main window ends the program even while the monitor is open.
            (*window)->setAttribute(Qt::WA_QuitOnClose, false);
        } else {
            (*window)->applyLanguage(main.language());
        }
        (*window)->show();
        (*window)->raise();
        (*window)->activateWindow();
    };
    options.extensions[kDebugMonitorLink] = std::move(extension);
}

} // namespace vorlet
