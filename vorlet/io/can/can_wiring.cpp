// Wiring the CAN panel into the main window.
#include "vorlet/io/can/can_wiring.h"

#include "vorlet/io/can/dcan.h"

namespace vorlet {

void addCanPanel(CvorletDlg::Options &options)
{
    options.panels.can = [](const PanelEnvironment &env, QWidget *parent) {
        return new can::dcan(env, parent);
    };
}

} // namespace vorlet
