// The link "界面" of the main window opens the program's one debug monitor.
#pragma once

#include "vorlet/io/monitor/dbg_window.h"
#include "vorlet/ui/main_window.h"

namespace vorlet {

inline constexpr int kDebugMonitorLink = 1077;

// The first click creates the window (no parent, so it stays beside the main
// window rather than on it); later clicks show the same window, with its
// rows, sender table, filters and log settings, and bring it to the front.
// The window lives as long as the main window's options.
void addDebugMonitor(CvorletDlg::Options &options, dbg::Options monitor = {});

} // namespace vorlet
