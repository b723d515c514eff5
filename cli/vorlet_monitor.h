// vorlet-cli monitor.
#pragma once

#include "cli/cli_common.h"

namespace cli {

// monitor [--port P] [--log-dir D --log-mode one|hour|day] [--device ADDR] [--channel NAME]...
int runVorletMonitor(const Arguments &args, const QString &help);

} // namespace cli
