// pelmar-cli monitor.
#pragma once

#include "cli/cli_common.h"

namespace cli {

// monitor [--port P]: each datagram of the servers' debug text as the debug
// view's row, until interrupted.
int runPelmarMonitor(const Arguments &args, const QString &help);

} // namespace cli
